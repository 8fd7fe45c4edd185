#pragma once
// What the MEL commands share: resolving their objects, the selection they act on.

#include "Mel.h"
#include "Names.h"
#include "Scene.h"

#include <numbers>
#include <string>
#include <vector>

namespace mayahost::commands {

constexpr double kDegrees = 180.0 / std::numbers::pi;

inline Scene& scene() { return Scene::get(); }

names::Resolved resolveOrFail(const std::string& name);
// The objects a command works on: its arguments, or the active selection.
std::vector<names::Resolved> targets(const mel::Args& args);
// The transform an edit of translate/rotate/scale applies to.
Node* transformOf(const names::Resolved& r);
// Every mesh or NURBS shape path at or below a path.
void shapesBelow(const Path& path, std::vector<Path>& out);
// Creation commands select what they made, replacing the selection, as Maya does.
void selectOnly(const std::vector<Node*>& nodes);
mel::Value created(const std::vector<Node*>& nodes);
mel::Value names(const std::vector<Node*>& nodes);

} // namespace mayahost::commands

#pragma once
// Maya ASCII scene files: the scene written as the MEL that rebuilds it (createNode,
// setAttr with Maya's data types, parent -add for instances, connectAttr, sets), and the
// mesh and NURBS data attributes that reading such a file sets.

#include "Mel.h"
#include "Scene.h"

#include <string>
#include <vector>

namespace mayahost::scenefile {

// Writes the scene; false (with `error`) when the file cannot be written.
bool save(const std::string& path, std::string& error);

// Handles setAttr of a geometry data attribute (".vt", ".ed", ".fc", ".n", ".uvst[0].uvsp",
// ".clst[0].clsp", ".cc" …) on a mesh or NURBS surface. Returns false when `attr` is not
// one of them; throws mel::Error for malformed data.
bool setGeometryData(Node* shape, const std::string& attr, const std::string& type,
                     const std::vector<mel::Value>& values);

} // namespace mayahost::scenefile

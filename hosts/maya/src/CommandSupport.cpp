#include "CommandSupport.h"
#include "Viewport.h"

#include "Bridge.h"
#include "Host.h"

namespace mayahost::commands {

using mel::Args;
using mel::Error;
using mel::Value;

names::Resolved resolveOrFail(const std::string& name) {
    names::Resolved r;
    if (!names::resolve(name, r)) throw Error{"No object matches name: " + name};
    return r;
}

std::vector<names::Resolved> targets(const Args& args) {
    std::vector<names::Resolved> out;
    for (const auto& name : args.positionalStrings()) out.push_back(resolveOrFail(name));
    if (!out.empty()) return out;
    const auto& items = Bridge::items(host::activeSelection());
    for (const auto& item : items) {
        names::Resolved r;
        r.node = Bridge::liveNode(item.node);
        if (!r.node) continue;
        if (item.isDag) r.path = Bridge::path(item.path);
        if (const Component* c = Bridge::component(item.component)) {
            r.hasFaces = true;
            r.faces = c->faces;
        }
        out.push_back(r);
    }
    return out;
}

Node* transformOf(const names::Resolved& r) {
    if (r.node->hasFn(MFn::kTransform)) return r.node;
    if (r.path.size() >= 2 && r.path[r.path.size() - 2]->hasFn(MFn::kTransform)) return r.path[r.path.size() - 2];
    throw Error{"Object '" + r.node->name + "' has no transform."};
}

void shapesBelow(const Path& path, std::vector<Path>& out) {
    Node* n = path.back();
    if (n->mesh) out.push_back(path);
    for (Node* c : n->children) {
        Path p = path;
        p.push_back(c);
        shapesBelow(p, out);
    }
}

void selectOnly(const std::vector<Node*>& nodes) {
    vp2::sceneEdited("active selection changed");
    MSelectionList& sel = host::activeSelection();
    sel.clear();
    for (Node* n : nodes) sel.add(Bridge::object(n));
}

Value created(const std::vector<Node*>& nodes) {
    selectOnly(nodes);
    std::vector<std::string> out;
    for (Node* n : nodes) out.push_back(n->name);
    return Value::strings(out);
}

Value names(const std::vector<Node*>& nodes) {
    std::vector<std::string> out;
    for (Node* n : nodes) out.push_back(n->name);
    return Value::strings(out);
}

} // namespace mayahost::commands

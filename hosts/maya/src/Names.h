#pragma once
// Node, path, plug and component names as MEL writes them: "pCube1", "|group1|pCube1",
// "pCube1.translateX", "pCube1.f[0:3]".

#include "Scene.h"

#include <string>

namespace mayahost::names {

struct Resolved {
    Node* node = nullptr;
    Path path;               // for DAG nodes: the named path (first path for a bare name)
    bool hasFaces = false;   // a ".f[…]" component
    std::vector<int> faces;
    bool hasVertices = false; // a ".vtx[…]" component
    std::vector<int> vertices;
};

std::string fullPath(const Path& path);
// Resolves a node, a DAG path or a component; false when nothing matches.
bool resolve(const std::string& text, Resolved& out);
// Resolves "node.attr" (long or short attribute name, children of compounds included).
bool resolvePlug(const std::string& text, Plug& out);

} // namespace mayahost::names

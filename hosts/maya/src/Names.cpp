#include "Names.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace mayahost::names {

std::string fullPath(const Path& path) {
    std::string out;
    for (Node* n : path) out += "|" + n->name;
    return out;
}

static std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, sep)) parts.push_back(part);
    return parts;
}

// "[3]", "[0:5]" or "[*]" → the indices; count is the number of elements for "*".
static bool parseRange(const std::string& text, size_t count, std::vector<int>& out) {
    if (text.size() < 3 || text.front() != '[' || text.back() != ']') return false;
    std::string body = text.substr(1, text.size() - 2);
    if (body == "*") {
        for (size_t i = 0; i < count; ++i) out.push_back(static_cast<int>(i));
        return true;
    }
    auto colon = body.find(':');
    char* end = nullptr;
    long first = std::strtol(body.c_str(), &end, 10);
    if (end == body.c_str()) return false;
    long last = first;
    if (colon != std::string::npos) {
        const char* second = body.c_str() + colon + 1;
        last = std::strtol(second, &end, 10);
        if (end == second) return false;
    }
    if (first < 0 || last < first || static_cast<size_t>(last) >= count) return false;
    for (long i = first; i <= last; ++i) out.push_back(static_cast<int>(i));
    return true;
}

static bool resolvePath(const std::string& text, Node*& node, Path& path) {
    bool absolute = !text.empty() && text.front() == '|';
    std::vector<std::string> parts = split(absolute ? text.substr(1) : text, '|');
    if (parts.empty() || parts.back().empty()) return false;
    node = Scene::get().find(parts.back());
    if (!node) return false;
    if (!node->cls->dag) {
        path.clear();
        return parts.size() == 1;
    }
    for (const Path& p : Scene::get().allPaths(node)) {
        if (p.size() < parts.size() || (absolute && p.size() != parts.size())) continue;
        bool match = true;
        for (size_t i = 0; i < parts.size() && match; ++i)
            match = p[p.size() - parts.size() + i]->name == parts[i];
        if (match) {
            path = p;
            return true;
        }
    }
    return false;
}

bool resolve(const std::string& text, Resolved& out) {
    out = Resolved{};
    auto dot = text.find('.');
    if (!resolvePath(text.substr(0, dot), out.node, out.path)) return false;
    if (dot == std::string::npos) return true;
    std::string component = text.substr(dot + 1);
    // A component named on a transform means its first mesh or NURBS shape.
    if (out.node->hasFn(MFn::kTransform)) {
        for (Node* c : out.node->children)
            if (c->mesh) {
                out.node = c;
                out.path.push_back(c);
                break;
            }
    }
    if (!out.node->mesh) return false;
    auto bracket = component.find('[');
    if (bracket == std::string::npos) return false;
    std::string kind = component.substr(0, bracket), range = component.substr(bracket);
    if (kind == "f") {
        out.hasFaces = true;
        return parseRange(range, out.node->mesh->faces.size(), out.faces);
    }
    if (kind == "vtx") {
        out.hasVertices = true;
        return parseRange(range, out.node->mesh->points.size(), out.vertices);
    }
    return false;
}

bool resolvePlug(const std::string& text, Plug& out) {
    auto dot = text.find('.');
    if (dot == std::string::npos) return false;
    Node* node = nullptr;
    Path path;
    if (!resolvePath(text.substr(0, dot), node, path)) return false;
    std::string attr = text.substr(dot + 1);
    int index = -1;
    auto bracket = attr.find('[');
    if (bracket != std::string::npos) {
        if (attr.back() != ']') return false;
        index = std::atoi(attr.c_str() + bracket + 1);
        attr = attr.substr(0, bracket);
    }
    const AttrDef* def = Scene::get().findAttr(node, attr);
    if (!def) return false;
    out = Plug{node, def, {index, -1}};
    return true;
}

} // namespace mayahost::names

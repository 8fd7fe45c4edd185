#include "SceneFile.h"

#include "Geometry.h"
#include "Names.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <numbers>
#include <set>
#include <sstream>

namespace mayahost::scenefile {
namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

std::string num(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// "0:3 5 7:8" style ranges of sorted indices, written as component lists.
std::string faceList(const std::string& path, const std::vector<int>& faces) {
    std::string out;
    for (size_t i = 0; i < faces.size();) {
        size_t j = i;
        while (j + 1 < faces.size() && faces[j + 1] == faces[j] + 1) ++j;
        out += " " + path + ".f[" + std::to_string(faces[i]) + (j > i ? ":" + std::to_string(faces[j]) : "") + "]";
        i = j + 1;
    }
    return out;
}

void writeAttributes(std::ostream& out, const Node* n) {
    Scene& scene = Scene::get();
    auto written = [&](const AttrDef* a) { return n->numbers.count(a) || n->strings.count(a); };
    auto all = n->cls->attrs;
    all.insert(all.end(), n->cls->extensions.begin(), n->cls->extensions.end());
    for (const AttrDef* a : all) {
        if (!a->storable || a->array || a->kind == AttrKind::Message) continue;
        if (a->kind == AttrKind::Compound) {
            bool any = false;
            for (const AttrDef* c : a->children) any |= written(c) && c->kind != AttrKind::Bool && c->kind != AttrKind::Int;
            if (!any) continue;
            out << "\tsetAttr \"." << a->shortName << "\" -type \"double3\"";
            for (const AttrDef* c : a->children)
                out << " " << num(scene.number(n, c) * (c->kind == AttrKind::Angle ? kDegrees : 1));
            out << " ;\n";
            continue;
        }
        if (!written(a)) continue;
        if (a->parent && a->parent->kind == AttrKind::Compound && a->kind == AttrKind::Double) continue;
        if (a->parent && a->kind == AttrKind::Angle) continue;
        out << "\tsetAttr \"." << a->shortName << "\"";
        switch (a->kind) {
        case AttrKind::String: out << " -type \"string\" " << quoted(scene.string(n, a)); break;
        case AttrKind::Bool: out << (scene.number(n, a) != 0 ? " yes" : " no"); break;
        case AttrKind::Angle: out << " " << num(scene.number(n, a) * kDegrees); break;
        default: out << " " << num(scene.number(n, a)); break;
        }
        out << ";\n";
    }
}

void writeMesh(std::ostream& out, const Node* n) {
    const Mesh& m = *n->mesh;
    if (n->hasFn(MFn::kNurbsSurface)) {
        // The surface is kept as the degree-1 patch grid it tessellates to.
        out << "\tsetAttr \".cc\" -type \"nurbsSurface\" 1 1 0 0 no\n";
        // Recover the grid size: the tessellation is (cols + 1) x (rows + 1) points.
        size_t cols = 0;
        while (cols + 1 < m.points.size() && m.points[cols + 1][2] == m.points[0][2]) ++cols;
        size_t rows = m.points.size() / (cols + 1) - 1;
        out << "\t\t" << cols + 1;
        for (size_t i = 0; i <= cols; ++i) out << " " << num(static_cast<double>(i) / cols);
        out << "\n\t\t" << rows + 1;
        for (size_t j = 0; j <= rows; ++j) out << " " << num(static_cast<double>(j) / rows);
        out << "\n\t\t" << m.points.size();
        for (size_t i = 0; i <= cols; ++i)
            for (size_t j = 0; j <= rows; ++j) {
                const Vec3& p = m.points[j * (cols + 1) + i];
                out << "\n\t\t" << num(p[0]) << " " << num(p[1]) << " " << num(p[2]);
            }
        out << "\n\t\t;\n";
        return;
    }
    if (m.hasUVs) {
        out << "\tsetAttr \".uvst[0].uvsn\" -type \"string\" " << quoted(m.uvSet) << ";\n";
        out << "\tsetAttr -s " << m.uvs.size() << " \".uvst[0].uvsp[0:" << m.uvs.size() - 1 << "]\" -type \"float2\"";
        for (const auto& uv : m.uvs) out << " " << num(uv[0]) << " " << num(uv[1]);
        out << ";\n\tsetAttr \".cuvs\" -type \"string\" " << quoted(m.uvSet) << ";\n";
    }
    if (!m.colorSet.empty()) {
        out << "\tsetAttr \".ccls\" -type \"string\" " << quoted(m.colorSet) << ";\n";
        out << "\tsetAttr \".clst[0].clsn\" -type \"string\" " << quoted(m.colorSet) << ";\n";
        out << "\tsetAttr -s " << m.colors.size() << " \".clst[0].clsp[0:" << m.colors.size() - 1 << "]\"";
        for (const auto& c : m.colors) out << " " << num(c[0]) << " " << num(c[1]) << " " << num(c[2]) << " " << num(c[3]);
        out << ";\n";
    }
    if (m.points.empty()) return;
    out << "\tsetAttr -s " << m.points.size() << " \".vt[0:" << m.points.size() - 1 << "]\"";
    for (const auto& p : m.points) out << " " << num(p[0]) << " " << num(p[1]) << " " << num(p[2]);
    out << ";\n";
    // Edges, each once; a face lists its edges, negative (-e - 1) where it runs backwards.
    std::map<std::pair<int, int>, int> edgeOf;
    std::vector<std::pair<int, int>> edges;
    for (const auto& f : m.faces)
        for (size_t k = 0; k < f.size(); ++k) {
            int a = f[k], b = f[(k + 1) % f.size()];
            auto key = std::minmax(a, b);
            if (edgeOf.emplace(key, static_cast<int>(edges.size())).second) edges.push_back({a, b});
        }
    if (edges.empty()) return;
    out << "\tsetAttr -s " << edges.size() << " \".ed[0:" << edges.size() - 1 << "]\"";
    for (const auto& [a, b] : edges) out << " " << a << " " << b << " 0";
    out << ";\n";
    size_t corners = 0;
    for (const auto& f : m.faces) corners += f.size();
    out << "\tsetAttr -s " << corners << " \".n[0:" << corners - 1 << "]\" -type \"float3\"";
    for (const auto& face : m.normals)
        for (const auto& nrm : face) out << " " << num(nrm[0]) << " " << num(nrm[1]) << " " << num(nrm[2]);
    out << ";\n";
    out << "\tsetAttr -s " << m.faces.size() << " -ch " << corners << " \".fc[0:" << m.faces.size() - 1
        << "]\" -type \"polyFaces\"";
    for (size_t fi = 0; fi < m.faces.size(); ++fi) {
        const auto& f = m.faces[fi];
        out << "\n\t\tf " << f.size();
        for (size_t k = 0; k < f.size(); ++k) {
            int a = f[k], b = f[(k + 1) % f.size()];
            int e = edgeOf[std::minmax(a, b)];
            out << " " << (edges[e].first == a ? e : -e - 1);
        }
        if (m.hasUVs && fi < m.uvIds.size()) {
            out << "\n\t\tmu 0 " << f.size();
            for (int uv : m.uvIds[fi]) out << " " << uv;
        }
        if (!m.colorSet.empty()) {
            out << "\n\t\tmc 0 " << f.size();
            for (int p : f) out << " " << p;
        }
    }
    out << ";\n";
}

void writeDag(std::ostream& out, Node* n, std::set<Node*>& written, std::vector<std::string>& instances,
              std::vector<Node*>& shapes) {
    Scene& scene = Scene::get();
    for (Node* c : n->children) {
        if (c->isDefault) continue;
        if (written.count(c)) {
            // A further parent of a node already written: an instance.
            instances.push_back("parent -s -nc -r -add " + quoted(names::fullPath(scene.allPaths(c).front())) + " " +
                                quoted(n->name) + ";\n");
            continue;
        }
        if (c->parents.front() != n) continue; // written under its first parent
        written.insert(c);
        out << "createNode " << c->cls->name << " -n " << quoted(c->name);
        if (n != scene.world()) out << " -p " << quoted(n->name);
        out << ";\n";
        writeAttributes(out, c);
        if (c->mesh) {
            writeMesh(out, c);
            shapes.push_back(c);
        }
        writeDag(out, c, written, instances, shapes);
    }
}

} // namespace

bool save(const std::string& path, std::string& error) {
    Scene& scene = Scene::get();
    std::ostringstream out;
    out << "//Maya ASCII 2018 scene\n//Name: " << path.substr(path.find_last_of('/') + 1) << "\n";
    out << "requires maya \"2018\";\ncurrentUnit -l centimeter -a degree -t film;\n";
    std::set<Node*> written;
    std::vector<std::string> instances;
    // Default DAG nodes (the cameras) keep their edited attributes.
    for (Node* n : scene.liveNodes())
        if (n->isDefault && n->cls->dag && (!n->numbers.empty() || !n->strings.empty())) {
            out << "select -ne " << quoted(":" + n->name) << ";\n";
            writeAttributes(out, n);
        }
    // Parents are written before their children, so the walk goes down from the world;
    // children of the default cameras are skipped.
    std::vector<Node*> shapes;
    writeDag(out, scene.world(), written, instances, shapes);
    for (Node* n : scene.liveNodes()) {
        if (n->cls->dag) continue;
        if (n->isDefault) {
            if (n->numbers.empty() && n->strings.empty()) continue;
            out << "select -ne " << quoted(":" + n->name) << ";\n";
        } else {
            out << "createNode " << n->cls->name << " -n " << quoted(n->name) << ";\n";
        }
        writeAttributes(out, n);
    }
    for (const auto& line : instances) out << line;
    for (const auto& [src, dst] : scene.connections()) {
        if (src.attr->shortName == "iog" || src.attr->shortName == "og") continue; // written as set members
        if (src.node->isDefault && dst.node->isDefault) continue;
        out << "connectAttr " << quoted(src.node->name + "." + src.partialName(false, true)) << " "
            << quoted(dst.node->name + "." + dst.partialName(false, true)) << ";\n";
    }
    for (Node* n : shapes) {
        auto paths = scene.allPaths(n);
        for (size_t i = 0; i < paths.size() && i < n->members.size(); ++i) {
            std::vector<std::pair<Node*, std::vector<int>>> groups;
            scene.setMembers(n, static_cast<int>(i), groups);
            std::string path = names::fullPath(paths[i]);
            for (const auto& [set, faces] : groups)
                out << "sets -e -forceElement " << quoted(set->name) << " "
                    << (faces.empty() ? path : faceList(path, faces).substr(1)) << ";\n";
        }
    }
    out << "// End of " << path.substr(path.find_last_of('/') + 1) << "\n";
    std::ofstream file(path);
    if (!file || !(file << out.str()) || !file.flush()) {
        error = "Could not save file: " + path;
        return false;
    }
    return true;
}

namespace {

// "vt[0:7]" → name "vt" and the range; false when there is no range.
bool splitRange(const std::string& attr, std::string& name, int& first, int& last) {
    auto bracket = attr.rfind('[');
    if (bracket == std::string::npos || attr.back() != ']') return false;
    name = attr.substr(0, bracket);
    std::string range = attr.substr(bracket + 1, attr.size() - bracket - 2);
    auto colon = range.find(':');
    try {
        first = std::stoi(range.substr(0, colon));
        last = colon == std::string::npos ? first : std::stoi(range.substr(colon + 1));
    } catch (...) {
        return false;
    }
    return first >= 0 && last >= first && last - first < 50000000;
}

std::vector<double> numbers(const std::vector<mel::Value>& values, size_t expected) {
    std::vector<double> out;
    for (const auto& v : values) {
        if (!v.isNumber()) throw mel::Error{"Error while parsing arguments."};
        out.push_back(v.number);
    }
    if (out.size() != expected) throw mel::Error{"Error while parsing arguments."};
    return out;
}

Mesh& editable(Node* shape) {
    if (!shape->mesh) shape->mesh = std::make_shared<Mesh>();
    shape->mesh = std::make_shared<Mesh>(*shape->mesh); // extractors keep the old one
    return *shape->mesh;
}

// Temporary state of a mesh being read: edges and normals come before the faces.
struct Pending {
    std::vector<std::pair<int, int>> edges;
    std::vector<Vec3> normals;
};
std::map<Node*, Pending>& pending() {
    static std::map<Node*, Pending> state;
    return state;
}

void readFaces(Node* shape, const std::vector<mel::Value>& values) {
    Mesh& m = editable(shape);
    const Pending& p = pending()[shape];
    m.faces.clear();
    m.uvIds.clear();
    m.normals.clear();
    size_t i = 0;
    auto next = [&]() -> double {
        if (i >= values.size() || !values[i].isNumber()) throw mel::Error{"Bad polyFaces data."};
        return values[i++].number;
    };
    while (i < values.size()) {
        std::string tag = values[i++].asString();
        if (tag == "f") {
            int count = static_cast<int>(next());
            if (count < 3) throw mel::Error{"Bad polyFaces data."};
            std::vector<int> face;
            for (int k = 0; k < count; ++k) {
                int e = static_cast<int>(next());
                bool backwards = e < 0;
                size_t edge = static_cast<size_t>(backwards ? -e - 1 : e);
                if (edge >= p.edges.size()) throw mel::Error{"Bad polyFaces data: no edge " + std::to_string(edge)};
                int start = backwards ? p.edges[edge].second : p.edges[edge].first;
                if (start < 0 || static_cast<size_t>(start) >= m.points.size()) throw mel::Error{"Bad polyFaces data."};
                face.push_back(start);
            }
            m.faces.push_back(face);
            m.uvIds.push_back(std::vector<int>(face.size(), -1));
        } else if (tag == "mu" || tag == "mc") {
            next(); // set index: one set of each kind here
            int count = static_cast<int>(next());
            if (m.faces.empty() || static_cast<size_t>(count) != m.faces.back().size())
                throw mel::Error{"Bad polyFaces data."};
            for (int k = 0; k < count; ++k) {
                int id = static_cast<int>(next());
                if (tag == "mu") {
                    if (id < 0 || static_cast<size_t>(id) >= m.uvs.size()) throw mel::Error{"Bad polyFaces data."};
                    m.uvIds.back()[k] = id;
                }
            }
        } else {
            throw mel::Error{"Bad polyFaces data: " + tag};
        }
    }
    size_t corners = 0;
    for (const auto& f : m.faces) corners += f.size();
    if (p.normals.size() == corners) {
        size_t at = 0;
        for (const auto& f : m.faces) {
            m.normals.emplace_back(p.normals.begin() + at, p.normals.begin() + at + f.size());
            at += f.size();
        }
    } else {
        geometry::faceNormals(m);
    }
    pending().erase(shape);
}

void readNurbs(Node* shape, const std::vector<mel::Value>& values) {
    std::vector<double> v;
    size_t i = 0;
    auto next = [&]() -> double {
        if (i >= values.size()) throw mel::Error{"Bad nurbsSurface data."};
        const mel::Value& x = values[i++];
        if (x.isNumber()) return x.number;
        if (x.asString() == "no" || x.asString() == "yes") return x.asString() == "yes";
        throw mel::Error{"Bad nurbsSurface data."};
    };
    int degreeU = static_cast<int>(next()), degreeV = static_cast<int>(next());
    next();
    next();
    bool rational = next() != 0;
    if (degreeU != 1 || degreeV != 1 || rational) throw mel::Error{"Only flat degree-1 surfaces are supported."};
    int knotsU = static_cast<int>(next());
    if (knotsU < 2 || knotsU > 100000) throw mel::Error{"Bad nurbsSurface data."};
    for (int k = 0; k < knotsU; ++k) next();
    int knotsV = static_cast<int>(next());
    if (knotsV < 2 || knotsV > 100000) throw mel::Error{"Bad nurbsSurface data."};
    for (int k = 0; k < knotsV; ++k) next();
    int cvs = static_cast<int>(next());
    if (cvs != knotsU * knotsV) throw mel::Error{"Bad nurbsSurface data."};
    auto mesh = std::make_shared<Mesh>();
    mesh->points.resize(cvs);
    for (int u = 0; u < knotsU; ++u)
        for (int w = 0; w < knotsV; ++w) {
            Vec3 p{next(), next(), next()};
            mesh->points[w * knotsU + u] = p;
        }
    int cols = knotsU - 1, rows = knotsV - 1;
    for (int j = 0; j <= rows; ++j)
        for (int c = 0; c <= cols; ++c)
            mesh->uvs.push_back({static_cast<double>(c) / cols, static_cast<double>(j) / rows});
    for (int j = 0; j < rows; ++j)
        for (int c = 0; c < cols; ++c) {
            int a = j * (cols + 1) + c;
            std::vector<int> f{a, a + 1, a + cols + 2, a + cols + 1};
            mesh->faces.push_back(f);
            mesh->uvIds.push_back(f);
        }
    mesh->hasUVs = true;
    geometry::faceNormals(*mesh);
    shape->mesh = mesh;
    shape->nurbsUVs = static_cast<int>(mesh->uvs.size());
}

} // namespace

bool setGeometryData(Node* shape, const std::string& attr, const std::string& type,
                     const std::vector<mel::Value>& values) {
    bool mesh = shape->hasFn(MFn::kMesh);
    if (shape->hasFn(MFn::kNurbsSurface) && attr == "cc") {
        if (type != "nurbsSurface") throw mel::Error{"Error while parsing arguments."};
        readNurbs(shape, values);
        return true;
    }
    if (!mesh) return false;
    if (attr == "uvst[0].uvsn" || attr == "cuvs") {
        editable(shape).uvSet = values.empty() ? "" : values[0].asString();
        return true;
    }
    if (attr == "ccls" || attr == "clst[0].clsn") {
        editable(shape).colorSet = values.empty() ? "" : values[0].asString();
        return true;
    }
    if (attr == "dcc" || attr == "cd") return true; // display settings only
    std::string name;
    int first = 0, last = 0;
    if (!splitRange(attr, name, first, last)) return false;
    size_t count = static_cast<size_t>(last - first + 1);
    if (name == "vt") {
        auto v = numbers(values, 3 * count);
        Mesh& m = editable(shape);
        if (m.points.size() < static_cast<size_t>(last + 1)) m.points.resize(last + 1);
        for (size_t i = 0; i < count; ++i) m.points[first + i] = {v[3 * i], v[3 * i + 1], v[3 * i + 2]};
        return true;
    }
    if (name == "uvst[0].uvsp") {
        auto v = numbers(values, 2 * count);
        Mesh& m = editable(shape);
        if (m.uvs.size() < static_cast<size_t>(last + 1)) m.uvs.resize(last + 1);
        for (size_t i = 0; i < count; ++i) m.uvs[first + i] = {v[2 * i], v[2 * i + 1]};
        m.hasUVs = true;
        return true;
    }
    if (name == "clst[0].clsp") {
        auto v = numbers(values, 4 * count);
        Mesh& m = editable(shape);
        if (m.colors.size() < static_cast<size_t>(last + 1)) m.colors.resize(last + 1);
        for (size_t i = 0; i < count; ++i) m.colors[first + i] = {v[4 * i], v[4 * i + 1], v[4 * i + 2], v[4 * i + 3]};
        return true;
    }
    if (name == "ed") {
        auto v = numbers(values, 3 * count);
        auto& edges = pending()[shape].edges;
        if (edges.size() < static_cast<size_t>(last + 1)) edges.resize(last + 1);
        for (size_t i = 0; i < count; ++i)
            edges[first + i] = {static_cast<int>(v[3 * i]), static_cast<int>(v[3 * i + 1])};
        return true;
    }
    if (name == "n") {
        auto v = numbers(values, 3 * count);
        auto& normals = pending()[shape].normals;
        if (normals.size() < static_cast<size_t>(last + 1)) normals.resize(last + 1);
        for (size_t i = 0; i < count; ++i) normals[first + i] = {v[3 * i], v[3 * i + 1], v[3 * i + 2]};
        return true;
    }
    if (name == "fc") {
        if (type != "polyFaces") throw mel::Error{"Error while parsing arguments."};
        readFaces(shape, values);
        return true;
    }
    return false;
}

} // namespace mayahost::scenefile

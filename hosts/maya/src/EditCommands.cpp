// Commands that edit the scene: parenting, deleting, transforms, attributes,
// connections, selection, shading sets, colours.
#include "CommandSupport.h"
#include "Viewport.h"

#include "Bridge.h"
#include "Host.h"
#include "Matrix.h"
#include "SceneFile.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace mayahost::commands {
namespace {

using mel::Args;
using mel::Error;
using mel::Value;
using mel::registerCommand;

// A relative scale multiplies, a relative translation or rotation adds.
void setCompound(Node* node, const char* name, std::vector<double> values, bool relative) {
    const AttrDef* attr = scene().findAttr(node, name);
    bool multiply = std::string(name) == "s";
    if (relative)
        for (size_t i = 0; i < values.size(); ++i) {
            double current = scene().number(node, attr->children[i]);
            values[i] = multiply ? values[i] * current : values[i] + current;
        }
    scene().setNumbers(node, attr, values);
}

std::vector<double> compound(Node* node, const char* name, double unit = 1) {
    const AttrDef* attr = scene().findAttr(node, name);
    std::vector<double> out;
    for (const AttrDef* c : attr->children) out.push_back(scene().number(node, c) * unit);
    return out;
}

// The points of a mesh component: its vertices, or every vertex of its faces; each once.
std::vector<int> componentPoints(const names::Resolved& o) {
    std::vector<int> points = o.vertices;
    if (o.hasFaces)
        for (int f : o.faces) points.insert(points.end(), o.node->mesh->faces[f].begin(), o.node->mesh->faces[f].end());
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

bool isComponent(const names::Resolved& o) { return o.hasVertices || o.hasFaces; }

// Moves the points of a mesh component, as Maya does: the shape's points change and its
// transform stays. Values in world space go through the instance's world matrix; a
// relative move adds to every point, an absolute one puts every point at the position.
// The mesh is copied (other holders keep the old points) and the edit dirties it.
void movePoints(const names::Resolved& o, const std::vector<double>& v, bool relative, bool world) {
    const MMatrix toObject = world ? inverseMatrix(scene().worldMatrix(o.path)) : MMatrix();
    double given[3] = {v[0], v[1], v[2]}, local[3];
    if (relative) transformVector(toObject, given, local);
    else transformPoint(toObject, given, local);
    auto mesh = std::make_shared<Mesh>(*o.node->mesh);
    for (int p : componentPoints(o))
        for (int i = 0; i < 3; ++i) mesh->points[p][i] = relative ? mesh->points[p][i] + local[i] : local[i];
    o.node->mesh = mesh;
    scene().geometryChanged(o.node);
}

// xform: translation, rotation (degrees) and scale of transforms, in object or world space;
// -q answers one of them.
Value xform(Args& args) {
    bool query = false;
    for (const auto& w : args.words()) query |= w.flag && (w.name == "q" || w.name == "query");
    int n = query ? 0 : 3;
    args.parse("xform", {{"q", "query", 0}, {"t", "translation", n}, {"ro", "rotation", n}, {"s", "scale", n},
                         {"r", "relative", 0}, {"a", "absolute", 0}, {"os", "objectSpace", 0},
                         {"ws", "worldSpace", 0}});
    if (args.has("worldSpace") && args.has("objectSpace")) throw Error{"xform: -worldSpace and -objectSpace exclude each other."};
    if (args.has("relative") && args.has("absolute")) throw Error{"xform: -relative and -absolute exclude each other."};
    bool world = args.has("worldSpace"), relative = args.has("relative");
    auto objects = targets(args);
    if (objects.empty()) throw Error{"xform: no object given and nothing selected."};
    // The path to the transform itself, and the world matrix of what it hangs under.
    auto place = [](const names::Resolved& o, Node*& t, MMatrix& parent, MMatrix& worldMatrix) {
        t = transformOf(o);
        Path path = o.path;
        while (!path.empty() && path.back() != t) path.pop_back();
        if (path.empty()) path = scene().allPaths(t).front();
        worldMatrix = scene().worldMatrix(path);
        path.pop_back();
        parent = scene().worldMatrix(path);
    };
    if (query) {
        int asked = args.has("translation") + args.has("rotation") + args.has("scale");
        if (asked != 1) throw Error{"xform: query one of -translation, -rotation and -scale."};
        std::vector<double> out;
        for (const auto& o : objects) {
            if (isComponent(o)) {
                if (!args.has("translation")) throw Error{"xform: components answer -translation only."};
                // Each point, in object space or through the instance's world matrix.
                const MMatrix toWorld = world ? scene().worldMatrix(o.path) : MMatrix();
                for (int p : componentPoints(o)) {
                    double at[3];
                    transformPoint(toWorld, o.node->mesh->points[p].data(), at);
                    out.insert(out.end(), at, at + 3);
                }
                continue;
            }
            Node* t;
            MMatrix parent, worldMatrix;
            place(o, t, parent, worldMatrix);
            double tr[3], ro[3], sc[3];
            decomposeMatrix(worldMatrix, tr, ro, sc);
            std::vector<double> v;
            if (args.has("translation")) v = world ? std::vector<double>(tr, tr + 3) : compound(t, "t");
            if (args.has("rotation"))
                v = world ? std::vector<double>{ro[0] * kDegrees, ro[1] * kDegrees, ro[2] * kDegrees}
                          : compound(t, "r", kDegrees);
            if (args.has("scale")) v = world ? std::vector<double>(sc, sc + 3) : compound(t, "s");
            out.insert(out.end(), v.begin(), v.end());
        }
        return Value::reals(out);
    }
    auto triple = [&](const char* flag, double unit) {
        return std::vector<double>{args.number(flag, 0, 0) * unit, args.number(flag, 0, 1) * unit,
                                   args.number(flag, 0, 2) * unit};
    };
    for (const auto& o : objects) {
        if (isComponent(o)) {
            // Components take translations only, in object space unless -worldSpace.
            if (args.has("rotation") || args.has("scale") || !args.has("translation"))
                throw Error{"xform: components take -translation only here."};
            movePoints(o, triple("translation", 1), relative, world);
            continue;
        }
        Node* t;
        MMatrix parent, worldMatrix;
        place(o, t, parent, worldMatrix);
        if (!world) {
            if (args.has("translation")) setCompound(t, "t", triple("translation", 1), relative);
            if (args.has("rotation")) setCompound(t, "r", triple("rotation", 1 / kDegrees), relative);
            if (args.has("scale")) setCompound(t, "s", triple("scale", 1), relative);
            continue;
        }
        // World-space values are brought into the parent's space; the parent's rotation
        // and scale are taken from its matrix (no shear).
        double ptr[3], pro[3], psc[3], wtr[3], wro[3], wsc[3];
        decomposeMatrix(parent, ptr, pro, psc);
        decomposeMatrix(worldMatrix, wtr, wro, wsc);
        if (args.has("translation")) {
            auto v = triple("translation", 1);
            double target[3], local[3];
            for (int i = 0; i < 3; ++i) target[i] = relative ? wtr[i] + v[i] : v[i];
            transformPoint(inverseMatrix(parent), target, local);
            setCompound(t, "t", {local[0], local[1], local[2]}, false);
        }
        if (args.has("rotation")) {
            auto v = triple("rotation", 1 / kDegrees);
            double rotation[3], none[3] = {0, 0, 0}, one[3] = {1, 1, 1};
            for (int i = 0; i < 3; ++i) rotation[i] = relative ? wro[i] + v[i] : v[i];
            MMatrix wanted = composeMatrix(none, rotation, one, 1);
            MMatrix parentRotation = composeMatrix(none, pro, one, 1);
            double tr[3], ro[3], sc[3];
            decomposeMatrix(wanted * inverseMatrix(parentRotation), tr, ro, sc);
            setCompound(t, "r", {ro[0], ro[1], ro[2]}, false);
        }
        if (args.has("scale")) {
            auto v = triple("scale", 1);
            std::vector<double> local(3);
            for (int i = 0; i < 3; ++i) local[i] = (relative ? wsc[i] * v[i] : v[i]) / (psc[i] != 0 ? psc[i] : 1);
            setCompound(t, "s", local, false);
        }
    }
    return Value{};
}

// MEL's wildcards in names: * for any run of characters, ? for one.
bool matches(const char* pattern, const char* text) {
    if (*pattern == '\0') return *text == '\0';
    if (*pattern == '*') return matches(pattern + 1, text) || (*text && matches(pattern, text + 1));
    if (*text && (*pattern == '?' || *pattern == *text)) return matches(pattern + 1, text + 1);
    return false;
}

// Whether a node is of a type as ls -type names it: its own type, a type it derives
// from, or one of the abstract types.
const std::map<std::string, MFn::Type>& abstractTypes() {
    static const std::map<std::string, MFn::Type> types = {
        {"dependNode", MFn::kDependencyNode}, {"dagNode", MFn::kDagNode}, {"shape", MFn::kShape},
        {"surfaceShape", MFn::kSurface}, {"light", MFn::kLight}, {"nonAmbientLightShapeNode", MFn::kNonAmbientLight}};
    return types;
}

bool knownType(const std::string& type) { return scene().nodeClass(type) || abstractTypes().count(type); }

bool isOfType(const Node* n, const std::string& type) {
    auto a = abstractTypes().find(type);
    if (a != abstractTypes().end()) return n->hasFn(a->second);
    const NodeClass* cls = scene().nodeClass(type);
    return cls && n->hasFn(cls->types.back());
}

// A face selection as ls names it: one name per run of consecutive faces.
std::vector<std::string> faceRanges(const std::string& name, const std::vector<int>& faces) {
    std::vector<std::string> out;
    for (size_t i = 0; i < faces.size();) {
        size_t j = i;
        while (j + 1 < faces.size() && faces[j + 1] == faces[j] + 1) ++j;
        out.push_back(name + ".f[" + std::to_string(faces[i]) + (j > i ? ":" + std::to_string(faces[j]) : "") + "]");
        i = j + 1;
    }
    return out;
}

Value ls(Args& args) {
    args.parse("ls", {{"sl", "selection", 0}, {"typ", "type", 1}, {"type", "type", 1}, {"l", "long", 0},
                      {"tr", "transforms", 0}, {"s", "shapes", 0}});
    std::vector<std::string> types;
    for (const auto& w : args.words())
        if (w.flag && (w.name == "type" || w.name == "typ")) types.push_back("");
    for (size_t i = 0; i < types.size(); ++i) types[i] = args.flag("type", i).asString();
    for (const auto& t : types)
        if (!knownType(t)) throw Error{"Unknown object type: " + t};
    if (args.has("transforms")) types.push_back("transform");
    if (args.has("shapes")) types.push_back("shape");
    auto wanted = [&](const Node* n) {
        if (types.empty()) return true;
        for (const auto& t : types)
            if (isOfType(n, t)) return true;
        return false;
    };
    auto nameOf = [&](Node* n, const Path& path) {
        if (args.has("long") && n->cls->dag) return names::fullPath(path.empty() ? scene().allPaths(n).front() : path);
        return n->name;
    };
    std::vector<std::string> patterns = args.positionalStrings();
    std::vector<std::string> out;
    if (args.has("selection")) {
        for (const auto& r : targets(Args({}))) {
            if (!wanted(r.node)) continue;
            std::string name = nameOf(r.node, r.path);
            if (!patterns.empty() && std::none_of(patterns.begin(), patterns.end(), [&](const std::string& p) {
                    return matches(p.c_str(), r.node->name.c_str());
                }))
                continue;
            if (!r.hasFaces) {
                out.push_back(name);
                continue;
            }
            // Components go by their transform's name, or the shape's full path with -l.
            if (!args.has("long") && r.path.size() >= 2) name = r.path[r.path.size() - 2]->name;
            auto ranges = faceRanges(name, r.faces);
            out.insert(out.end(), ranges.begin(), ranges.end());
        }
        return Value::strings(out);
    }
    for (Node* n : scene().liveNodes()) {
        if (!wanted(n)) continue;
        if (!patterns.empty() && std::none_of(patterns.begin(), patterns.end(), [&](const std::string& p) {
                return matches(p.c_str(), n->name.c_str());
            }))
            continue;
        out.push_back(nameOf(n, {}));
    }
    return Value::strings(out);
}

std::vector<double> leadingNumbers(Args& args, size_t count, std::vector<names::Resolved>& rest,
                                   const std::string& command) {
    const auto& pos = args.positional();
    std::vector<double> values;
    size_t i = 0;
    for (; i < pos.size() && values.size() < count && pos[i].isNumber(); ++i) values.push_back(pos[i].number);
    if (values.size() != count) throw Error{"Invalid arguments for " + command + "."};
    std::vector<std::string> objects;
    for (; i < pos.size(); ++i) objects.push_back(pos[i].asString());
    if (objects.empty()) {
        Args none({});
        rest = targets(none);
    } else {
        for (const auto& o : objects) rest.push_back(resolveOrFail(o));
    }
    return values;
}

Value transformCommand(Args& args, const char* command, const char* attr, double unit) {
    args.parse(command, {{"r", "relative", 0}, {"a", "absolute", 0}});
    std::vector<names::Resolved> objects;
    std::vector<double> v = leadingNumbers(args, 3, objects, command);
    for (double& d : v) d *= unit;
    for (const auto& o : objects) {
        if (!isComponent(o)) {
            setCompound(transformOf(o), attr, v, args.has("relative"));
            continue;
        }
        // Components move in world space, as Maya's move does by default.
        if (std::string(command) != "move")
            throw Error{std::string(command) + ": only move and xform -translation edit components here."};
        movePoints(o, v, args.has("relative"), true);
    }
    return {};
}

void forceElement(Node* set, const std::vector<names::Resolved>& objects) {
    for (const auto& o : objects) {
        if (!o.node->cls->dag) throw Error{"Cannot add '" + o.node->name + "' to a shading group."};
        if (o.hasFaces) {
            scene().assign(set, o.node, scene().instanceNumber(o.path), o.faces);
            continue;
        }
        std::vector<Path> shapes;
        shapesBelow(o.path, shapes);
        for (const Path& p : shapes) scene().assign(set, p.back(), scene().instanceNumber(p), {});
    }
}

Node* shadingGroupFor(Node* shader) {
    const AttrDef* out = scene().findAttr(shader, "outColor");
    for (const Plug& d : scene().destinations(Plug{shader, out}))
        if (d.node->hasFn(MFn::kShadingEngine) && d.attr->longName == "surfaceShader") return d.node;
    return nullptr;
}

// A name starting with "." means an attribute of the first selected node, as in
// Maya ASCII files where each createNode selects the node it makes.
std::string absoluteAttribute(const std::string& name) {
    if (name.empty() || name[0] != '.') return name;
    const auto& items = Bridge::items(host::activeSelection());
    Node* n = items.empty() ? nullptr : Bridge::liveNode(items.front().node);
    if (!n) throw Error{"No object matches name: " + name};
    return n->name + name;
}

Value setAttr(Args& args) {
    args.parse("setAttr", {{"type", "type", 1}, {"s", "size", 1}, {"k", "keyable", 1}, {"ch", "capacityHint", 1},
                           {"l", "lock", 1}, {"cb", "channelBox", 1}});
    auto pos = args.positional();
    if (pos.empty()) throw Error{"setAttr: no attribute given."};
    std::string target = absoluteAttribute(pos[0].asString());
    pos.erase(pos.begin());
    if (args.has("keyable") || args.has("lock") || args.has("channelBox")) {
        if (pos.empty()) return {}; // only the attribute's flags change; they have no effect here
    }
    std::string type = args.text("type");
    auto dot = target.find('.');
    names::Resolved owner;
    if (dot != std::string::npos && names::resolve(target.substr(0, dot), owner) &&
        (owner.node->hasFn(MFn::kMesh) || owner.node->hasFn(MFn::kNurbsSurface)) &&
        scenefile::setGeometryData(owner.node, target.substr(dot + 1), type, pos)) {
        scene().geometryChanged(owner.node);
        return {};
    }
    Plug plug;
    if (!names::resolvePlug(target, plug)) throw Error{"No object matches name: " + target};
    const AttrDef* a = plug.attr;
    if (a->kind == AttrKind::String) {
        if (type != "string" || pos.size() != 1) throw Error{"Error while parsing arguments."};
        scene().setString(plug.node, a, pos[0].asString());
        return {};
    }
    auto numberOf = [&](const Value& v) {
        if (v.isNumber()) return v.number;
        if (v.text == "true" || v.text == "on" || v.text == "yes") return 1.0;
        if (v.text == "false" || v.text == "off" || v.text == "no") return 0.0;
        throw Error{"Error while parsing arguments."};
    };
    if (a->kind == AttrKind::Compound) {
        if (!type.empty() && type != "double3" && type != "float3") throw Error{"Error while parsing arguments."};
        if (pos.size() != a->children.size()) throw Error{"Error while parsing arguments."};
        std::vector<double> values;
        for (size_t i = 0; i < pos.size(); ++i)
            values.push_back(numberOf(pos[i]) / (a->children[i]->kind == AttrKind::Angle ? kDegrees : 1));
        scene().setNumbers(plug.node, a, values);
        return {};
    }
    if (!type.empty()) throw Error{"Error while parsing arguments."};
    if (a->kind == AttrKind::Message || a->array || pos.size() != 1) throw Error{"Error while parsing arguments."};
    double v = numberOf(pos[0]);
    if (a->kind == AttrKind::Angle) v /= kDegrees;
    if (a->kind == AttrKind::Bool) v = v != 0;
    if (a->kind == AttrKind::Int) v = std::trunc(v);
    scene().setNumber(plug.node, a, v);
    return {};
}

Value getAttr(Args& args) {
    args.parse("getAttr", {{"typ", "type", 0}, {"type", "type", 0}});
    auto pos = args.positionalStrings();
    if (pos.size() != 1) throw Error{"getAttr: one attribute expected."};
    Plug plug;
    if (!names::resolvePlug(absoluteAttribute(pos[0]), plug)) throw Error{"No object matches name: " + pos[0]};
    const AttrDef* a = plug.attr;
    if (args.has("type")) {
        switch (a->kind) {
        case AttrKind::Bool: return Value::string("bool");
        case AttrKind::Int: return Value::string("long");
        case AttrKind::Double: return Value::string("double");
        case AttrKind::Angle: return Value::string("doubleAngle");
        case AttrKind::String: return Value::string("string");
        case AttrKind::Compound: return Value::string("double" + std::to_string(a->children.size()));
        default: return Value::string("message");
        }
    }
    auto value = [&](const AttrDef* x) {
        return scene().number(plug.node, x) * (x->kind == AttrKind::Angle ? kDegrees : 1);
    };
    switch (a->kind) {
    case AttrKind::String: return Value::string(scene().string(plug.node, a));
    case AttrKind::Bool: case AttrKind::Int: return Value::integer(value(a));
    case AttrKind::Double: case AttrKind::Angle: return Value::real(value(a));
    case AttrKind::Compound: {
        std::vector<double> v;
        for (const AttrDef* c : a->children) v.push_back(value(c));
        return Value::reals(v);
    }
    default: throw Error{"The value for the attribute could not be retrieved."};
    }
}

struct Registrar {
    Registrar() {
    registerCommand("parent", [](Args& args) {
        args.parse("parent", {{"w", "world", 0}, {"r", "relative", 0}, {"a", "absolute", 0}, {"add", "addObject", 0},
                              {"s", "shape", 0}, {"nc", "noConnections", 0}});
        auto objects = targets(args);
        Node* parent = scene().world();
        if (!args.has("world")) {
            if (objects.size() < 2) throw Error{"Not enough objects or values."};
            parent = objects.back().node;
            objects.pop_back();
            if (!parent->hasFn(MFn::kTransform)) throw Error{"The new parent must be a transform."};
        }
        std::vector<Node*> moved;
        for (const auto& o : objects) {
            if (!o.node->cls->dag) throw Error{"Object '" + o.node->name + "' is not a DAG node."};
            for (Node* p = parent; p; p = p->parents.empty() ? nullptr : p->parents.front())
                if (p == o.node) throw Error{"Cannot parent '" + o.node->name + "' under itself."};
            scene().addChild(parent, o.node, args.has("addObject"));
            moved.push_back(o.node);
        }
        return names(moved);
    });
    registerCommand("delete", [](Args& args) {
        args.parse("delete", {});
        std::vector<Node*> doomed;
        for (const auto& o : targets(args)) {
            if (o.node->isDefault) throw Error{"Cannot delete '" + o.node->name + "': it is a default node."};
            doomed.push_back(o.node);
        }
        scene().deleteNodes(doomed);
        return Value{};
    });
    registerCommand("move", [](Args& a) { return transformCommand(a, "move", "t", 1); });
    registerCommand("rotate", [](Args& a) { return transformCommand(a, "rotate", "r", 1 / kDegrees); });
    registerCommand("scale", [](Args& a) { return transformCommand(a, "scale", "s", 1); });
    registerCommand("xform", xform);
    registerCommand("ls", ls);
    registerCommand("setAttr", setAttr);
    registerCommand("getAttr", getAttr);
    registerCommand("connectAttr", [](Args& args) {
        args.parse("connectAttr", {{"f", "force", 0}});
        auto pos = args.positionalStrings();
        if (pos.size() != 2) throw Error{"connectAttr: two attributes expected."};
        Plug src, dst;
        if (!names::resolvePlug(pos[0], src)) throw Error{"The source attribute '" + pos[0] + "' cannot be found."};
        if (!names::resolvePlug(pos[1], dst)) throw Error{"The destination attribute '" + pos[1] + "' cannot be found."};
        auto existing = scene().sources(dst);
        if (!existing.empty()) {
            if (existing.front() == src) throw Error{"'" + pos[0] + "' is already connected to '" + pos[1] + "'."};
            if (!args.has("force")) throw Error{"'" + pos[1] + "' already has an incoming connection."};
            scene().disconnect(existing.front(), dst);
        }
        scene().connect(src, dst);
        return Value::string("Connected " + pos[0] + " to " + pos[1] + ".");
    });
    registerCommand("disconnectAttr", [](Args& args) {
        args.parse("disconnectAttr", {});
        auto pos = args.positionalStrings();
        Plug src, dst;
        if (pos.size() != 2 || !names::resolvePlug(pos[0], src) || !names::resolvePlug(pos[1], dst) ||
            !scene().disconnect(src, dst))
            throw Error{"There is no connection to disconnect."};
        return Value{};
    });
    registerCommand("select", [](Args& args) {
        args.parse("select", {{"r", "replace", 0}, {"add", "add", 0}, {"d", "deselect", 0}, {"cl", "clear", 0},
                              {"ne", "noExpand", 0}});
        vp2::sceneEdited("active selection changed (select)");
        MSelectionList& sel = host::activeSelection();
        auto& items = Bridge::items(sel);
        if (args.has("clear")) {
            sel.clear();
            return Value{};
        }
        std::vector<std::string> objects = args.positionalStrings();
        if (!args.has("add") && !args.has("deselect")) sel.clear();
        for (const auto& name : objects) {
            resolveOrFail(name);
            if (args.has("deselect")) {
                MSelectionList drop;
                drop.add(MString(name.c_str()));
                auto d = Bridge::items(drop).front();
                std::erase_if(items, [&](const auto& i) { return i.node == d.node && i.path == d.path; });
            } else {
                sel.add(MString(name.c_str()));
            }
        }
        return Value{};
    });
    registerCommand("sets", [](Args& args) {
        args.parse("sets", {{"e", "edit", 0}, {"fe", "forceElement", 1}, {"r", "renderable", 1},
                            {"nss", "noSurfaceShader", 1}, {"em", "empty", 0}, {"n", "name", 1}});
        if (args.has("edit")) {
            if (!args.has("forceElement")) throw Error{"sets: nothing to edit."};
            Node* set = resolveOrFail(args.text("forceElement")).node;
            if (!set->hasFn(MFn::kShadingEngine)) throw Error{"'" + set->name + "' is not a shading group."};
            forceElement(set, targets(args));
            return Value{};
        }
        if (args.number("renderable", 0) == 0) throw Error{"Only renderable sets (shading groups) are supported."};
        Node* set = scene().createNode("shadingEngine", args.text("name", "set#"));
        if (!args.has("empty")) forceElement(set, targets(args));
        return Value::string(set->name);
    });
    registerCommand("hide", [](Args& args) {
        args.parse("hide", {});
        for (const auto& o : targets(args)) scene().setNumber(o.node, scene().findAttr(o.node, "v"), 0);
        return Value{};
    });
    registerCommand("showHidden", [](Args& args) {
        args.parse("showHidden", {});
        for (const auto& o : targets(args)) scene().setNumber(o.node, scene().findAttr(o.node, "v"), 1);
        return Value{};
    });
    // objExists: 1 when a node, DAG path or plug of that name exists, else 0.
    registerCommand("objExists", [](Args& args) {
        args.parse("objExists", {});
        auto pos = args.positionalStrings();
        if (pos.size() != 1) throw Error{"objExists: one object name expected."};
        names::Resolved node;
        Plug plug;
        return Value::integer(names::resolve(pos[0], node) || names::resolvePlug(pos[0], plug));
    });
    registerCommand("polyColorPerVertex", [](Args& args) {
        args.parse("polyColorPerVertex", {{"rgb", "rgb", 3}, {"a", "alpha", 1}, {"cdo", "colorDisplayOption", 0}});
        if (!args.has("rgb") && !args.has("alpha")) throw Error{"polyColorPerVertex: no colour given."};
        for (const auto& o : targets(args)) {
            std::vector<Path> shapes;
            if (o.node->mesh) shapes.push_back(o.path);
            else shapesBelow(o.path, shapes);
            for (const Path& p : shapes) {
                Node* shape = p.back();
                if (!shape->hasFn(MFn::kMesh)) continue;
                auto mesh = std::make_shared<Mesh>(*shape->mesh);
                if (mesh->colorSet.empty()) {
                    mesh->colorSet = "colorSet1";
                    mesh->colors.assign(mesh->points.size(), {0, 0, 0, 1});
                }
                std::vector<int> vertices;
                if (shape == o.node && o.hasVertices) vertices = o.vertices;
                else if (shape == o.node && o.hasFaces)
                    for (int f : o.faces) vertices.insert(vertices.end(), mesh->faces[f].begin(), mesh->faces[f].end());
                else
                    for (size_t v = 0; v < mesh->points.size(); ++v) vertices.push_back(static_cast<int>(v));
                for (int v : vertices) {
                    auto& c = mesh->colors[v];
                    if (args.has("rgb")) c = {args.number("rgb", 0, 0), args.number("rgb", 0, 1), args.number("rgb", 0, 2), c[3]};
                    if (args.has("alpha")) c[3] = args.number("alpha", 1);
                }
                shape->mesh = mesh;
                scene().geometryChanged(shape);
            }
        }
        return Value{};
    });
    registerCommand("hyperShade", [](Args& args) {
        args.parse("hyperShade", {{"a", "assign", 1}});
        if (!args.has("assign")) throw Error{"hyperShade: -assign expected."};
        Node* shader = resolveOrFail(args.text("assign")).node;
        if (!shader->hasFn(MFn::kLambert)) throw Error{"'" + shader->name + "' is not a shader."};
        Args none({});
        auto objects = targets(none);
        Node* set = shadingGroupFor(shader);
        if (!set) {
            set = scene().createNode("shadingEngine", shader->name + "SG");
            scene().connect(Plug{shader, scene().findAttr(shader, "outColor")},
                            Plug{set, scene().findAttr(set, "surfaceShader")});
        }
        forceElement(set, objects);
        return Value{};
    });
    }
} registrar;

} // namespace
} // namespace mayahost::commands

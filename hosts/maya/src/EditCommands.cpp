// Commands that edit the scene: parenting, deleting, transforms, attributes,
// connections, selection, shading sets, colours.
#include "CommandSupport.h"

#include "Bridge.h"
#include "Host.h"
#include "SceneFile.h"

#include <cmath>

namespace mayahost::commands {
namespace {

using mel::Args;
using mel::Error;
using mel::Value;
using mel::registerCommand;

void setCompound(Node* node, const char* name, std::vector<double> values, bool relative) {
    const AttrDef* attr = scene().findAttr(node, name);
    if (relative)
        for (size_t i = 0; i < values.size(); ++i) values[i] += scene().number(node, attr->children[i]);
    scene().setNumbers(node, attr, values);
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
    for (const auto& o : objects) setCompound(transformOf(o), attr, v, args.has("relative"));
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
    args.parse("getAttr", {});
    auto pos = args.positionalStrings();
    if (pos.size() != 1) throw Error{"getAttr: one attribute expected."};
    Plug plug;
    if (!names::resolvePlug(absoluteAttribute(pos[0]), plug)) throw Error{"No object matches name: " + pos[0]};
    const AttrDef* a = plug.attr;
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
    registerCommand("xform", [](Args& args) {
        args.parse("xform", {{"t", "translation", 3}, {"ro", "rotation", 3}, {"s", "scale", 3}, {"r", "relative", 0},
                             {"a", "absolute", 0}, {"os", "objectSpace", 0}});
        auto objects = targets(args);
        auto triple = [&](const char* flag, double unit) {
            return std::vector<double>{args.number(flag, 0, 0) * unit, args.number(flag, 0, 1) * unit,
                                       args.number(flag, 0, 2) * unit};
        };
        for (const auto& o : objects) {
            Node* t = transformOf(o);
            if (args.has("translation")) setCompound(t, "t", triple("translation", 1), args.has("relative"));
            if (args.has("rotation")) setCompound(t, "r", triple("rotation", 1 / kDegrees), args.has("relative"));
            if (args.has("scale")) setCompound(t, "s", triple("scale", 1), args.has("relative"));
        }
        return Value{};
    });
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

// The scene commands of the MEL subset.
#include "Bridge.h"
#include "Geometry.h"
#include "Host.h"
#include "Mel.h"
#include "Messages.h"
#include "Names.h"
#include "ObjImport.h"

#include <maya/MSceneMessage.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

namespace mayahost {
namespace {

using mel::Args;
using mel::Error;
using mel::Value;

constexpr double kDegrees = 180.0 / std::numbers::pi;

Scene& scene() { return Scene::get(); }

names::Resolved resolveOrFail(const std::string& name) {
    names::Resolved r;
    if (!names::resolve(name, r)) throw Error{"No object matches name: " + name};
    return r;
}

// The objects a command works on: its arguments, or the active selection.
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

// The transform an edit of translate/rotate/scale applies to.
Node* transformOf(const names::Resolved& r) {
    if (r.node->hasFn(MFn::kTransform)) return r.node;
    if (r.path.size() >= 2 && r.path[r.path.size() - 2]->hasFn(MFn::kTransform)) return r.path[r.path.size() - 2];
    throw Error{"Object '" + r.node->name + "' has no transform."};
}

// Every mesh or NURBS shape path at or below a path.
void shapesBelow(const Path& path, std::vector<Path>& out) {
    Node* n = path.back();
    if (n->mesh) out.push_back(path);
    for (Node* c : n->children) {
        Path p = path;
        p.push_back(c);
        shapesBelow(p, out);
    }
}

// polyCube and friends: a transform with a shape below it, the shape in the default
// shading group. Returns the transform.
Node* makeShape(const std::string& transformName, const std::string& shapeType, const std::string& shapeBase,
                std::shared_ptr<Mesh> mesh, int nurbsUVs = 0) {
    Node* t = scene().createNode("transform", transformName.empty() ? shapeBase + "#" : transformName);
    // Maya names the shape after its transform: pCube1 → pCubeShape1, mySpot → mySpotShape.
    size_t digits = t->name.find_last_not_of("0123456789") + 1;
    std::string shapeName = t->name.substr(0, digits) + "Shape" + t->name.substr(digits);
    Node* shape = scene().createNode(shapeType, shapeName, t, [&](Node* s) {
        s->mesh = mesh;
        s->nurbsUVs = nurbsUVs;
    });
    if (shape->mesh) scene().assign(scene().find("initialShadingGroup"), shape, 0, {});
    return t;
}

Value names(const std::vector<Node*>& nodes) {
    std::vector<std::string> out;
    for (Node* n : nodes) out.push_back(n->name);
    return Value::strings(out);
}

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

Node* lightCommand(Args& args, const char* type, const char* base) {
    std::initializer_list<mel::FlagSpec> common = {{"n", "name", 1}, {"i", "intensity", 1}, {"rgb", "rgb", 3},
                                                   {"ca", "coneAngle", 1}, {"p", "penumbra", 1}, {"dro", "dropOff", 1}};
    args.parse(type, common);
    bool spot = std::string(type) == "spotLight";
    if (!spot && (args.has("coneAngle") || args.has("penumbra") || args.has("dropOff")))
        throw Error{"Invalid flag for " + std::string(type) + "."};
    Node* t = makeShape(args.text("name"), type, base, nullptr);
    Node* light = t->children.front();
    if (args.has("intensity")) scene().setNumber(light, scene().findAttr(light, "in"), args.number("intensity", 1));
    if (args.has("rgb"))
        scene().setNumbers(light, scene().findAttr(light, "cl"),
                           {args.number("rgb", 1, 0), args.number("rgb", 1, 1), args.number("rgb", 1, 2)});
    if (args.has("coneAngle")) scene().setNumber(light, scene().findAttr(light, "ca"), args.number("coneAngle", 40) / kDegrees);
    if (args.has("penumbra")) scene().setNumber(light, scene().findAttr(light, "pa"), args.number("penumbra", 0) / kDegrees);
    if (args.has("dropOff")) scene().setNumber(light, scene().findAttr(light, "dro"), args.number("dropOff", 0));
    return light;
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

void fileNew() {
    messages::scene(MSceneMessage::kBeforeNew);
    scene().clear();
    host::activeSelection().clear();
    messages::scene(MSceneMessage::kAfterNew);
}

Value setAttr(Args& args) {
    args.parse("setAttr", {{"type", "type", 1}});
    auto pos = args.positional();
    if (pos.empty()) throw Error{"setAttr: no attribute given."};
    Plug plug;
    if (!names::resolvePlug(pos[0].asString(), plug)) throw Error{"No object matches name: " + pos[0].asString()};
    pos.erase(pos.begin());
    const AttrDef* a = plug.attr;
    if (a->kind == AttrKind::String) {
        if (args.text("type") != "string" || pos.size() != 1) throw Error{"Error while parsing arguments."};
        scene().setString(plug.node, a, pos[0].asString());
        return {};
    }
    if (args.has("type")) throw Error{"Error while parsing arguments."};
    auto numberOf = [&](const Value& v) {
        if (v.isNumber()) return v.number;
        if (v.text == "true" || v.text == "on" || v.text == "yes") return 1.0;
        if (v.text == "false" || v.text == "off" || v.text == "no") return 0.0;
        throw Error{"Error while parsing arguments."};
    };
    if (a->kind == AttrKind::Compound) {
        if (pos.size() != a->children.size()) throw Error{"Error while parsing arguments."};
        std::vector<double> values;
        for (size_t i = 0; i < pos.size(); ++i)
            values.push_back(numberOf(pos[i]) / (a->children[i]->kind == AttrKind::Angle ? kDegrees : 1));
        scene().setNumbers(plug.node, a, values);
        return {};
    }
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
    if (!names::resolvePlug(pos[0], plug)) throw Error{"No object matches name: " + pos[0]};
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

void registerAll() {
    using mel::registerCommand;
    registerCommand("print", [](Args& args) {
        for (const auto& word : args.words()) {
            if (word.flag) throw Error{"Invalid flag '-" + word.name + "'"};
            const Value& w = word.value;
            if (w.isArray())
                for (const auto& s : w.asStrings()) mel::print(s + "\n");
            else
                mel::print(w.asString());
        }
        return Value{};
    });
    registerCommand("file", [](Args& args) {
        args.parse("file", {{"f", "force", 0}, {"new", "newFile", 0}, {"o", "open", 0}, {"i", "import", 0},
                            {"type", "type", 1}, {"rename", "rename", 1}, {"q", "query", 0}, {"sn", "sceneName", 0}});
        auto paths = args.positionalStrings();
        if (args.has("query")) return Value::string(scene().fileName);
        if (args.has("newFile")) {
            fileNew();
            return Value::string("untitled");
        }
        if (args.has("rename")) {
            scene().fileName = args.text("rename");
            return Value::string(scene().fileName);
        }
        if (paths.size() != 1) throw Error{"file: one file name expected."};
        if (args.has("import")) {
            std::string error;
            std::vector<Node*> made = importObj(paths[0], error);
            if (!error.empty()) throw Error{error};
            return names(made);
        }
        if (args.has("open")) {
            std::ifstream in(paths[0]);
            if (!in) throw Error{"File not found: " + paths[0]};
            std::stringstream text;
            text << in.rdbuf();
            messages::scene(MSceneMessage::kBeforeOpen);
            scene().clear();
            host::activeSelection().clear();
            mel::run(text.str(), paths[0]);
            scene().fileName = paths[0];
            messages::scene(MSceneMessage::kAfterOpen);
            return Value::string(paths[0]);
        }
        throw Error{"file: no action given."};
    });
    registerCommand("polyCube", [](Args& args) {
        args.parse("polyCube", {{"w", "width", 1}, {"h", "height", 1}, {"d", "depth", 1}, {"n", "name", 1},
                                {"ch", "constructionHistory", 1}});
        auto mesh = geometry::cube(args.number("width", 1), args.number("height", 1), args.number("depth", 1));
        return names({makeShape(args.text("name"), "mesh", "pCube", mesh)});
    });
    registerCommand("polySphere", [](Args& args) {
        args.parse("polySphere", {{"r", "radius", 1}, {"sx", "subdivisionsX", 1}, {"sy", "subdivisionsY", 1},
                                  {"n", "name", 1}, {"ch", "constructionHistory", 1}});
        auto mesh = geometry::sphere(args.number("radius", 1), static_cast<int>(args.number("subdivisionsX", 20)),
                                     static_cast<int>(args.number("subdivisionsY", 20)));
        return names({makeShape(args.text("name"), "mesh", "pSphere", mesh)});
    });
    registerCommand("polyPlane", [](Args& args) {
        args.parse("polyPlane", {{"w", "width", 1}, {"h", "height", 1}, {"sx", "subdivisionsX", 1},
                                 {"sy", "subdivisionsY", 1}, {"n", "name", 1}, {"ch", "constructionHistory", 1}});
        auto mesh = geometry::plane(args.number("width", 1), args.number("height", 1),
                                    static_cast<int>(args.number("subdivisionsX", 10)),
                                    static_cast<int>(args.number("subdivisionsY", 10)));
        return names({makeShape(args.text("name"), "mesh", "pPlane", mesh)});
    });
    registerCommand("nurbsPlane", [](Args& args) {
        args.parse("nurbsPlane", {{"w", "width", 1}, {"lr", "lengthRatio", 1}, {"u", "patchesU", 1},
                                  {"v", "patchesV", 1}, {"n", "name", 1}, {"ch", "constructionHistory", 1}});
        auto mesh = geometry::nurbsPlane(args.number("width", 1), args.number("lengthRatio", 1),
                                         static_cast<int>(args.number("patchesU", 1)),
                                         static_cast<int>(args.number("patchesV", 1)));
        int uvs = static_cast<int>(mesh->uvs.size());
        return names({makeShape(args.text("name"), "nurbsSurface", "nurbsPlane", mesh, uvs)});
    });
    registerCommand("ambientLight", [](Args& a) { return names({lightCommand(a, "ambientLight", "ambientLight")}); });
    registerCommand("directionalLight",
                    [](Args& a) { return names({lightCommand(a, "directionalLight", "directionalLight")}); });
    registerCommand("pointLight", [](Args& a) { return names({lightCommand(a, "pointLight", "pointLight")}); });
    registerCommand("spotLight", [](Args& a) { return names({lightCommand(a, "spotLight", "spotLight")}); });
    registerCommand("createNode", [](Args& args) {
        args.parse("createNode", {{"n", "name", 1}, {"p", "parent", 1}, {"ss", "skipSelect", 0}});
        auto pos = args.positionalStrings();
        if (pos.size() != 1) throw Error{"createNode: one node type expected."};
        const NodeClass* cls = scene().nodeClass(pos[0]);
        if (!cls || pos[0] == "world") throw Error{"Unknown object type: " + pos[0]};
        Node* parent = nullptr;
        if (args.has("parent")) {
            if (!cls->dag) throw Error{"A dependency node cannot have a parent."};
            parent = resolveOrFail(args.text("parent")).node;
        }
        return Value::string(scene().createNode(pos[0], args.text("name"), parent)->name);
    });
    registerCommand("group", [](Args& args) {
        args.parse("group", {{"n", "name", 1}, {"em", "empty", 0}, {"w", "world", 0}});
        std::vector<names::Resolved> objects;
        if (!args.has("empty")) objects = targets(args);
        if (!args.has("empty") && objects.empty()) throw Error{"Not enough objects or values."};
        Node* g = scene().createNode("transform", args.text("name", "group#"));
        for (const auto& o : objects) scene().addChild(g, transformOf(o) == o.node ? o.node : o.node, false);
        return Value::string(g->name);
    });
    registerCommand("parent", [](Args& args) {
        args.parse("parent", {{"w", "world", 0}, {"r", "relative", 0}, {"a", "absolute", 0}, {"add", "addObject", 0},
                              {"s", "shape", 0}});
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
    registerCommand("instance", [](Args& args) {
        args.parse("instance", {{"n", "name", 1}, {"lf", "leaf", 0}});
        std::vector<Node*> made;
        for (const auto& o : targets(args)) {
            Node* src = transformOf(o);
            Node* t = scene().createNode("transform", args.text("name", src->name), nullptr, [&](Node* n) {
                n->numbers = src->numbers;
            });
            for (Node* c : std::vector<Node*>(src->children)) scene().addChild(t, c, true);
            made.push_back(t);
        }
        if (made.empty()) throw Error{"Not enough objects or values."};
        return names(made);
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
    registerCommand("modelEditor", [](Args& args) {
        args.parse("modelEditor", {{"e", "edit", 0}, {"q", "query", 0}, {"pm", "polymeshes", 1},
                                   {"ns", "nurbsSurfaces", 1}, {"nc", "nurbsCurves", 1}, {"lt", "lights", 1},
                                   {"ca", "cameras", 1}, {"alo", "allObjects", 1}, {"rom", "rendererOverrideName", 1}});
        auto pos = args.positionalStrings();
        host::Viewport& v = host::viewport();
        if (pos.size() != 1 || pos[0] != v.panel) throw Error{"Object '" + (pos.empty() ? "" : pos[0]) + "' not found."};
        if (args.has("query")) {
            if (args.has("rendererOverrideName")) return Value::string(v.rendererOverride);
            throw Error{"modelEditor: query not supported for this flag."};
        }
        auto show = [&](const char* flag, std::uint64_t bits) {
            if (!args.has(flag)) return;
            if (args.number(flag, 1) != 0) v.exclusions &= ~bits;
            else v.exclusions |= bits;
        };
        show("allObjects", host::kExcludeNurbsCurves | host::kExcludeNurbsSurfaces | host::kExcludeMeshes |
                               host::kExcludePlanes | host::kExcludeLights | host::kExcludeCameras);
        show("polymeshes", host::kExcludeMeshes);
        show("nurbsSurfaces", host::kExcludeNurbsSurfaces);
        show("nurbsCurves", host::kExcludeNurbsCurves);
        show("lights", host::kExcludeLights);
        show("cameras", host::kExcludeCameras);
        if (args.has("rendererOverrideName")) v.rendererOverride = args.text("rendererOverrideName");
        return Value::string(v.panel);
    });
    registerCommand("loadPlugin", [](Args& args) {
        args.parse("loadPlugin", {{"qt", "quiet", 0}});
        auto pos = args.positionalStrings();
        if (pos.size() != 1) throw Error{"loadPlugin: one plug-in path expected."};
        std::string error;
        if (!host::loadPlugin(pos[0], error)) throw Error{error};
        return Value::strings({pos[0].substr(pos[0].find_last_of('/') + 1)});
    });
    registerCommand("unloadPlugin", [](Args& args) {
        args.parse("unloadPlugin", {{"f", "force", 0}});
        auto pos = args.positionalStrings();
        if (pos.size() != 1) throw Error{"unloadPlugin: one plug-in name expected."};
        std::string error;
        if (!host::unloadPlugin(pos[0], error)) throw Error{error};
        return Value{};
    });
    registerCommand("refresh", [](Args& args) {
        args.parse("refresh", {{"f", "force", 0}, {"cv", "currentView", 0}});
        ++host::viewport().redrawRequests;
        return Value{};
    });
    registerCommand("pause", [](Args& args) {
        args.parse("pause", {{"sec", "seconds", 1}});
        double seconds = args.number("seconds", -1);
        if (seconds < 0) throw Error{"pause: -seconds expected."};
        host::idle(seconds);
        return Value{};
    });
    registerCommand("currentTime", [](Args& args) {
        args.parse("currentTime", {{"q", "query", 0}, {"e", "edit", 0}, {"u", "update", 1}});
        auto& prefs = host::preferences();
        if (!args.has("query")) {
            if (args.positional().size() != 1) throw Error{"currentTime: one time expected."};
            prefs.currentTime = args.positional()[0].asNumber();
        }
        return Value::real(prefs.currentTime);
    });
    registerCommand("colorManagementPrefs", [](Args& args) {
        args.parse("colorManagementPrefs", {{"e", "edit", 0}, {"q", "query", 0}, {"poe", "popupOnError", 1},
                                            {"cme", "cmEnabled", 1}});
        auto& prefs = host::preferences();
        if (args.has("query")) return Value::integer(prefs.colorManagement);
        if (args.has("cmEnabled")) prefs.colorManagement = args.number("cmEnabled", 1) != 0;
        return Value{};
    });
    registerCommand("shadingNode", [](Args& args) {
        args.parse("shadingNode", {{"as", "asShader", 0}, {"at", "asTexture", 0}, {"au", "asUtility", 0},
                                   {"n", "name", 1}});
        auto pos = args.positionalStrings();
        if (pos.size() != 1) throw Error{"shadingNode: one node type expected."};
        if (pos[0] != "lambert") throw Error{"Unknown object type: " + pos[0]};
        if (!args.has("asShader")) throw Error{"shadingNode: a lambert is a shader (-asShader)."};
        return Value::string(scene().createNode("lambert", args.text("name", "lambert#"))->name);
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

struct Registrar {
    Registrar() { registerAll(); }
} registrar;

} // namespace
} // namespace mayahost

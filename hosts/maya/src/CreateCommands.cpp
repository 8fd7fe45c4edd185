// Commands that create nodes: primitives, lights, groups, instances, shaders.
#include "CommandSupport.h"

#include "Geometry.h"

namespace mayahost::commands {
namespace {

using mel::Args;
using mel::Error;
using mel::Value;
using mel::registerCommand;

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

// Light commands answer the shape's name and select its transform.
Value lightResult(Node* light) {
    selectOnly({light->parents.front()});
    return Value::strings({light->name});
}

struct Registrar {
    Registrar() {
    registerCommand("polyCube", [](Args& args) {
        args.parse("polyCube", {{"w", "width", 1}, {"h", "height", 1}, {"d", "depth", 1}, {"n", "name", 1},
                                {"ch", "constructionHistory", 1}});
        auto mesh = geometry::cube(args.number("width", 1), args.number("height", 1), args.number("depth", 1));
        return created({makeShape(args.text("name"), "mesh", "pCube", mesh)});
    });
    registerCommand("polySphere", [](Args& args) {
        args.parse("polySphere", {{"r", "radius", 1}, {"sx", "subdivisionsX", 1}, {"sy", "subdivisionsY", 1},
                                  {"n", "name", 1}, {"ch", "constructionHistory", 1}});
        auto mesh = geometry::sphere(args.number("radius", 1), static_cast<int>(args.number("subdivisionsX", 20)),
                                     static_cast<int>(args.number("subdivisionsY", 20)));
        return created({makeShape(args.text("name"), "mesh", "pSphere", mesh)});
    });
    registerCommand("polyPlane", [](Args& args) {
        args.parse("polyPlane", {{"w", "width", 1}, {"h", "height", 1}, {"sx", "subdivisionsX", 1},
                                 {"sy", "subdivisionsY", 1}, {"n", "name", 1}, {"ch", "constructionHistory", 1}});
        auto mesh = geometry::plane(args.number("width", 1), args.number("height", 1),
                                    static_cast<int>(args.number("subdivisionsX", 10)),
                                    static_cast<int>(args.number("subdivisionsY", 10)));
        return created({makeShape(args.text("name"), "mesh", "pPlane", mesh)});
    });
    registerCommand("nurbsPlane", [](Args& args) {
        args.parse("nurbsPlane", {{"w", "width", 1}, {"lr", "lengthRatio", 1}, {"u", "patchesU", 1},
                                  {"v", "patchesV", 1}, {"n", "name", 1}, {"ch", "constructionHistory", 1}});
        auto mesh = geometry::nurbsPlane(args.number("width", 1), args.number("lengthRatio", 1),
                                         static_cast<int>(args.number("patchesU", 1)),
                                         static_cast<int>(args.number("patchesV", 1)));
        int uvs = static_cast<int>(mesh->uvs.size());
        return created({makeShape(args.text("name"), "nurbsSurface", "nurbsPlane", mesh, uvs)});
    });
    registerCommand("ambientLight", [](Args& a) { return lightResult(lightCommand(a, "ambientLight", "ambientLight")); });
    registerCommand("directionalLight",
                    [](Args& a) { return lightResult(lightCommand(a, "directionalLight", "directionalLight")); });
    registerCommand("pointLight", [](Args& a) { return lightResult(lightCommand(a, "pointLight", "pointLight")); });
    registerCommand("spotLight", [](Args& a) { return lightResult(lightCommand(a, "spotLight", "spotLight")); });
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
        Node* made = scene().createNode(pos[0], args.text("name"), parent);
        if (!args.has("skipSelect")) selectOnly({made});
        return Value::string(made->name);
    });
    registerCommand("group", [](Args& args) {
        args.parse("group", {{"n", "name", 1}, {"em", "empty", 0}, {"w", "world", 0}});
        std::vector<names::Resolved> objects;
        if (!args.has("empty")) objects = targets(args);
        if (!args.has("empty") && objects.empty()) throw Error{"Not enough objects or values."};
        Node* g = scene().createNode("transform", args.text("name", "group#"));
        for (const auto& o : objects) scene().addChild(g, o.node, false);
        selectOnly({g});
        return Value::string(g->name);
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
        return created(made);
    });
    registerCommand("shadingNode", [](Args& args) {
        args.parse("shadingNode", {{"as", "asShader", 0}, {"at", "asTexture", 0}, {"au", "asUtility", 0},
                                   {"n", "name", 1}});
        auto pos = args.positionalStrings();
        if (pos.size() != 1) throw Error{"shadingNode: one node type expected."};
        if (pos[0] != "lambert") throw Error{"Unknown object type: " + pos[0]};
        if (!args.has("asShader")) throw Error{"shadingNode: a lambert is a shader (-asShader)."};
        Node* shader = scene().createNode("lambert", args.text("name", "lambert#"));
        selectOnly({shader});
        return Value::string(shader->name);
    });
    }
} registrar;

} // namespace
} // namespace mayahost::commands

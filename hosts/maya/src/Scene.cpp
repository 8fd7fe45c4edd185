#include "Scene.h"

#include "Matrix.h"
#include "Messages.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace mayahost {

bool Node::hasFn(MFn::Type type) const {
    if (type == MFn::kBase || type == MFn::kNamedObject) return true;
    return std::find(cls->types.begin(), cls->types.end(), type) != cls->types.end();
}

std::string Plug::partialName(bool longNames, bool fullPath) const {
    std::string text;
    auto part = [&](const AttrDef* a, int index) {
        std::string s = longNames ? a->longName : a->shortName;
        if (index >= 0) s += "[" + std::to_string(index) + "]";
        return s;
    };
    // A child of an array compound needs its parent's index; others print alone.
    if (attr->parent && (fullPath || attr->parent->array)) {
        text = part(attr->parent, index[0]) + "." + part(attr, index[1]);
    } else if (attr->parent) {
        text = part(attr, index[1]);
    } else {
        text = part(attr, index[0]);
    }
    return text;
}

Scene& Scene::get() {
    static Scene scene;
    return scene;
}

Scene::Scene() {
    defineClasses();
    createDefaults();
}

AttrDef* Scene::newAttribute() {
    attrPool_.push_back(std::make_unique<AttrDef>());
    return attrPool_.back().get();
}

void Scene::defineClasses() {
    auto attr = [&](std::vector<const AttrDef*>& list, const char* longName, const char* shortName, AttrKind kind,
                    double def = 0, const AttrDef* parent = nullptr) {
        AttrDef* a = newAttribute();
        a->longName = longName;
        a->shortName = shortName;
        a->kind = kind;
        a->defaultNumber = def;
        a->parent = parent;
        if (parent) const_cast<AttrDef*>(parent)->children.push_back(a);
        list.push_back(a);
        return a;
    };
    auto triple = [&](std::vector<const AttrDef*>& list, const char* l, const char* s, AttrKind kind,
                      const char* const names[6], double def) {
        AttrDef* c = attr(list, l, s, AttrKind::Compound);
        for (int i = 0; i < 3; ++i) attr(list, names[2 * i], names[2 * i + 1], kind, def, c);
    };
    auto define = [&](const char* name, std::vector<MFn::Type> types, bool dag, const NodeClass* base) {
        auto cls = std::make_unique<NodeClass>();
        cls->name = name;
        cls->types = std::move(types);
        cls->dag = dag;
        if (base) cls->attrs = base->attrs;
        NodeClass* raw = cls.get();
        classes_[name] = std::move(cls);
        return raw;
    };
    using F = MFn;
    NodeClass dagBase;
    attr(dagBase.attrs, "visibility", "v", AttrKind::Bool, 1);
    AttrDef* overrides = attr(dagBase.attrs, "drawOverride", "do", AttrKind::Compound);
    attr(dagBase.attrs, "overrideEnabled", "ove", AttrKind::Bool, 0, overrides);
    attr(dagBase.attrs, "overrideVisibility", "ovv", AttrKind::Bool, 1, overrides);
    attr(dagBase.attrs, "overrideDisplayType", "ovdt", AttrKind::Int, 0, overrides);
    attr(dagBase.attrs, "intermediateObject", "io", AttrKind::Bool, 0);
    AttrDef* iog = attr(dagBase.attrs, "instObjGroups", "iog", AttrKind::Message);
    iog->array = true;
    iog->storable = false;
    AttrDef* og = attr(dagBase.attrs, "objectGroups", "og", AttrKind::Message, 0, iog);
    og->array = true;
    og->storable = false;

    define("world", {F::kDependencyNode, F::kDagNode, F::kWorld}, true, nullptr);
    NodeClass* transform = define("transform", {F::kDependencyNode, F::kDagNode, F::kTransform}, true, &dagBase);
    static const char* const t[] = {"translateX", "tx", "translateY", "ty", "translateZ", "tz"};
    static const char* const r[] = {"rotateX", "rx", "rotateY", "ry", "rotateZ", "rz"};
    static const char* const s[] = {"scaleX", "sx", "scaleY", "sy", "scaleZ", "sz"};
    triple(transform->attrs, "translate", "t", AttrKind::Double, t, 0);
    triple(transform->attrs, "rotate", "r", AttrKind::Angle, r, 0);
    triple(transform->attrs, "scale", "s", AttrKind::Double, s, 1);

    NodeClass* mesh = define("mesh", {F::kDependencyNode, F::kDagNode, F::kShape, F::kSurface, F::kMesh}, true, &dagBase);
    attr(mesh->attrs, "inMesh", "i", AttrKind::Message)->storable = false;
    NodeClass* nurbs = define("nurbsSurface", {F::kDependencyNode, F::kDagNode, F::kShape, F::kSurface, F::kNurbsSurface},
                              true, &dagBase);
    attr(nurbs->attrs, "create", "cr", AttrKind::Message)->storable = false;
    NodeClass* camera = define("camera", {F::kDependencyNode, F::kDagNode, F::kShape, F::kCamera}, true, &dagBase);
    // A 35 mm full aperture film back (36 x 24 mm, in inches) behind a 35 mm lens.
    attr(camera->attrs, "centerOfInterest", "coi", AttrKind::Double, 5);
    attr(camera->attrs, "focalLength", "fl", AttrKind::Double, 35);
    attr(camera->attrs, "horizontalFilmAperture", "hfa", AttrKind::Double, 36.0 / 25.4);
    attr(camera->attrs, "verticalFilmAperture", "vfa", AttrKind::Double, 24.0 / 25.4);
    attr(camera->attrs, "horizontalFilmOffset", "hfo", AttrKind::Double, 0);
    attr(camera->attrs, "verticalFilmOffset", "vfo", AttrKind::Double, 0);
    attr(camera->attrs, "filmFit", "ff", AttrKind::Int, 0); // Fill, Horizontal, Vertical, Overscan
    attr(camera->attrs, "nearClipPlane", "ncp", AttrKind::Double, 0.1);
    attr(camera->attrs, "farClipPlane", "fcp", AttrKind::Double, 10000);
    attr(camera->attrs, "orthographic", "o", AttrKind::Bool, 0);
    attr(camera->attrs, "orthographicWidth", "ow", AttrKind::Double, 30);

    NodeClass lightBase;
    lightBase.attrs = dagBase.attrs;
    static const char* const cl[] = {"colorR", "cr", "colorG", "cg", "colorB", "cb"};
    triple(lightBase.attrs, "color", "cl", AttrKind::Double, cl, 1);
    attr(lightBase.attrs, "intensity", "in", AttrKind::Double, 1);
    define("ambientLight", {F::kDependencyNode, F::kDagNode, F::kShape, F::kLight, F::kAmbientLight}, true, &lightBase);
    std::vector<MFn::Type> nonAmbient = {F::kDependencyNode, F::kDagNode, F::kShape, F::kLight, F::kNonAmbientLight,
                                         F::kNonExtendedLight};
    auto with = [](std::vector<MFn::Type> v, MFn::Type last) { v.push_back(last); return v; };
    define("directionalLight", with(nonAmbient, F::kDirectionalLight), true, &lightBase);
    define("pointLight", with(nonAmbient, F::kPointLight), true, &lightBase);
    NodeClass* spot = define("spotLight", with(nonAmbient, F::kSpotLight), true, &lightBase);
    attr(spot->attrs, "coneAngle", "ca", AttrKind::Angle, 40.0 * std::numbers::pi / 180.0);
    attr(spot->attrs, "penumbraAngle", "pa", AttrKind::Angle, 0);
    attr(spot->attrs, "dropoff", "dro", AttrKind::Double, 0);

    NodeClass* sg = define("shadingEngine", {F::kDependencyNode, F::kSet, F::kShadingEngine}, false, nullptr);
    attr(sg->attrs, "surfaceShader", "ss", AttrKind::Message);
    attr(sg->attrs, "dagSetMembers", "dsm", AttrKind::Message)->array = true;
    NodeClass* lambert = define("lambert", {F::kDependencyNode, F::kLambert}, false, nullptr);
    static const char* const c[] = {"colorR", "cr", "colorG", "cg", "colorB", "cb"};
    triple(lambert->attrs, "color", "c", AttrKind::Double, c, 0.5);
    attr(lambert->attrs, "diffuse", "dc", AttrKind::Double, 0.8);
    attr(lambert->attrs, "outColor", "oc", AttrKind::Message);
    // Animation curves by the unit of what they drive: distance, angle, unitless.
    for (const char* curve : {"animCurveTL", "animCurveTA", "animCurveTU"}) {
        NodeClass* c = define(curve, {F::kDependencyNode}, false, nullptr);
        attr(c->attrs, "output", "o", std::string(curve) == "animCurveTA" ? AttrKind::Angle : AttrKind::Double);
    }
    NodeClass* hw = define("hardwareRenderingGlobals", {F::kDependencyNode}, false, nullptr);
    attr(hw->attrs, "multiSampleEnable", "multiSampleEnable", AttrKind::Bool, 0);
}

const NodeClass* Scene::nodeClass(const std::string& name) const {
    auto it = classes_.find(name);
    return it == classes_.end() ? nullptr : it->second.get();
}

NodeClass* Scene::nodeClassMutable(const std::string& name) {
    auto it = classes_.find(name);
    return it == classes_.end() ? nullptr : it->second.get();
}

void Scene::createDefaults() {
    auto make = [&](const std::string& type, const std::string& name, Node* parent) {
        auto node = std::make_unique<Node>();
        node->serial = ++serial_;
        node->name = name;
        node->cls = nodeClass(type);
        node->isDefault = true;
        Node* raw = node.get();
        nodes_.push_back(std::move(node));
        nameTaken(raw);
        if (parent) {
            raw->parents.push_back(parent);
            parent->children.push_back(raw);
        }
        return raw;
    };
    world_ = make("world", "world", nullptr);
    for (const char* camera : {"persp", "top", "front", "side"}) {
        Node* t = make("transform", camera, world_);
        make("camera", std::string(camera) + "Shape", t);
    }
    Node* lambert1 = make("lambert", "lambert1", nullptr);
    Node* initial = make("shadingEngine", "initialShadingGroup", nullptr);
    make("hardwareRenderingGlobals", "hardwareRenderingGlobals", nullptr);
    connections_.push_back({Plug{lambert1, findAttr(lambert1, "outColor")}, Plug{initial, findAttr(initial, "surfaceShader")}});
    placeDefaultCameras();
}

// Where a new scene's cameras stand: persp looking at the origin from (28, 21, 28), the
// orthographic views 1000.1 units out along +Y, +Z and +X.
void Scene::placeDefaultCameras() {
    constexpr double deg = std::numbers::pi / 180;
    struct Place {
        const char* name;
        double t[3], r[3];
        bool ortho;
    };
    static const Place places[] = {{"persp", {28, 21, 28}, {-27.938352729602379 * deg, 45 * deg, 0}, false},
                                   {"top", {0, 1000.1, 0}, {-90 * deg, 0, 0}, true},
                                   {"front", {0, 0, 1000.1}, {0, 0, 0}, true},
                                   {"side", {1000.1, 0, 0}, {0, 90 * deg, 0}, true}};
    for (const Place& p : places) {
        Node* t = byName_.at(p.name);
        Node* shape = t->children.front();
        const char* const translate[] = {"tx", "ty", "tz"};
        const char* const rotate[] = {"rx", "ry", "rz"};
        for (int i = 0; i < 3; ++i) {
            if (p.t[i] != 0) t->numbers[findAttr(t, translate[i])] = p.t[i];
            if (p.r[i] != 0) t->numbers[findAttr(t, rotate[i])] = p.r[i];
        }
        shape->numbers[findAttr(shape, "coi")] = p.ortho ? 1000.1 : std::sqrt(28.0 * 28 + 21 * 21 + 28 * 28);
        if (p.ortho) shape->numbers[findAttr(shape, "o")] = 1;
    }
}

Node* Scene::find(const std::string& fullName) const {
    std::string name = fullName;
    auto bar = name.rfind('|');
    if (bar != std::string::npos) name = name.substr(bar + 1);
    if (name.empty()) return nullptr;
    auto it = byName_.find(name);
    return it != byName_.end() && it->second->alive && it->second != world_ ? it->second : nullptr;
}

namespace {
// "pCube12" -> ("pCube", 12); a name without trailing digits has number 0.
std::pair<std::string, int> splitNumber(const std::string& name) {
    size_t end = name.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(name[end - 1]))) --end;
    if (end == name.size() || name.size() - end > 9) return {name, 0};
    return {name.substr(0, end), std::stoi(name.substr(end))};
}
} // namespace

void Scene::nameTaken(Node* node) { byName_[node->name] = node; }

void Scene::nameFreed(Node* node) {
    auto it = byName_.find(node->name);
    if (it != byName_.end() && it->second == node) byName_.erase(it);
    auto [stem, number] = splitNumber(node->name);
    auto hint = lowestFree_.find(stem);
    if (number > 0 && hint != lowestFree_.end() && number < hint->second) hint->second = number;
}

std::vector<Node*> Scene::liveNodes() const {
    std::vector<Node*> out;
    for (const auto& n : nodes_)
        if (n->alive && n.get() != world_) out.push_back(n.get());
    return out;
}

std::string Scene::uniqueName(const std::string& requested) const {
    std::string base = requested;
    bool numbered = !base.empty() && base.back() == '#';
    if (numbered) base.pop_back();
    if (!numbered && !find(base)) return base;
    // Strip trailing digits so that "pCube1" taken gives "pCube2".
    while (!numbered && !base.empty() && std::isdigit(static_cast<unsigned char>(base.back()))) base.pop_back();
    int& lowest = lowestFree_.try_emplace(base, 1).first->second;
    for (int i = lowest;; ++i) {
        std::string candidate = base + std::to_string(i);
        if (!find(candidate)) {
            lowest = i;
            return candidate;
        }
    }
}

void Scene::rename(Node* node, const std::string& name) {
    nameFreed(node);
    node->name = uniqueName(name);
    nameTaken(node);
}

Node* Scene::createNode(const std::string& type, const std::string& name, Node* parent,
                        const std::function<void(Node*)>& init) {
    const NodeClass* cls = nodeClass(type);
    if (!cls || type == "world") return nullptr;
    auto node = std::make_unique<Node>();
    node->serial = ++serial_;
    node->cls = cls;
    node->name = uniqueName(name.empty() ? type + "#" : name);
    Node* raw = node.get();
    nodes_.push_back(std::move(node));
    nameTaken(raw);
    if (cls->types.back() == MFn::kMesh) raw->mesh = std::make_shared<Mesh>();
    if (init) init(raw);
    messages::nodeAdded(raw);
    if (cls->dag) addChild(parent ? parent : world_, raw, false);
    return raw;
}

std::vector<Path> Scene::allPaths(Node* node) const {
    std::vector<Path> out;
    if (node == world_) {
        out.push_back({});
        return out;
    }
    for (Node* parent : node->parents) {
        for (Path p : allPaths(parent)) {
            p.push_back(node);
            out.push_back(std::move(p));
        }
    }
    return out;
}

int Scene::instanceNumber(const Path& path) const {
    if (path.empty()) return 0;
    auto paths = allPaths(path.back());
    auto it = std::find(paths.begin(), paths.end(), path);
    return it == paths.end() ? 0 : static_cast<int>(it - paths.begin());
}

void Scene::addChild(Node* parent, Node* child, bool instance) {
    if (!instance) {
        // A move keeps the set membership: instances are counted again only once the
        // child hangs under its new parent.
        auto old = child->parents;
        for (Node* p : old) removeChild(p, child, false);
    }
    if (std::find(child->parents.begin(), child->parents.end(), parent) != child->parents.end()) return;
    child->parents.push_back(parent);
    parent->children.push_back(child);
    syncInstances(child);
    // One message per new DAG path of the child: an instanced parent gives several.
    for (Path p : allPaths(parent)) {
        Path c = p;
        c.push_back(child);
        messages::childAdded(c, p);
    }
}

void Scene::removeChild(Node* parent, Node* child, bool recount) {
    auto it = std::find(child->parents.begin(), child->parents.end(), parent);
    if (it == child->parents.end()) return;
    for (Path p : allPaths(parent)) {
        Path c = p;
        c.push_back(child);
        messages::childRemoved(c, p);
    }
    child->parents.erase(std::find(child->parents.begin(), child->parents.end(), parent));
    parent->children.erase(std::find(parent->children.begin(), parent->children.end(), child));
    if (recount) syncInstances(child);
}

// Keeps one set membership per instance of every shape below `node`; a new instance
// joins the sets of the first one.
void Scene::syncInstances(Node* node) {
    if (node->hasFn(MFn::kMesh) || node->hasFn(MFn::kNurbsSurface)) {
        size_t count = allPaths(node).size();
        while (node->members.size() > count) {
            Membership before = node->members.back();
            node->members.back() = Membership{};
            rebuildSetConnections(node, static_cast<int>(node->members.size()) - 1, before);
            node->members.pop_back();
        }
        while (node->members.size() < count) {
            Membership copy = node->members.empty() ? Membership{} : node->members.front();
            node->members.push_back(Membership{});
            int inst = static_cast<int>(node->members.size()) - 1;
            node->members[inst] = copy;
            rebuildSetConnections(node, inst, Membership{});
        }
    }
    for (Node* c : node->children) syncInstances(c);
}

void Scene::deleteNodes(const std::vector<Node*>& requested) {
    std::set<Node*> doomed;
    std::vector<Node*> order;
    std::vector<Node*> stack(requested.begin(), requested.end());
    auto add = [&](Node* n) {
        if (n && n->alive && !n->isDefault && doomed.insert(n).second) order.push_back(n);
    };
    for (Node* n : requested) add(n);
    // DAG nodes whose every parent goes go as well.
    for (size_t i = 0; i < order.size(); ++i) {
        for (Node* c : order[i]->children) {
            bool allParentsGo = std::all_of(c->parents.begin(), c->parents.end(), [&](Node* p) { return doomed.count(p); });
            if (allParentsGo) add(c);
        }
    }
    if (order.empty()) return;
    // Set memberships and connections go first, with their messages.
    for (Node* n : order) {
        for (size_t i = 0; i < n->members.size(); ++i) {
            Membership before = n->members[i];
            n->members[i] = Membership{};
            rebuildSetConnections(n, static_cast<int>(i), before);
        }
        if (n->hasFn(MFn::kShadingEngine)) {
            for (const auto& other : nodes_) {
                if (!other->alive || doomed.count(other.get())) continue;
                for (size_t i = 0; i < other->members.size(); ++i) {
                    Membership before = other->members[i];
                    Membership& m = other->members[i];
                    bool touched = false;
                    if (m.whole == n) { m.whole = nullptr; touched = true; }
                    for (Node*& f : m.faceSets) if (f == n) { f = nullptr; touched = true; }
                    if (touched) rebuildSetConnections(other.get(), static_cast<int>(i), before);
                }
            }
        }
    }
    for (auto conns = connections_; const auto& [src, dst] : conns)
        if (doomed.count(src.node) || doomed.count(dst.node)) disconnect(src, dst);
    // Detach the deleted subtrees from the parents that stay, and the children that stay
    // (a shape with other instances left) from their deleted parents.
    for (Node* n : order) {
        auto parents = n->parents;
        for (Node* p : parents)
            if (!doomed.count(p)) removeChild(p, n);
        auto children = n->children;
        for (Node* c : children)
            if (!doomed.count(c)) removeChild(n, c);
    }
    // Children before parents.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        Node* n = *it;
        messages::nodeRemoved(n);
        n->alive = false;
        nameFreed(n);
        for (Node* p : n->parents) {
            auto& siblings = p->children;
            siblings.erase(std::remove(siblings.begin(), siblings.end(), n), siblings.end());
        }
        n->parents.clear();
        n->children.clear();
    }
}

MMatrix Scene::localMatrix(Node* node) const {
    if (!node->hasFn(MFn::kTransform)) return MMatrix();
    auto v = [&](const char* name) { return number(node, findAttr(node, name)); };
    double translate[3] = {v("tx"), v("ty"), v("tz")};
    double rotate[3] = {v("rx"), v("ry"), v("rz")};
    double scale[3] = {v("sx"), v("sy"), v("sz")};
    return composeMatrix(translate, rotate, scale, 1);
}

MMatrix Scene::worldMatrix(const Path& path) const {
    MMatrix m;
    for (auto it = path.rbegin(); it != path.rend(); ++it) m = m * localMatrix(*it);
    return m;
}

bool Scene::isVisible(const Path& path) const {
    for (Node* n : path) {
        if (n->hasFn(MFn::kWorld)) continue;
        if (number(n, findAttr(n, "v")) == 0) return false;
        if (number(n, findAttr(n, "ove")) != 0 && number(n, findAttr(n, "ovv")) == 0) return false;
    }
    return true;
}

const AttrDef* Scene::findAttr(const Node* node, const std::string& name) const {
    if (!node) return nullptr;
    for (const AttrDef* a : node->cls->attrs)
        if (a->longName == name || a->shortName == name) return a;
    for (const AttrDef* a : node->cls->extensions)
        if (a->longName == name || a->shortName == name) return a;
    return nullptr;
}

double Scene::number(const Node* node, const AttrDef* attr) const {
    if (!attr) return 0;
    auto it = node->numbers.find(attr);
    return it == node->numbers.end() ? attr->defaultNumber : it->second;
}

std::string Scene::string(const Node* node, const AttrDef* attr) const {
    if (!attr) return {};
    auto it = node->strings.find(attr);
    return it == node->strings.end() ? attr->defaultString : it->second;
}

static int matrixFlag(const std::string& shortName) {
    static const std::map<std::string, int> flags = {
        {"tx", 1 << 9}, {"ty", 1 << 10}, {"tz", 1 << 11}, {"rx", 1 << 6}, {"ry", 1 << 7}, {"rz", 1 << 8},
        {"sx", 1 << 0}, {"sy", 1 << 1}, {"sz", 1 << 2}};
    auto it = flags.find(shortName);
    return it == flags.end() ? 0 : it->second;
}

void Scene::fireDirty(Node* node, const AttrDef* attr) {
    for (const AttrDef* a = attr; a; a = a->parent) messages::nodeDirty(node, Plug{node, a});
}

void Scene::fireMatrixModified(Node* transform, int flags) { messages::worldMatrixModified(transform, flags); }

void Scene::setNumber(Node* node, const AttrDef* attr, double value) {
    node->numbers[attr] = value;
    fireDirty(node, attr);
    if (node->hasFn(MFn::kTransform)) {
        if (int flag = matrixFlag(attr->shortName)) fireMatrixModified(node, flag);
    }
}

void Scene::setNumbers(Node* node, const AttrDef* compound, const std::vector<double>& values) {
    int flags = 0;
    for (size_t i = 0; i < compound->children.size() && i < values.size(); ++i) {
        node->numbers[compound->children[i]] = values[i];
        messages::nodeDirty(node, Plug{node, compound->children[i]});
        flags |= matrixFlag(compound->children[i]->shortName);
    }
    fireDirty(node, compound);
    if (flags && node->hasFn(MFn::kTransform)) fireMatrixModified(node, flags);
}

void Scene::setString(Node* node, const AttrDef* attr, const std::string& value) {
    node->strings[attr] = value;
    fireDirty(node, attr);
}

void Scene::geometryChanged(Node* shape) {
    const AttrDef* in = findAttr(shape, shape->hasFn(MFn::kMesh) ? "inMesh" : "create");
    if (in) fireDirty(shape, in);
}

bool Scene::connect(const Plug& src, const Plug& dst) {
    for (const auto& c : connections_)
        if (c.first == src && c.second == dst) return false;
    messages::preConnection(src, dst, true);
    connections_.push_back({src, dst});
    return true;
}

bool Scene::disconnect(const Plug& src, const Plug& dst) {
    auto it = std::find_if(connections_.begin(), connections_.end(),
                           [&](const auto& c) { return c.first == src && c.second == dst; });
    if (it == connections_.end()) return false;
    messages::preConnection(src, dst, false);
    // The callback may have changed the list: look the connection up again.
    it = std::find_if(connections_.begin(), connections_.end(),
                      [&](const auto& c) { return c.first == src && c.second == dst; });
    if (it != connections_.end()) connections_.erase(it);
    return true;
}

std::vector<Plug> Scene::sources(const Plug& dst) const {
    std::vector<Plug> out;
    for (const auto& c : connections_)
        if (c.second == dst) out.push_back(c.first);
    return out;
}

std::vector<Plug> Scene::destinations(const Plug& src) const {
    std::vector<Plug> out;
    for (const auto& c : connections_)
        if (c.first == src) out.push_back(c.second);
    return out;
}

Node* Scene::shaderOf(Node* set) const {
    auto src = sources(Plug{set, findAttr(set, "surfaceShader")});
    return src.empty() ? nullptr : src.front().node;
}

void Scene::setMembers(Node* shape, int instance, std::vector<std::pair<Node*, std::vector<int>>>& out) const {
    out.clear();
    if (instance < 0 || instance >= static_cast<int>(shape->members.size())) return;
    const Membership& m = shape->members[instance];
    if (m.whole) {
        out.push_back({m.whole, {}});
        return;
    }
    for (size_t f = 0; f < m.faceSets.size(); ++f) {
        Node* set = m.faceSets[f];
        if (!set) continue;
        auto it = std::find_if(out.begin(), out.end(), [&](const auto& e) { return e.first == set; });
        if (it == out.end()) out.push_back({set, {static_cast<int>(f)}});
        else it->second.push_back(static_cast<int>(f));
    }
}

int Scene::memberIndex(Node* set) { return nextMember_[set]++; }

void Scene::assign(Node* set, Node* shape, int instance, const std::vector<int>& faces) {
    if (instance < 0 || instance >= static_cast<int>(shape->members.size())) return;
    Membership before = shape->members[instance];
    Membership& m = shape->members[instance];
    size_t faceCount = shape->mesh ? shape->mesh->faces.size() : 0;
    if (faces.empty() || faceCount == 0) {
        m.whole = set;
        m.faceSets.clear();
    } else {
        if (m.faceSets.size() != faceCount) {
            m.faceSets.assign(faceCount, m.whole);
            m.whole = nullptr;
        }
        for (int f : faces)
            if (f >= 0 && static_cast<size_t>(f) < faceCount) m.faceSets[f] = set;
    }
    rebuildSetConnections(shape, instance, before);
}

// Membership is held by connections from the instance's "instObjGroups" (whole object)
// or its "objectGroups" (faces) to the set's "dagSetMembers". A change breaks the
// instance's old connections and makes the new ones.
void Scene::rebuildSetConnections(Node* shape, int instance, const Membership& before) {
    const Membership& after = shape->members[instance];
    if (before.whole == after.whole && before.faceSets == after.faceSets) return;
    const AttrDef* iog = findAttr(shape, "iog");
    const AttrDef* og = findAttr(shape, "og");
    std::vector<std::pair<Plug, Plug>> old;
    for (const auto& c : connections_)
        if (c.first.node == shape && (c.first.attr == iog || c.first.attr == og) && c.first.index[0] == instance)
            old.push_back(c);
    for (const auto& [src, dst] : old) disconnect(src, dst);
    std::vector<std::pair<Node*, std::vector<int>>> groups;
    setMembers(shape, instance, groups);
    int group = 0;
    for (const auto& [set, faces] : groups) {
        const AttrDef* dsm = findAttr(set, "dsm");
        Plug dst{set, dsm, {memberIndex(set), -1}};
        Plug src = faces.empty() ? Plug{shape, iog, {instance, -1}} : Plug{shape, og, {instance, group++}};
        connect(src, dst);
    }
}

bool Scene::addExtension(const std::string& className, const AttrDef* attr) {
    NodeClass* cls = nodeClassMutable(className);
    if (!cls || !attr) return false;
    for (const AttrDef* a : cls->attrs)
        if (a->longName == attr->longName || a->shortName == attr->shortName) return false;
    for (const AttrDef* a : cls->extensions)
        if (a == attr || a->longName == attr->longName || a->shortName == attr->shortName) return false;
    cls->extensions.push_back(attr);
    const_cast<AttrDef*>(attr)->extension = true;
    return true;
}

bool Scene::removeExtension(const std::string& className, const AttrDef* attr) {
    NodeClass* cls = nodeClassMutable(className);
    if (!cls) return false;
    auto it = std::find(cls->extensions.begin(), cls->extensions.end(), attr);
    if (it == cls->extensions.end()) return false;
    cls->extensions.erase(it);
    return true;
}

void Scene::clear() {
    std::vector<Node*> doomed;
    for (const auto& n : nodes_)
        if (n->alive && !n->isDefault) doomed.push_back(n.get());
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) messages::nodeRemoved(*it);
    std::set<Node*> gone(doomed.begin(), doomed.end());
    for (Node* n : doomed) {
        n->alive = false;
        nameFreed(n);
        n->parents.clear();
        n->children.clear();
    }
    for (const auto& n : nodes_) {
        if (!n->alive) continue;
        std::erase_if(n->children, [&](Node* c) { return gone.count(c) > 0; });
        if (n.get() != world_) {
            n->numbers.clear();
            n->strings.clear();
        }
    }
    placeDefaultCameras();
    std::erase_if(connections_, [&](const auto& c) { return gone.count(c.first.node) || gone.count(c.second.node); });
    nextMember_.clear();
    fileName.clear();
}

} // namespace mayahost

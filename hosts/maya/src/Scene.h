#pragma once
// The scene behind the API: dependency nodes with attributes and connections, the DAG,
// meshes, shading-set membership. Every edit fires its messages (Messages.h).

#include <maya/MFn.h>
#include <maya/MMatrix.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace mayahost {

using Vec3 = std::array<double, 3>;

enum class AttrKind { Bool, Int, Double, Angle, Compound, String, Message };

struct AttrDef {
    std::string longName, shortName;
    AttrKind kind = AttrKind::Double;
    double defaultNumber = 0;
    std::string defaultString;
    bool storable = true;
    bool array = false;
    bool extension = false;
    const AttrDef* parent = nullptr;
    std::vector<const AttrDef*> children;
};

struct NodeClass {
    std::string name;
    std::vector<MFn::Type> types; // general to specific; the last is the apiType
    bool dag = false;
    std::vector<const AttrDef*> attrs;
    std::vector<const AttrDef*> extensions;
};

struct Node;

// A plug: an attribute of a node, with logical indices for array attributes.
struct Plug {
    Node* node = nullptr;
    const AttrDef* attr = nullptr;
    int index[2] = {-1, -1};
    bool operator==(const Plug& o) const {
        return node == o.node && attr == o.attr && index[0] == o.index[0] && index[1] == o.index[1];
    }
    std::string partialName(bool longNames, bool fullPath = false) const;
};

struct Mesh {
    std::vector<Vec3> points;
    std::vector<std::vector<int>> faces;             // point index per face-vertex
    std::vector<std::vector<Vec3>> normals;          // normal per face-vertex
    std::string uvSet;                               // empty name with no UV set…
    bool hasUVs = false;                             // …unless this is set (NURBS: empty name)
    std::vector<std::array<double, 2>> uvs;
    std::vector<std::vector<int>> uvIds;             // per face-vertex, -1 = none
    std::string colorSet;                            // empty = none
    std::vector<std::array<double, 4>> colors;       // per point
};

// Which shading set each face of one instance belongs to.
struct Membership {
    Node* whole = nullptr;          // whole-object member of this set
    std::vector<Node*> faceSets;    // otherwise per face (null = in no set)
};

struct Node {
    std::uint64_t serial = 0;
    std::string name;
    const NodeClass* cls = nullptr;
    bool alive = true;
    bool isDefault = false;
    std::map<const AttrDef*, double> numbers;
    std::map<const AttrDef*, std::string> strings;
    std::vector<Node*> parents;
    std::vector<Node*> children;
    std::shared_ptr<Mesh> mesh;             // meshes and the tessellation of NURBS surfaces
    int nurbsUVs = 0;
    std::vector<Membership> members;        // per instance, for meshes and NURBS surfaces
    std::map<double, double> keys;          // an animation curve's keys: time (frames) → value
    bool hasFn(MFn::Type type) const;
    MFn::Type apiType() const { return cls->types.back(); }
};

using Path = std::vector<Node*>; // below the world, top first

class Scene {
public:
    static Scene& get();

    Node* world() { return world_; }
    const NodeClass* nodeClass(const std::string& name) const;
    NodeClass* nodeClassMutable(const std::string& name);

    // Creates a node (a DAG node under `parent`, or under the world when null) and fires
    // node-added and child-added. The name gets a number when taken or ending in '#'.
    // `init` runs before the messages, so that callbacks see the node complete.
    Node* createNode(const std::string& type, const std::string& name, Node* parent = nullptr,
                     const std::function<void(Node*)>& init = {});
    // Deletes nodes and the DAG nodes below them that have no other parent.
    void deleteNodes(const std::vector<Node*>& nodes);
    Node* find(const std::string& name) const;
    std::vector<Node*> liveNodes() const;
    std::string uniqueName(const std::string& base) const;
    void rename(Node* node, const std::string& name);

    // DAG edits. addChild keeps the child's other parents when `instance` is set.
    void addChild(Node* parent, Node* child, bool instance);
    void removeChild(Node* parent, Node* child, bool recount = true);
    std::vector<Path> allPaths(Node* node) const;
    int instanceNumber(const Path& path) const;
    MMatrix localMatrix(Node* node) const;
    MMatrix worldMatrix(const Path& path) const;
    bool isVisible(const Path& path) const;

    // Attributes.
    const AttrDef* findAttr(const Node* node, const std::string& name) const;
    double number(const Node* node, const AttrDef* attr) const;
    std::string string(const Node* node, const AttrDef* attr) const;
    void setNumber(Node* node, const AttrDef* attr, double value);
    void setString(Node* node, const AttrDef* attr, const std::string& value);
    void setNumbers(Node* node, const AttrDef* compound, const std::vector<double>& values);
    void geometryChanged(Node* shape); // fires node-dirty for the shape's geometry

    // Connections (fire pre-connection before the change).
    bool connect(const Plug& src, const Plug& dst);
    bool disconnect(const Plug& src, const Plug& dst);
    std::vector<Plug> sources(const Plug& dst) const;
    std::vector<Plug> destinations(const Plug& src) const;
    const std::vector<std::pair<Plug, Plug>>& connections() const { return connections_; }

    // Shading sets. `faces` empty = the whole object.
    void assign(Node* set, Node* shape, int instance, const std::vector<int>& faces);
    void setMembers(Node* shape, int instance, std::vector<std::pair<Node*, std::vector<int>>>& out) const;
    Node* shaderOf(Node* set) const;

    // Extension attributes of a node class.
    bool addExtension(const std::string& className, const AttrDef* attr);
    bool removeExtension(const std::string& className, const AttrDef* attr);
    AttrDef* newAttribute(); // owned by the scene for the life of the process

    // Scene file state.
    void clear(); // removes every node that is not part of a new scene
    std::string fileName;

private:
    Scene();
    void defineClasses();
    void createDefaults();
    void placeDefaultCameras();
    void fireDirty(Node* node, const AttrDef* attr);
    void fireMatrixModified(Node* transform, int flags);
    void syncInstances(Node* node);
    void rebuildSetConnections(Node* shape, int instance, const Membership& before);
    int memberIndex(Node* set);

    std::map<std::string, std::unique_ptr<NodeClass>> classes_;
    std::vector<std::unique_ptr<AttrDef>> attrPool_;
    std::vector<std::unique_ptr<Node>> nodes_; // dead nodes stay, so handles can tell
    // Live nodes by name, and per name stem the lowest number that may be free (every
    // number below it is taken), so that naming stays cheap in large scenes.
    std::unordered_map<std::string, Node*> byName_;
    mutable std::unordered_map<std::string, int> lowestFree_;
    void nameTaken(Node* node);
    void nameFreed(Node* node);
    std::vector<std::pair<Plug, Plug>> connections_;
    std::map<Node*, int> nextMember_;
    Node* world_ = nullptr;
    std::uint64_t serial_ = 0;
};

} // namespace mayahost

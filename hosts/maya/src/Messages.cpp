#include "Messages.h"

#include "Bridge.h"
#include "Viewport.h"

#include <maya/MDGMessage.h>
#include <maya/MDagMessage.h>
#include <maya/MEventMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MSceneMessage.h>
#include <maya/MTimerMessage.h>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>

namespace mayahost::messages {
namespace {

// Every registration, with its ids by kind, and by kind and node for the messages that
// concern one node (node dirty, and world matrix for every node on the watched path), so
// that delivering a message costs what it reaches, not what is registered. One object,
// so that all of it lives as long as the first registration needs it.
using IdSet = std::set<MCallbackId>;
struct Callbacks {
    std::map<MCallbackId, Registration> table;
    std::map<Kind, IdSet> byKind;
    std::map<std::pair<Kind, Node*>, IdSet> byNode;
};
Callbacks& callbacks() {
    static Callbacks all;
    return all;
}
std::map<MCallbackId, Registration>& table() { return callbacks().table; }
std::map<Kind, IdSet>& byKind() { return callbacks().byKind; }
std::map<std::pair<Kind, Node*>, IdSet>& byNode() { return callbacks().byNode; }
MCallbackId nextId = 1;

std::vector<Node*> indexNodes(const Registration& r) {
    if (r.kind == Kind::NodeDirtyPlug || r.kind == Kind::NodeDirty) return {r.node};
    if (r.kind == Kind::WorldMatrix) return std::vector<Node*>(r.path.begin(), r.path.end());
    return {};
}

// Ids of one kind, in registration order, taken before delivery starts.
std::vector<MCallbackId> snapshot(Kind kind) {
    const IdSet& ids = byKind()[kind];
    return std::vector<MCallbackId>(ids.begin(), ids.end());
}

std::vector<MCallbackId> snapshot(Kind kind, Node* node) {
    auto it = byNode().find({kind, node});
    if (it == byNode().end()) return {};
    return std::vector<MCallbackId>(it->second.begin(), it->second.end());
}

Registration* lookup(MCallbackId id) {
    auto it = table().find(id);
    return it == table().end() ? nullptr : &it->second;
}

bool typeMatches(const Registration& r, Node* node) {
    if (r.nodeType.empty() || r.nodeType == "dependNode") return true;
    if (node->cls->name == r.nodeType) return true;
    if (r.nodeType == "dagNode") return node->hasFn(MFn::kDagNode);
    if (r.nodeType == "shape") return node->hasFn(MFn::kShape);
    if (r.nodeType == "light") return node->hasFn(MFn::kLight);
    return false;
}

void deliverNode(Kind kind, Node* node) {
    for (MCallbackId id : snapshot(kind)) {
        Registration* r = lookup(id);
        if (!r || !typeMatches(*r, node)) continue;
        MObject object = Bridge::object(node);
        reinterpret_cast<MMessage::MNodeFunction>(r->func)(object, r->client);
    }
}

void deliverParent(Kind kind, const Path& child, const Path& parent) {
    for (MCallbackId id : snapshot(kind)) {
        Registration* r = lookup(id);
        if (!r) continue;
        MDagPath c = Bridge::path(child), p = Bridge::path(parent);
        reinterpret_cast<MMessage::MParentChildFunction>(r->func)(c, p, r->client);
    }
}

} // namespace

std::size_t registeredCount() { return table().size(); }

static const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::NodeAdded: return "node added";
    case Kind::NodeRemoved: return "node removed";
    case Kind::ChildAdded: return "child added";
    case Kind::ChildRemoved: return "child removed";
    case Kind::NodeDirtyPlug: return "node dirty (plug)";
    case Kind::NodeDirty: return "node dirty";
    case Kind::WorldMatrix: return "world matrix modified";
    case Kind::PreConnection: return "pre-connection";
    case Kind::Scene: return "scene";
    case Kind::Timer: return "timer";
    case Kind::Event: return "event";
    }
    return "unknown";
}

std::vector<std::string> registeredFrom(const void* base) {
    std::vector<std::string> found;
    for (const auto& [id, r] : table()) {
        Dl_info info{};
        if (!dladdr(r.func, &info) || info.dli_fbase != base) continue;
        std::string text = std::string(kindName(r.kind)) + " callback " + std::to_string(id);
        if (!r.eventName.empty()) text += " (\"" + r.eventName + "\")";
        found.push_back(text);
    }
    return found;
}

double idleClock() {
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

MCallbackId add(Registration registration) {
    MCallbackId id = nextId++;
    byKind()[registration.kind].insert(id);
    for (Node* node : indexNodes(registration)) byNode()[{registration.kind, node}].insert(id);
    table()[id] = std::move(registration);
    return id;
}

bool remove(MCallbackId id) {
    auto it = table().find(id);
    if (it == table().end()) return false;
    byKind()[it->second.kind].erase(id);
    for (Node* node : indexNodes(it->second)) {
        auto entry = byNode().find({it->second.kind, node});
        if (entry == byNode().end()) continue;
        entry->second.erase(id);
        if (entry->second.empty()) byNode().erase(entry);
    }
    table().erase(it);
    return true;
}

void nodeAdded(Node* node) {
    vp2::sceneEdited("node " + node->name + " created");
    deliverNode(Kind::NodeAdded, node);
}
void nodeRemoved(Node* node) {
    vp2::sceneEdited("node " + node->name + " deleted");
    deliverNode(Kind::NodeRemoved, node);
}
void childAdded(const Path& child, const Path& parent) {
    vp2::sceneEdited("DAG child added");
    deliverParent(Kind::ChildAdded, child, parent);
}
void childRemoved(const Path& child, const Path& parent) {
    vp2::sceneEdited("DAG child removed");
    deliverParent(Kind::ChildRemoved, child, parent);
}

void nodeDirty(Node* node, const Plug& plug) {
    vp2::sceneEdited("plug " + node->name + "." + (plug.attr ? plug.attr->shortName : std::string()) + " set");
    for (Kind kind : {Kind::NodeDirtyPlug, Kind::NodeDirty}) {
        for (MCallbackId id : snapshot(kind, node)) {
            Registration* r = lookup(id);
            if (!r || r->node != node) continue;
            MObject object = Bridge::object(node);
            if (kind == Kind::NodeDirtyPlug) {
                MPlug p = Bridge::plug(plug);
                reinterpret_cast<MMessage::MNodePlugFunction>(r->func)(object, p, r->client);
            } else {
                reinterpret_cast<MMessage::MNodeFunction>(r->func)(object, r->client);
            }
        }
    }
}

void worldMatrixModified(Node* transform, int flags) {
    for (MCallbackId id : snapshot(Kind::WorldMatrix, transform)) {
        Registration* r = lookup(id);
        if (!r || std::find(r->path.begin(), r->path.end(), transform) == r->path.end()) continue;
        // The path must still exist: a path that was cut off the DAG no longer moves.
        bool attached = true;
        for (size_t i = 0; i < r->path.size() && attached; ++i) {
            Node* parent = i == 0 ? Scene::get().world() : r->path[i - 1];
            const auto& kids = parent->children;
            attached = std::find(kids.begin(), kids.end(), r->path[i]) != kids.end();
        }
        if (!attached) continue;
        MObject object = Bridge::object(transform);
        auto modified = static_cast<MDagMessage::MatrixModifiedFlags>(flags);
        reinterpret_cast<MDagMessage::MWorldMatrixModifiedFunction>(r->func)(object, modified, r->client);
    }
}

void preConnection(const Plug& src, const Plug& dst, bool made) {
    vp2::sceneEdited(std::string(made ? "connection made" : "connection broken") + " to " + dst.node->name);
    for (MCallbackId id : snapshot(Kind::PreConnection)) {
        Registration* r = lookup(id);
        if (!r) continue;
        MPlug s = Bridge::plug(src), d = Bridge::plug(dst);
        reinterpret_cast<MMessage::MPlugFunction>(r->func)(s, d, made, r->client);
    }
}

void scene(int message) {
    vp2::sceneEdited("scene replaced");
    for (MCallbackId id : snapshot(Kind::Scene)) {
        Registration* r = lookup(id);
        if (!r || r->sceneMessage != message) continue;
        reinterpret_cast<MMessage::MBasicFunction>(r->func)(r->client);
    }
}

void event(const std::string& name) {
    for (MCallbackId id : snapshot(Kind::Event)) {
        Registration* r = lookup(id);
        if (!r || r->eventName != name) continue;
        reinterpret_cast<MMessage::MBasicFunction>(r->func)(r->client);
    }
}

bool hasTimers() { return !snapshot(Kind::Timer).empty(); }

double nextTimerDue() {
    double due = -1;
    for (const auto& [id, r] : table())
        if (r.kind == Kind::Timer && (due < 0 || r.next < due)) due = r.next;
    return due;
}

double runTimers(double now) {
    for (MCallbackId id : snapshot(Kind::Timer)) {
        Registration* r = lookup(id);
        if (!r || r->next > now) continue;
        float elapsed = static_cast<float>(now - r->last);
        float last = static_cast<float>(r->last);
        r->last = now;
        r->next = now + r->period;
        reinterpret_cast<MMessage::MElapsedTimeFunction>(r->func)(elapsed, last, r->client);
    }
    return nextTimerDue();
}

} // namespace mayahost::messages

using namespace mayahost;
using mayahost::messages::Kind;
using mayahost::messages::Registration;

static Registration make(Kind kind, void* func, void* client, Node* node = nullptr) {
    Registration r;
    r.kind = kind;
    r.func = func;
    r.client = client;
    r.node = node;
    return r;
}

static MCallbackId registerOrFail(Registration r, MStatus* status) {
    if (!r.func) {
        if (status) *status = MS::kInvalidParameter;
        return 0;
    }
    if (status) *status = MS::kSuccess;
    return messages::add(std::move(r));
}

MStatus MMessage::removeCallback(MCallbackId id) { return messages::remove(id) ? MS::kSuccess : MS::kFailure; }

MCallbackId MNodeMessage::addNodeDirtyPlugCallback(MObject& node, MNodePlugFunction func, void* clientData,
                                                  MStatus* status) {
    Node* n = Bridge::liveNode(node);
    if (!n) {
        if (status) *status = MS::kInvalidParameter;
        return 0;
    }
    return registerOrFail(make(Kind::NodeDirtyPlug, reinterpret_cast<void*>(func), clientData, n), status);
}

MCallbackId MNodeMessage::addNodeDirtyCallback(MObject& node, MNodeFunction func, void* clientData, MStatus* status) {
    Node* n = Bridge::liveNode(node);
    if (!n) {
        if (status) *status = MS::kInvalidParameter;
        return 0;
    }
    return registerOrFail(make(Kind::NodeDirty, reinterpret_cast<void*>(func), clientData, n), status);
}

MCallbackId MDagMessage::addChildAddedCallback(MParentChildFunction func, void* clientData, MStatus* status) {
    return registerOrFail(make(Kind::ChildAdded, reinterpret_cast<void*>(func), clientData), status);
}

MCallbackId MDagMessage::addChildRemovedCallback(MParentChildFunction func, void* clientData, MStatus* status) {
    return registerOrFail(make(Kind::ChildRemoved, reinterpret_cast<void*>(func), clientData), status);
}

MCallbackId MDagMessage::addWorldMatrixModifiedCallback(MDagPath& target, MWorldMatrixModifiedFunction func,
                                                        void* clientData, MStatus* status) {
    if (!target.isValid() || target.length() == 0) {
        if (status) *status = MS::kInvalidParameter;
        return 0;
    }
    Registration r = make(Kind::WorldMatrix, reinterpret_cast<void*>(func), clientData);
    r.path = Bridge::path(target);
    return registerOrFail(std::move(r), status);
}

MCallbackId MDGMessage::addNodeAddedCallback(MNodeFunction func, const MString& nodeType, void* clientData,
                                             MStatus* status) {
    Registration r = make(Kind::NodeAdded, reinterpret_cast<void*>(func), clientData);
    r.nodeType = nodeType.asChar();
    return registerOrFail(std::move(r), status);
}

MCallbackId MDGMessage::addNodeRemovedCallback(MNodeFunction func, const MString& nodeType, void* clientData,
                                               MStatus* status) {
    Registration r = make(Kind::NodeRemoved, reinterpret_cast<void*>(func), clientData);
    r.nodeType = nodeType.asChar();
    return registerOrFail(std::move(r), status);
}

MCallbackId MDGMessage::addPreConnectionCallback(MPlugFunction func, void* clientData, MStatus* status) {
    return registerOrFail(make(Kind::PreConnection, reinterpret_cast<void*>(func), clientData), status);
}

MCallbackId MSceneMessage::addCallback(Message message, MBasicFunction func, void* clientData, MStatus* status) {
    Registration r = make(Kind::Scene, reinterpret_cast<void*>(func), clientData);
    r.sceneMessage = message;
    return registerOrFail(std::move(r), status);
}

MCallbackId MTimerMessage::addTimerCallback(float period, MElapsedTimeFunction func, void* clientData,
                                            MStatus* status) {
    if (period <= 0) {
        if (status) *status = MS::kInvalidParameter;
        return 0;
    }
    Registration r = make(Kind::Timer, reinterpret_cast<void*>(func), clientData);
    r.period = period;
    r.last = messages::idleClock();
    r.next = r.last + period;
    return registerOrFail(std::move(r), status);
}

// The one event the host raises; others are refused, as Maya refuses an unknown event name.
MCallbackId MEventMessage::addEventCallback(const MString& eventName, MMessage::MBasicFunction func,
                                            void* clientData, MStatus* status) {
    std::string name = eventName.asChar();
    if (name != "timeChanged") {
        if (status) *status = MS::kInvalidParameter;
        return 0;
    }
    Registration r = make(Kind::Event, reinterpret_cast<void*>(func), clientData);
    r.eventName = name;
    return registerOrFail(std::move(r), status);
}

#pragma once
// The registry of mirror objects: two 512-bucket hash tables (shapes by node, instances
// by DAG path), the change lists that say what the next request carries, and the
// operations that the Maya callbacks and the frame driver call.

#include "MayaObjects.h"

#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MObject.h>

#include <cstdint>
#include <string>
#include <unordered_set>

namespace kvt {
class LinkRequester;
class SharedRegion;
struct Reply;
} // namespace kvt

// The shape types that are mirrored; every DAG path ending at one is an instance.
bool isMirroredShapeType(MFn::Type type);

class MayaSceneRegistry {
public:
    static constexpr int kBuckets = 512;

    MayaSceneRegistry();
    ~MayaSceneRegistry();

    // The process-wide registry of the plug-in: made by initializePlugin (start; a second
    // start returns the one there is), destroyed by uninitializePlugin (stop), so that its
    // attribute and every callback it registered are gone when Maya unloads the library.
    static MayaSceneRegistry& start();
    static void stop();
    static bool isStarted();
    // The started registry.
    static MayaSceneRegistry& instance();

    template <class Shape> Shape* getOrCreateShape(MObject node);
    MayaSceneObject* createInstance(const MDagPath& path);
    void addSubtree(MDagPath path);
    void removeSubtree(MDagPath path);
    MayaSceneObject* findInstance(const MDagPath& path);
    MayaShape* findShape(const MObjectHandle& node);
    void removeShape(MayaShape* shape);
    void removeInstance(MayaSceneObject* instance);
    void resetScene();
    void resync();
    void disconnect();

    // Appends one record per queued object to the request (`request` holds the request
    // header at offset 0); `response` serves as scratch for mesh extraction. Returns false
    // when some record could not be written (a view that cannot grow): the link has then
    // been disconnected, so that the next claim sends the whole scene again and nothing
    // of this frame is lost; the caller ends the frame without publishing.
    bool writeChanges(kvt::SharedRegion& request, kvt::SharedRegion& response, std::uint64_t newMask);

    // Stores the remote handles of a reply. Only objects that the last request sent as
    // new are written to; entries naming anything else are ignored.
    void applyHandles(const kvt::Reply& reply);

    // Marks, each with its append to a change list. Deleted objects are never marked.
    void queueShape(MayaShape* shape);
    void markShapeVisibility(MayaShape* shape);
    void markMatrix(MayaSceneObject* instance);
    void markVisibility(MayaSceneObject* instance);
    void markMaterials(MayaSceneObject* instance);

    // Registers the scene callbacks and scans the scene, once.
    void registerCallbacks();
    // Removes every callback the plug-in registered and destroys every mirror object.
    void shutdown();

    // Every live instance and shape, for walks.
    template <class F> void forEachInstance(F&& f);
    template <class F> void forEachShape(F&& f);

    // The link the frame driver uses; set by the driver, null while there is none.
    kvt::LinkRequester* link = nullptr;
    // The response arena, scratch space for mesh extraction while writeChanges runs.
    kvt::SharedRegion* scratch = nullptr;
    // Work the viewport leaves for the idle timer: scene edits that may not happen while
    // Viewport 2.0 draws. Null while there is none to run.
    void (*idleWork)() = nullptr;
    // While a material assignment's command runs: the name a new shading engine is tagged with.
    const std::u16string* assigningMaterial = nullptr;

    MObject materialAttribute;
    MCallbackId timerCallback = 0;
    ShapeTableNode shapeTable[kBuckets];
    ShapeListNode dirtyShapes, deletedShapes;
    InstanceTableNode transformTable[kBuckets];
    InstanceListNode dirtyTransforms, deletedTransforms;
    std::uint64_t typeMask = ~0ull;
    std::uint8_t callbacksRegistered = 0;
    std::uint64_t lastDriverTick = 0;

    // Scene callbacks registered once by registerCallbacks, and the transforms watched.
    std::vector<MCallbackId> sceneCallbacks;

private:
    static unsigned shapeKey(const MObjectHandle& node);
    static unsigned instanceKey(const MDagPath& path);
    void insertShape(MayaShape* shape);
    // Removes a shape none of whose instances remain.
    void dropShape(MayaShape* shape);
    template <class Node> static bool isHead(Node* node, Node* heads);

    std::unordered_set<const MayaBase*> sentAsNew_;
    friend class MayaShape;
    friend class MayaSceneObject;
};

// ---- templates ---------------------------------------------------------------------------

template <class Node> bool MayaSceneRegistry::isHead(Node* node, Node* heads)
{
    return node >= heads && node < heads + kBuckets;
}

template <class Shape> Shape* MayaSceneRegistry::getOrCreateShape(MObject node)
{
    MObjectHandle handle(node);
    if (MayaShape* found = findShape(handle))
        if (auto* wanted = dynamic_cast<Shape*>(found))
            return wanted;
    auto* shape = new Shape;
    shape->node = handle;
    insertShape(shape);
    dirtyShapes.insertBefore(static_cast<ShapeListNode*>(shape));
    shape->watch(node);
    return shape;
}

template <class F> void MayaSceneRegistry::forEachInstance(F&& f)
{
    // Walks the ring of heads once, skipping them; `next` is taken first so that f may
    // remove the instance it is given.
    for (InstanceTableNode* n = transformTable[0].next; n != &transformTable[0];) {
        InstanceTableNode* next = n->next;
        if (!isHead(n, transformTable))
            f(n->object());
        n = next;
    }
}

template <class F> void MayaSceneRegistry::forEachShape(F&& f)
{
    for (ShapeTableNode* n = shapeTable[0].next; n != &shapeTable[0];) {
        ShapeTableNode* next = n->next;
        if (!isHead(n, shapeTable))
            f(n->object());
        n = next;
    }
}

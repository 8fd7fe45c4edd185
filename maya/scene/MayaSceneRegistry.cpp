#include "MayaSceneRegistry.h"

#include "MaterialTag.h"
#include "SceneCallbacks.h"

#include "link/Headers.h"
#include "link/Link.h"
#include "link/Platform.h"
#include "link/RecordWriter.h"
#include "link/ResponsePayload.h"

#include <maya/MFn.h>

namespace {

template <class Node> void chainHeads(Node (&heads)[MayaSceneRegistry::kBuckets])
{
    for (int i = 1; i < MayaSceneRegistry::kBuckets; ++i)
        heads[i - 1].insertAfter(&heads[i]);
}

} // namespace

bool isMirroredShapeType(MFn::Type type)
{
    switch (type) {
    case MFn::kNurbsSurface:
    case MFn::kMesh:
    case MFn::kAmbientLight:
    case MFn::kDirectionalLight:
    case MFn::kPointLight:
    case MFn::kSpotLight: return true;
    default: return false;
    }
}

MayaSceneRegistry::MayaSceneRegistry()
{
    chainHeads(shapeTable);
    chainHeads(transformTable);
    materialAttribute = createMaterialAttribute();
    lastDriverTick = kvt::platform::tickCountMilliseconds();
    timerCallback = registerIdleRefresh(*this);
}

MayaSceneRegistry::~MayaSceneRegistry() { shutdown(); }

void MayaSceneRegistry::shutdown()
{
    if (timerCallback) {
        MMessage::removeCallback(timerCallback);
        timerCallback = 0;
    }
    for (MCallbackId id : sceneCallbacks)
        MMessage::removeCallback(id);
    sceneCallbacks.clear();
    callbacksRegistered = 0;
    // Mirror objects take their own callbacks with them.
    forEachInstance([](MayaSceneObject* instance) { delete instance; });
    forEachShape([](MayaShape* shape) { delete shape; });
    deletedTransforms.detach();
    deletedShapes.detach();
    dirtyTransforms.detach();
    dirtyShapes.detach();
    sentAsNew_.clear();
    if (!materialAttribute.isNull()) {
        removeMaterialAttribute(materialAttribute);
        materialAttribute = MObject();
    }
}

unsigned MayaSceneRegistry::shapeKey(const MObjectHandle& node) { return node.hashCode() & 0x1FF; }

unsigned MayaSceneRegistry::instanceKey(const MDagPath& path)
{
    // Every node of the path contributes, so instances of one shape spread over buckets.
    MDagPath walk(path);
    unsigned key = 0;
    while (walk.length() > 0) {
        key ^= MObjectHandle(walk.node()).hashCode();
        walk.pop();
    }
    return key & 0x1FF;
}

void MayaSceneRegistry::insertShape(MayaShape* shape)
{
    shapeTable[shapeKey(shape->node)].insertAfter(static_cast<ShapeTableNode*>(shape));
}

MayaShape* MayaSceneRegistry::findShape(const MObjectHandle& node)
{
    ShapeTableNode* head = &shapeTable[shapeKey(node)];
    // A deleted shape only waits for its deletion record: it is never found again, so a
    // node that comes back (an undo) or a new node at a freed address gets a fresh shape.
    for (ShapeTableNode* n = head->next; !isHead(n, shapeTable); n = n->next)
        if (n->object()->node == node && !n->object()->deleted)
            return n->object();
    return nullptr;
}

MayaSceneObject* MayaSceneRegistry::findInstance(const MDagPath& path)
{
    InstanceTableNode* head = &transformTable[instanceKey(path)];
    for (InstanceTableNode* n = head->next; !isHead(n, transformTable); n = n->next)
        if (n->object()->path == path && !n->object()->deleted)
            return n->object();
    return nullptr;
}

MayaSceneObject* MayaSceneRegistry::createInstance(const MDagPath& path)
{
    auto* instance = new MayaSceneObject;
    instance->path = path;
    watchInstance(*instance);
    transformTable[instanceKey(path)].insertAfter(static_cast<InstanceTableNode*>(instance));
    dirtyTransforms.insertBefore(static_cast<InstanceListNode*>(instance));
    return instance;
}

void MayaSceneRegistry::addSubtree(MDagPath path)
{
    MFn::Type type = path.apiType();
    MayaShape* shape = nullptr;
    MObject node = path.node();
    switch (type) {
    case MFn::kNurbsSurface: shape = getOrCreateShape<MayaNurbsSurface>(node); break;
    case MFn::kMesh: shape = getOrCreateShape<MayaModel>(node); break;
    case MFn::kAmbientLight: shape = getOrCreateShape<MayaAmbientLight>(node); break;
    case MFn::kDirectionalLight: shape = getOrCreateShape<MayaDirectionalLight>(node); break;
    case MFn::kPointLight: shape = getOrCreateShape<MayaPointLight>(node); break;
    case MFn::kSpotLight: shape = getOrCreateShape<MayaSpotLight>(node); break;
    default: break;
    }
    if (shape) {
        MayaSceneObject* instance = createInstance(path);
        instance->shape = shape;
        instance->rotateAsLight =
            (type == MFn::kDirectionalLight || type == MFn::kPointLight || type == MFn::kSpotLight) ? 1 : 0;
    }
    unsigned children = path.childCount();
    for (unsigned i = 0; i < children; ++i) {
        MDagPath child(path);
        child.push(path.child(i));
        addSubtree(child);
    }
}

void MayaSceneRegistry::removeSubtree(MDagPath path)
{
    // Ambient lights are included: their instances must go with their DAG paths too.
    if (isMirroredShapeType(path.apiType()))
        if (MayaSceneObject* instance = findInstance(path))
            removeInstance(instance);
    unsigned children = path.childCount();
    for (unsigned i = 0; i < children; ++i) {
        MDagPath child(path);
        child.push(path.child(i));
        removeSubtree(child);
    }
}

void MayaSceneRegistry::removeInstance(MayaSceneObject* instance)
{
    if (instance->deleted)
        return;
    sentAsNew_.erase(instance);
    if (instance->remoteHandle == 0) {
        delete instance;
        return;
    }
    instance->deleted = 1;
    deletedTransforms.insertBefore(static_cast<InstanceListNode*>(instance));
}

void MayaSceneRegistry::removeShape(MayaShape* shape)
{
    if (shape->deleted)
        return;
    // No instance may outlive its shape: the ones still showing it go first (their
    // deletion records precede the shape's).
    forEachInstance([&](MayaSceneObject* instance) {
        if (instance->shape == shape) {
            instance->shape = nullptr;
            removeInstance(instance);
        }
    });
    dropShape(shape);
}

void MayaSceneRegistry::dropShape(MayaShape* shape)
{
    sentAsNew_.erase(shape);
    if (shape->remoteHandle == 0) {
        delete shape;
        return;
    }
    shape->deleted = 1;
    deletedShapes.insertBefore(static_cast<ShapeListNode*>(shape));
}

void MayaSceneRegistry::resetScene()
{
    // Every instance goes, so no shape needs the search for its instances: linear in
    // the scene, where removing shape by shape would cost shapes × instances.
    forEachInstance([&](MayaSceneObject* instance) {
        instance->shape = nullptr;
        removeInstance(instance);
    });
    forEachShape([&](MayaShape* shape) {
        if (!shape->deleted)
            dropShape(shape);
    });
}

void MayaSceneRegistry::resync()
{
    while (deletedTransforms.linked())
        delete static_cast<InstanceListNode*>(deletedTransforms.next)->object();
    while (deletedShapes.linked())
        delete static_cast<ShapeListNode*>(deletedShapes.next)->object();
    // The other side starts from nothing: everything goes again in full, visibility and
    // materials too, or hidden objects would reappear and assignments be lost.
    forEachShape([&](MayaShape* shape) {
        shape->remoteHandle = 0;
        shape->visibilityDirty = 1;
        dirtyShapes.insertBefore(static_cast<ShapeListNode*>(shape));
    });
    forEachInstance([&](MayaSceneObject* instance) {
        instance->matrixDirty = 1;
        instance->visibilityDirty = 1;
        instance->materialsDirty = 1;
        instance->remoteHandle = 0;
        dirtyTransforms.insertBefore(static_cast<InstanceListNode*>(instance));
    });
    sentAsNew_.clear();
}

void MayaSceneRegistry::disconnect()
{
    if (link)
        link->disconnect(); // closes both regions, then runs resync
    else
        resync();
}

void MayaSceneRegistry::queueShape(MayaShape* shape)
{
    if (!shape->deleted)
        dirtyShapes.insertBefore(static_cast<ShapeListNode*>(shape));
}

void MayaSceneRegistry::markShapeVisibility(MayaShape* shape)
{
    if (shape->deleted)
        return;
    shape->visibilityDirty = 1;
    queueShape(shape);
}

void MayaSceneRegistry::markMatrix(MayaSceneObject* instance)
{
    if (instance->deleted)
        return;
    instance->matrixDirty = 1;
    dirtyTransforms.insertBefore(static_cast<InstanceListNode*>(instance));
}

void MayaSceneRegistry::markVisibility(MayaSceneObject* instance)
{
    if (instance->deleted)
        return;
    instance->visibilityDirty = 1;
    dirtyTransforms.insertBefore(static_cast<InstanceListNode*>(instance));
}

void MayaSceneRegistry::markMaterials(MayaSceneObject* instance)
{
    if (instance->deleted)
        return;
    instance->matrixDirty = 1;
    instance->materialsDirty = 1;
    dirtyTransforms.insertBefore(static_cast<InstanceListNode*>(instance));
}

bool MayaSceneRegistry::writeChanges(kvt::SharedRegion& request, kvt::SharedRegion& response, std::uint64_t newMask)
{
    kvt::RecordWriter writer(request);
    scratch = &response;
    sentAsNew_.clear();
    std::uint64_t changed = typeMask ^ newMask;
    typeMask = newMask;
    if (changed)
        forEachShape([&](MayaShape* shape) {
            if (!shape->deleted) {
                shape->visibilityDirty = 1;
                dirtyShapes.insertBefore(static_cast<ShapeListNode*>(shape));
            }
        });

    // Shapes first, so that a new shape's record precedes the instances naming it; then
    // instances; then deletions, instances before their shapes. Each object leaves its
    // list before its record is written (a deleted one is destroyed by writing it).
    while (dirtyShapes.linked()) {
        MayaShape* shape = static_cast<ShapeListNode*>(dirtyShapes.next)->object();
        static_cast<ShapeListNode*>(shape)->unlink();
        if (shape->remoteHandle == 0)
            sentAsNew_.insert(shape);
        shape->writeRecord(writer, changed);
    }
    while (dirtyTransforms.linked()) {
        MayaSceneObject* instance = static_cast<InstanceListNode*>(dirtyTransforms.next)->object();
        static_cast<InstanceListNode*>(instance)->unlink();
        if (instance->remoteHandle == 0)
            sentAsNew_.insert(instance);
        instance->writeRecord(writer);
    }
    while (deletedTransforms.linked())
        static_cast<InstanceListNode*>(deletedTransforms.next)->object()->writeRecord(writer);
    while (deletedShapes.linked())
        static_cast<ShapeListNode*>(deletedShapes.next)->object()->writeRecord(writer, changed);
    scratch = nullptr;
    if (writer.complete())
        return true;
    // The lists have been drained and the deleted objects destroyed all the same; a new
    // session makes the other side drop what it has and take the whole scene afresh.
    disconnect();
    return false;
}

void MayaSceneRegistry::applyHandles(const kvt::Reply& reply)
{
    for (std::uint32_t i = 0; i < reply.handleCount; ++i) {
        kvt::HandleEntry entry = reply.handle(i);
        auto* object = reinterpret_cast<MayaBase*>(static_cast<std::uintptr_t>(entry.key));
        // Only keys this process sent as new in the request being answered are addresses
        // of live objects; anything else from the other process is not followed.
        if (entry.remoteHandle == 0 || sentAsNew_.erase(object) == 0)
            continue;
        object->remoteHandle = entry.remoteHandle;
    }
    sentAsNew_.clear();
}

namespace {
// Lives from initializePlugin to uninitializePlugin, never from the library's static
// construction to its static destruction: Maya requires a plug-in to have removed every
// callback when uninitializePlugin returns.
MayaSceneRegistry* theRegistry = nullptr;
} // namespace

MayaSceneRegistry& MayaSceneRegistry::start()
{
    if (!theRegistry)
        theRegistry = new MayaSceneRegistry;
    return *theRegistry;
}

void MayaSceneRegistry::stop()
{
    delete theRegistry;
    theRegistry = nullptr;
}

bool MayaSceneRegistry::isStarted() { return theRegistry != nullptr; }

MayaSceneRegistry& MayaSceneRegistry::instance() { return *theRegistry; }

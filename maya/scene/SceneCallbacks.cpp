#include "SceneCallbacks.h"

#include "MaterialTag.h"
#include "MayaSceneRegistry.h"

#include "link/Headers.h"
#include "link/Link.h"
#include "link/Platform.h"
#include "link/RelLink.h"

#include <maya/M3dView.h>
#include <maya/MDGMessage.h>
#include <maya/MDagMessage.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MEventMessage.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MItDag.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MNodeMessage.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MSceneMessage.h>
#include <maya/MString.h>
#include <maya/MTimerMessage.h>

#include <unordered_map>
#include <utility>

namespace {

MayaSceneRegistry& registryOf(void* clientData) { return *static_cast<MayaSceneRegistry*>(clientData); }

bool isVisibilityPlug(const MPlug& plug)
{
    MString name = plug.partialName(false, false, false, false, false, false);
    return name == "v" || name == "do";
}

void visibilityWalk(MayaSceneRegistry& registry, const MDagPath& transform)
{
    unsigned children = transform.childCount();
    for (unsigned i = 0; i < children; ++i) {
        MDagPath child(transform);
        child.push(transform.child(i));
        MFn::Type type = child.apiType();
        if (type == MFn::kTransform)
            visibilityWalk(registry, child);
        else if (isMirroredShapeType(type))
            if (MayaSceneObject* instance = registry.findInstance(child))
                registry.markVisibility(instance);
    }
}

void idleRefresh(float, float, void* clientData)
{
    MayaSceneRegistry& registry = registryOf(clientData);
    // The edits the last frame left for after it (a material assignment), first.
    if (registry.idleWork)
        registry.idleWork();
    if (kvt::platform::tickCountMilliseconds() < registry.lastDriverTick + 40)
        return;
    // Only views that Mirror draws need the link polled; Maya's own renderer is left idle.
    const unsigned views = M3dView::numberOf3dViews();
    for (unsigned i = 0; i < views; ++i) {
        M3dView view;
        if (M3dView::get3dView(i, view) && view.renderOverrideName() == kMirrorOverrideName)
            view.refresh(false, true);
    }
}

void sceneReset(void* clientData) { registryOf(clientData).resetScene(); }

void transformDirty(MObject& node, MPlug& plug, void* clientData)
{
    if (!isVisibilityPlug(plug))
        return;
    MDagPathArray paths;
    MFnDagNode(node).getAllPaths(paths);
    for (unsigned i = 0; i < paths.length(); ++i)
        visibilityWalk(registryOf(clientData), paths[i]);
}

void watchTransform(MayaSceneRegistry& registry, MObject node)
{
    registry.sceneCallbacks.push_back(MNodeMessage::addNodeDirtyPlugCallback(node, transformDirty, &registry));
}

// A shading engine made while an assignment from Unreal runs takes its name.
void tagIfAssigning(MayaSceneRegistry& registry, MObject& node)
{
    if (registry.assigningMaterial)
        tagShadingEngine(node, registry.materialAttribute, *registry.assigningMaterial);
}

void nodeAdded(MObject& node, void* clientData)
{
    MayaSceneRegistry& registry = registryOf(clientData);
    if (node.hasFn(MFn::kTransform))
        watchTransform(registry, node);
    if (node.hasFn(MFn::kShadingEngine))
        tagIfAssigning(registry, node);
    // Directional, point and ambient lights get their objects when childAdded reaches them.
    switch (node.apiType()) {
    case MFn::kMesh: registry.getOrCreateShape<MayaModel>(node); break;
    case MFn::kNurbsSurface: registry.getOrCreateShape<MayaNurbsSurface>(node); break;
    case MFn::kSpotLight: registry.getOrCreateShape<MayaSpotLight>(node); break;
    default: break;
    }
}

void nodeRemoved(MObject& node, void* clientData)
{
    MayaSceneRegistry& registry = registryOf(clientData);
    if (MayaShape* shape = registry.findShape(MObjectHandle(node)))
        registry.removeShape(shape);
}

void connectionChange(MPlug& source, MPlug& destination, bool, void* clientData)
{
    MayaSceneRegistry& registry = registryOf(clientData);
    MObject to = destination.node();
    MObject from = source.node();
    if (to.apiType() != MFn::kShadingEngine ||
        (from.apiType() != MFn::kMesh && from.apiType() != MFn::kNurbsSurface))
        return;
    auto* model = dynamic_cast<MayaModel*>(registry.findShape(MObjectHandle(from)));
    if (!model)
        return;
    registry.queueShape(model);
    MDagPathArray paths;
    MFnDagNode(from).getAllPaths(paths);
    for (unsigned i = 0; i < paths.length(); ++i)
        if (MayaSceneObject* instance = registry.findInstance(paths[i]))
            registry.markMaterials(instance);
}

bool parentIsWorld(MDagPath parent)
{
    parent.pop(parent.length());
    return parent.apiType() == MFn::kWorld;
}

void childAdded(MDagPath& child, MDagPath& parent, void* clientData)
{
    if (parentIsWorld(parent))
        registryOf(clientData).addSubtree(child);
}

void childRemoved(MDagPath& child, MDagPath& parent, void* clientData)
{
    if (parentIsWorld(parent))
        registryOf(clientData).removeSubtree(child);
}

void worldMatrixModified(MObject&, MDagMessage::MatrixModifiedFlags&, void* clientData)
{
    MayaSceneRegistry::instance().markMatrix(static_cast<MayaSceneObject*>(clientData));
}

void shapeDirty(MObject&, MPlug& plug, void* clientData)
{
    auto* shape = static_cast<MayaShape*>(clientData);
    if (isVisibilityPlug(plug))
        MayaSceneRegistry::instance().markShapeVisibility(shape);
    else
        MayaSceneRegistry::instance().queueShape(shape);
}

// A transform some input drives (an animation curve, a constraint): its matrix changes with
// time, without node-dirty or world-matrix messages while Maya's Evaluation Manager plays.
bool isDrivenTransform(const MObject& node)
{
    if (!node.hasFn(MFn::kTransform))
        return false;
    MFnDependencyNode fn(node);
    for (const char* name : {"tx", "ty", "tz", "rx", "ry", "rz", "sx", "sy", "sz"}) {
        MStatus status;
        MPlug plug = fn.findPlug(name, true, &status);
        if (!status || plug.isNull())
            continue;
        MPlugArray sources;
        plug.connectedTo(sources, true, false);
        if (sources.length() > 0)
            return true;
    }
    return false;
}

// Maya's parallel evaluation (the default since 2016) sends no dirty or world-matrix
// messages for what animation moves during playback; the time change comes through: every
// instance below a driven transform re-sends its matrix.
void timeChanged(void* clientData)
{
    MayaSceneRegistry& registry = registryOf(clientData);
    // Instances share their ancestors: each transform's plugs are looked at once a change.
    std::unordered_multimap<unsigned, std::pair<MObjectHandle, bool>> known;
    auto driven = [&known](const MObject& node) {
        const MObjectHandle handle(node);
        const auto range = known.equal_range(handle.hashCode());
        for (auto it = range.first; it != range.second; ++it)
            if (it->second.first == handle)
                return it->second.second;
        const bool result = isDrivenTransform(node);
        known.emplace(handle.hashCode(), std::make_pair(handle, result));
        return result;
    };
    registry.forEachInstance([&](MayaSceneObject* instance) {
        if (instance->deleted)
            return;
        for (MDagPath walk(instance->path); walk.length() > 1;) {
            walk.pop();
            if (driven(walk.node())) {
                registry.markMatrix(instance);
                return;
            }
        }
    });
}

template <class Shape> void scanShapes(MayaSceneRegistry& registry, MFn::Type type)
{
    for (MItDependencyNodes it(type); !it.isDone(); it.next())
        registry.getOrCreateShape<Shape>(it.thisNode());
}

} // namespace

MCallbackId registerIdleRefresh(MayaSceneRegistry& registry)
{
    return MTimerMessage::addTimerCallback(0.033f, idleRefresh, &registry);
}

MCallbackId watchShape(MObject& node, MayaShape* shape)
{
    return MNodeMessage::addNodeDirtyPlugCallback(node, shapeDirty, shape);
}

void watchInstance(MayaSceneObject& instance)
{
    instance.keepCallback(MDagMessage::addWorldMatrixModifiedCallback(instance.path, worldMatrixModified, &instance));
}

void MayaSceneRegistry::registerCallbacks()
{
    if (callbacksRegistered)
        return;
    callbacksRegistered = 1;
    auto keep = [this](MCallbackId id) { sceneCallbacks.push_back(id); };
    keep(MSceneMessage::addCallback(MSceneMessage::kBeforeNew, sceneReset, this));
    keep(MSceneMessage::addCallback(MSceneMessage::kBeforeOpen, sceneReset, this));
    keep(MDGMessage::addNodeAddedCallback(nodeAdded, "dependNode", this));
    keep(MDGMessage::addNodeRemovedCallback(nodeRemoved, "dependNode", this));
    // Registered twice, as Maya has always been asked; the second run finds the marks set.
    keep(MDGMessage::addPreConnectionCallback(connectionChange, this));
    keep(MDGMessage::addPreConnectionCallback(connectionChange, this));
    keep(MDagMessage::addChildAddedCallback(childAdded, this));
    keep(MDagMessage::addChildRemovedCallback(childRemoved, this));
    keep(MEventMessage::addEventCallback("timeChanged", timeChanged, this));

    for (MItDependencyNodes it(MFn::kTransform); !it.isDone(); it.next())
        watchTransform(*this, it.thisNode());
    scanShapes<MayaModel>(*this, MFn::kMesh);
    scanShapes<MayaNurbsSurface>(*this, MFn::kNurbsSurface);
    scanShapes<MayaSpotLight>(*this, MFn::kSpotLight);
    scanShapes<MayaDirectionalLight>(*this, MFn::kDirectionalLight);
    scanShapes<MayaPointLight>(*this, MFn::kPointLight);
    scanShapes<MayaAmbientLight>(*this, MFn::kAmbientLight);
    MItDag dag(MItDag::kDepthFirst);
    MDagPath world;
    dag.getPath(world);
    addSubtree(world);
}

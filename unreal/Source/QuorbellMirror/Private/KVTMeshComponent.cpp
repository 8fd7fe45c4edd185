// The mesh component and the game-thread side of the mesh node.
#include "KVTMeshComponent.h"

#include "RenderingThread.h"
#include "UObject/Package.h"

#include <cmath>

UKvtMeshComponent::UKvtMeshComponent(const FObjectInitializer& ObjectInitializer) : UMeshComponent(ObjectInitializer) {}

FBoxSphereBounds UKvtMeshComponent::CalcBounds(const FTransform& LocalToWorld) const {
    // A component whose shape was destroyed before it has nothing to bound.
    if (!MeshNode) return FBoxSphereBounds(LocalToWorld.GetLocation(), FVector(0.f, 0.f, 0.f), 0.f);
    FBoxSphereBounds WorldBounds = MeshNode->LocalBounds.TransformBy(LocalToWorld);
    WorldBounds.BoxExtent = WorldBounds.BoxExtent * BoundsScale;
    WorldBounds.SphereRadius *= BoundsScale;
    return WorldBounds;
}

FPrimitiveSceneProxy* UKvtMeshComponent::CreateSceneProxy() {
    // A component whose shape is gone draws nothing.
    if (!MeshNode) return nullptr;
    return new FKvtMeshSceneProxy(this);
}

FMirrorMeshNode::~FMirrorMeshNode() = default;

void FMirrorMeshNode::AttachInstance(FMirrorInstanceNode& Instance) {
    UKvtMeshComponent* Component = NewObject<UKvtMeshComponent>(GetTransientPackage());
    Component->MeshNode = this;
    Components.RemoveAll([](const TWeakObjectPtr<UKvtMeshComponent>& Weak) { return !Weak.IsValid(); });
    Components.Add(Component);
    Instance.SetComponent(Component);
}

void FMirrorMeshNode::Update(const kvt::Record& Record) {
    FMirrorMeshNode* Node = this;
    if (Record.visibilityValid()) {
        // The proxies draw from the node on the render thread: its visibility goes there by
        // a render command, as everything else of the node does.
        const uint8 bShow = bVisible;
        ENQUEUE_RENDER_COMMAND(SetVisibleCommand)([Node, bShow](FRHICommandListImmediate&) { Node->bRenderVisible = bShow; });
    }
    if (!Record.hasData()) return;
    const kvt::MeshRecord& Mesh = Record.mesh;
    FVector Extent, Origin;
    for (int32 Axis = 0; Axis < 3; ++Axis) {
        Extent[Axis] = (Mesh.boundsMax[Axis] - Mesh.boundsMin[Axis]) * 0.5f;
        Origin[Axis] = Mesh.boundsMin[Axis] + Extent[Axis];
    }
    LocalBounds = FBoxSphereBounds(Origin, Extent, std::sqrt(Extent.X * Extent.X + Extent.Y * Extent.Y + Extent.Z * Extent.Z));
    // Geometry edited in place moves the bounds of every component that draws it: the
    // engine culls each by its own bounds, not by the node's.
    for (const TWeakObjectPtr<UKvtMeshComponent>& Weak : Components) {
        if (UKvtMeshComponent* Component = Weak.Get()) {
            Component->UpdateBounds();
            Component->MarkRenderTransformDirty();
        }
    }

    // The buffers are rebuilt on the render thread straight from the arrays in the request
    // view, which stays mapped until the reply, published by a later render command, hands
    // the turn back to Maya.
    const uint8* RecordVertices = Record.vertices;
    const uint8* RecordIndices = Record.indices;
    const uint8* RecordSections = Record.sections;
    const int32 VertexCount = Mesh.vertexCount;
    const int32 IndexCount = Mesh.indexCount;
    const int32 SectionCount = Mesh.sectionCount;
    ENQUEUE_RENDER_COMMAND(InitCommand)([=](FRHICommandListImmediate&) {
        Node->Rebuild(RecordVertices, VertexCount, RecordIndices, IndexCount, RecordSections, SectionCount);
    });
}

void FMirrorMeshNode::Destroy() {
    LeaveRegistry();
    for (const TWeakObjectPtr<UKvtMeshComponent>& Weak : Components) {
        if (UKvtMeshComponent* Component = Weak.Get()) {
            Component->MeshNode = nullptr;
            // Its proxy draws from this node: it leaves the scene now, in a render command
            // that runs before the node's release below.
            Component->RecreateRenderState_Concurrent();
        }
    }
    Components.Empty();
    FMirrorMeshNode* Node = this;
    ENQUEUE_RENDER_COMMAND(Release)([Node](FRHICommandListImmediate&) {
        Node->ReleaseResources();
        delete Node;
    });
}

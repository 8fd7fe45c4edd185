// The mesh component and the game-thread side of the mesh node.
#include "KVTMeshComponent.h"

#include "RenderingThread.h"
#include "UObject/Package.h"

#include <cmath>

UKvtMeshComponent::UKvtMeshComponent(const FObjectInitializer& ObjectInitializer) : UMeshComponent(ObjectInitializer) {}

FBoxSphereBounds UKvtMeshComponent::CalcBounds(const FTransform& LocalToWorld) const {
    // A component whose shape was destroyed before it has nothing to bound.
    if (!MeshNode) return FBoxSphereBounds(LocalToWorld.GetLocation(), FVector(0.f, 0.f, 0.f), 0.f);
    FBoxSphereBounds Bounds = MeshNode->LocalBounds.TransformBy(LocalToWorld);
    Bounds.BoxExtent = Bounds.BoxExtent * BoundsScale;
    Bounds.SphereRadius *= BoundsScale;
    return Bounds;
}

FPrimitiveSceneProxy* UKvtMeshComponent::CreateSceneProxy() {
    // The scene proxy that draws the node's buffers comes with the render side; until
    // then the component is in the scene without drawing anything.
    return nullptr;
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
    if (!Record.hasData()) return;
    const kvt::MeshRecord& Mesh = Record.mesh;
    FVector Extent, Origin;
    for (int32 Axis = 0; Axis < 3; ++Axis) {
        Extent[Axis] = (Mesh.boundsMax[Axis] - Mesh.boundsMin[Axis]) * 0.5f;
        Origin[Axis] = Mesh.boundsMin[Axis] + Extent[Axis];
    }
    LocalBounds = FBoxSphereBounds(Origin, Extent, std::sqrt(Extent.X * Extent.X + Extent.Y * Extent.Y + Extent.Z * Extent.Z));

    // The buffers are rebuilt from the record on the render thread (the render side fills
    // in this command's body); the record stays in the request view until Maya's next turn.
    FMirrorMeshNode* Node = this;
    const uint32 RecordOffset = Record.offset;
    ENQUEUE_RENDER_COMMAND(InitCommand)([Node, RecordOffset](FRHICommandListImmediate&) {
        (void)Node;
        (void)RecordOffset;
    });
}

void FMirrorMeshNode::Destroy() {
    LeaveRegistry();
    for (const TWeakObjectPtr<UKvtMeshComponent>& Weak : Components) {
        if (UKvtMeshComponent* Component = Weak.Get()) {
            Component->MeshNode = nullptr;
            if (Component->IsRegistered()) Component->MarkRenderStateDirty();
        }
    }
    Components.Empty();
    FMirrorMeshNode* Node = this;
    ENQUEUE_RENDER_COMMAND(Release)([Node](FRHICommandListImmediate&) { delete Node; });
}

#pragma once
// The component that draws one instance of a mirrored Maya mesh, and the mesh node that
// holds that shape's geometry once for all its instances.
#include "CoreMinimal.h"
#include "Components/MeshComponent.h"
#include "UObject/WeakObjectPtr.h"
#include "MirrorNodes.h"
#include "KVTMeshComponent.generated.h"

class FMirrorMeshNode;

/** Draws one instance of a mesh mirrored from Maya. */
UCLASS(hidecategories = (Object, LOD, Mobility, Trigger))
class UKvtMeshComponent : public UMeshComponent {
    GENERATED_BODY()
public:
    UKvtMeshComponent(const FObjectInitializer& ObjectInitializer);

    bool ShouldCreatePhysicsState() const override { return false; }
    FBoxSphereBounds CalcBounds(const FTransform& LocalToWorld) const override;
    int32 GetNumMaterials() const override { return OverrideMaterials.Num(); }
    FPrimitiveSceneProxy* CreateSceneProxy() override;

    // Set once before registration; cleared when the node is destroyed first.
    FMirrorMeshNode* MeshNode = nullptr;
};

// A mesh or NURBS shape: its sections and local bounds. The vertex and index data stay in
// the request region and are read by the render command that uploads them.
class FMirrorMeshNode : public FMirrorNode {
public:
    explicit FMirrorMeshNode(uint64 InIdentity) : FMirrorNode(InIdentity, kvt::RecordKind::Mesh) {}
    ~FMirrorMeshNode() override;

    void AttachInstance(FMirrorInstanceNode& Instance) override;
    void Update(const kvt::Record& Record) override;
    void Destroy() override;

    TArray<kvt::FKvtMeshSection> Sections;
    FBoxSphereBounds LocalBounds{ForceInit};
    // Where the last record's geometry lies in the request view (read on the render thread).
    const uint8* Vertices = nullptr;
    uint32 NumVertices = 0;
    const uint8* Indices = nullptr;
    uint32 NumIndices = 0;

private:
    // Components made for instances of this shape, so that none keeps pointing at the node
    // once it is gone (an instance may outlive its shape).
    TArray<TWeakObjectPtr<UKvtMeshComponent>> Components;
};

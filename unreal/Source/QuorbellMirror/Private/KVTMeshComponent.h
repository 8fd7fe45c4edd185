#pragma once
// The component that draws one instance of a mirrored Maya mesh, and the mesh node that
// holds that shape's geometry once for all its instances.
#include "CoreMinimal.h"
#include "Components/MeshComponent.h"
#include "KVTMeshRendering.h"
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

    // Render thread: rebuilds the buffers and the vertex factory from a mesh record whose
    // arrays lie in the request view ("InitCommand"), and releases them ("Release").
    void Rebuild(const uint8* InVertices, int32 VertexCount, const uint8* InIndices, int32 IndexCount, const uint8* InSections,
                 int32 SectionCount);
    void ReleaseResources();

    // Written on the render thread only (render commands), read by the proxies there.
    TArray<kvt::FKvtMeshSection> Sections;
    // One entry per section: its index range lies inside the uploaded indices and every
    // index in it names an uploaded vertex. Other sections are not drawn.
    TArray<uint8> SectionDrawable;
    FKvtMeshVertexBuffer VertexBuffer;
    FKvtMeshIndexBuffer IndexBuffer;
    FKvtMeshVertexFactory VertexFactory;

    // The shape's own visibility as the render thread sees it, set by a render command.
    uint8 bRenderVisible = 1;

    FBoxSphereBounds LocalBounds{ForceInit};

private:
    // Components made for instances of this shape, so that none keeps pointing at the node
    // once it is gone (an instance may outlive its shape).
    TArray<TWeakObjectPtr<UKvtMeshComponent>> Components;
};

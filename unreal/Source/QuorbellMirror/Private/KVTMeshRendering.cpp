// The render-thread half of the mirrored meshes: buffers uploaded from the request region,
// the vertex factory over them, and the scene proxy that draws a mesh node's sections.
#include "KVTMeshRendering.h"
#include "KVTMeshComponent.h"

#include "RHICommandList.h"
#include "Engine/Engine.h"
#include "MaterialShared.h"
#include "Materials/Material.h"
#include "MeshBatch.h"
#include "PrimitiveUniformShaderParameters.h"
#include "SceneInterface.h"
#include "SceneManagement.h"
#include "SceneView.h"
#include "Shader.h"

#include <cstring>

static_assert(sizeof(kvt::FKvtMeshVertex) == 32, "the vertex streams assume 32-byte vertices");

void FKvtMeshVertexBuffer::InitRHI() {
    const uint32 Size = uint32(NumVertices) * uint32(sizeof(kvt::FKvtMeshVertex));
    FKvtVertexDataArray Array(Vertices, Size);
    FRHIResourceCreateInfo CreateInfo(&Array);
    VertexBufferRHI = RHICreateVertexBuffer(Size, BUF_Dynamic, CreateInfo);
}

void FKvtMeshIndexBuffer::InitRHI() {
    const uint32 Size = uint32(NumIndices) * uint32(sizeof(uint32));
    FRHIResourceCreateInfo CreateInfo;
    void* Buffer = nullptr;
    IndexBufferRHI = RHICreateAndLockIndexBuffer(sizeof(uint32), Size, BUF_Dynamic, CreateInfo, Buffer);
    std::memcpy(Buffer, Indices, Size);
    RHIUnlockIndexBuffer(IndexBufferRHI);
}

void FKvtMeshVertexFactory::Init(const FKvtMeshVertexBuffer* VertexBuffer) {
    if (IsInRenderingThread()) {
        SetStreams(VertexBuffer);
        return;
    }
    FKvtMeshVertexFactory* Factory = this;
    ENQUEUE_RENDER_COMMAND(InitKvtMeshVertexFactory)([Factory, VertexBuffer](FRHICommandListImmediate&) {
        Factory->SetStreams(VertexBuffer);
    });
}

void FKvtMeshVertexFactory::SetStreams(const FKvtMeshVertexBuffer* VertexBuffer) {
    check(IsInRenderingThread());
    const uint8 Stride = uint8(sizeof(kvt::FKvtMeshVertex));
    FDataType NewData;
    NewData.PositionComponent = FVertexStreamComponent(VertexBuffer, 0, Stride, VET_Float3);
    NewData.TangentBasisComponents[0] = FVertexStreamComponent(VertexBuffer, 20, Stride, VET_PackedNormal);
    NewData.TangentBasisComponents[1] = FVertexStreamComponent(VertexBuffer, 24, Stride, VET_PackedNormal);
    NewData.TextureCoordinates.Add(FVertexStreamComponent(VertexBuffer, 12, Stride, VET_Float2));
    NewData.ColorComponent = FVertexStreamComponent(VertexBuffer, 28, Stride, VET_Color);
    SetData(NewData);
}

void FMirrorMeshNode::Rebuild(const uint8* InVertices, int32 VertexCount, const uint8* InIndices, int32 IndexCount,
                              const uint8* InSections, int32 SectionCount) {
    check(IsInRenderingThread());
    ReleaseResources();
    if (!InVertices) VertexCount = 0;
    if (!InIndices) IndexCount = 0;
    if (!InSections || SectionCount < 0) SectionCount = 0;
    if (VertexCount < 0) VertexCount = 0;
    if (IndexCount < 0) IndexCount = 0;

    Sections.SetNum(SectionCount);
    if (SectionCount > 0) std::memcpy(Sections.GetData(), InSections, size_t(SectionCount) * sizeof(kvt::FKvtMeshSection));

    // The indices are copied out of the request once; the copy is checked and the copy is
    // uploaded, so a requester rewriting its region meanwhile cannot slip an index past the
    // check. (The vertices go up straight from the region: no value of theirs is followed.)
    TArray<uint32> IndexCopy;
    IndexCopy.SetNum(IndexCount);
    if (IndexCount > 0) std::memcpy(IndexCopy.GetData(), InIndices, size_t(IndexCount) * sizeof(uint32));

    // Sections are drawn only where they stay inside what is uploaded: a bad record must
    // not make the GPU read past either buffer.
    SectionDrawable.SetNum(SectionCount);
    for (int32 I = 0; I < SectionCount; ++I) {
        const kvt::FKvtMeshSection& Section = Sections[I];
        bool bDrawable = Section.firstIndex >= 0 && Section.triangleCount > 0 &&
                         int64(Section.firstIndex) + int64(Section.triangleCount) * 3 <= int64(IndexCount);
        for (int64 At = Section.firstIndex, End = At + int64(Section.triangleCount) * 3; bDrawable && At < End; ++At)
            bDrawable = IndexCopy[int32(At)] < uint32(VertexCount);
        SectionDrawable[I] = bDrawable ? 1 : 0;
    }

    VertexBuffer.Vertices = reinterpret_cast<const kvt::FKvtMeshVertex*>(InVertices);
    VertexBuffer.NumVertices = VertexCount;
    IndexBuffer.Indices = IndexCopy.GetData();
    IndexBuffer.NumIndices = IndexCount;

    // Empty data still makes one-element buffers; the placeholders live until the buffers
    // below have copied them.
    uint32 PlaceholderIndex = 0;
    kvt::FKvtMeshVertex PlaceholderVertex;
    std::memset(&PlaceholderVertex, 0, sizeof PlaceholderVertex);
    if (IndexBuffer.NumIndices < 1) {
        IndexBuffer.NumIndices = 1;
        IndexBuffer.Indices = &PlaceholderIndex;
    }
    if (VertexBuffer.NumVertices < 1) {
        VertexBuffer.NumVertices = 1;
        VertexBuffer.Vertices = &PlaceholderVertex;
    }

    // The factory's declaration is built from the vertex buffer's RHI buffer: buffers first.
    VertexFactory.Init(&VertexBuffer);
    VertexBuffer.InitResource();
    IndexBuffer.InitResource();
    VertexFactory.InitResource();
    if (VertexBuffer.Vertices == &PlaceholderVertex) VertexBuffer.Vertices = nullptr;
    IndexBuffer.Indices = nullptr; // the copy goes with this call
}

void FMirrorMeshNode::ReleaseResources() {
    VertexBuffer.ReleaseResource();
    IndexBuffer.ReleaseResource();
    VertexFactory.ReleaseResource();
}

FKvtMeshSceneProxy::FKvtMeshSceneProxy(UKvtMeshComponent* InComponent)
    : FPrimitiveSceneProxy(InComponent), Node(InComponent->MeshNode),
      MaterialRelevance(InComponent->GetMaterialRelevance(GetScene().GetFeatureLevel())) {
    UMaterialInterface* Default = UMaterial::GetDefaultMaterial(MD_Surface);
    DefaultMaterialProxy = Default->GetRenderProxy(IsSelected(), false);
    for (int32 Slot = 0; Slot < InComponent->GetNumMaterials(); ++Slot) {
        UMaterialInterface* Material = InComponent->GetMaterial(Slot);
        UsedMaterials.Add(Material);
        MaterialProxies.Add(Material ? Material->GetRenderProxy(IsSelected(), false) : DefaultMaterialProxy);
    }
    if (GEngine && GEngine->WireframeMaterial) WireframeParentProxy = GEngine->WireframeMaterial->GetRenderProxy(IsSelected(), false);
}

void FKvtMeshSceneProxy::GetDynamicMeshElements(const TArray<const FSceneView*>& Views, const FSceneViewFamily& ViewFamily,
                                                uint32 VisibilityMap, FMeshElementCollector& Collector) const {
    if (!Node || !Node->bRenderVisible) return;

    const bool bWireframe = AllowDebugViewmodes() && ViewFamily.EngineShowFlags.Wireframe;
    FColoredMaterialRenderProxy* WireframeProxy = nullptr;
    if (bWireframe) {
        WireframeProxy = new FColoredMaterialRenderProxy(WireframeParentProxy, FLinearColor(0.f, 0.5f, 1.f, 1.f));
        Collector.RegisterOneFrameMaterialProxy(WireframeProxy);
    }

    const int32 SectionCount = Node->Sections.Num();
    TArray<UMaterialInterface*> SectionMaterials;
    for (int32 I = 0; I < SectionCount; ++I) SectionMaterials.Add(I < UsedMaterials.Num() ? UsedMaterials[I] : nullptr);
    const_cast<FKvtMeshSceneProxy*>(this)->SetUsedMaterialForVerification(SectionMaterials);
    if (SectionCount == 0) return;

    for (int32 I = 0; I < SectionCount; ++I) {
        if (!Node->SectionDrawable[I]) continue;
        const FMaterialRenderProxy* MaterialProxy = WireframeProxy;
        if (!MaterialProxy) MaterialProxy = I < MaterialProxies.Num() ? MaterialProxies[I] : DefaultMaterialProxy;
        const kvt::FKvtMeshSection& Section = Node->Sections[I];
        for (int32 View = 0; View < Views.Num(); ++View) {
            if (!(VisibilityMap & (1u << View))) continue;
            FMeshBatch& Batch = Collector.AllocateMesh();
            FMeshBatchElement& Element = Batch.Elements[0];
            Element.IndexBuffer = &Node->IndexBuffer;
            Batch.VertexFactory = &Node->VertexFactory;
            Batch.MaterialRenderProxy = MaterialProxy;
            Batch.bWireframe = bWireframe;
            Element.PrimitiveUniformBuffer =
                CreatePrimitiveUniformBufferImmediate(GetLocalToWorld(), GetBounds(), GetLocalBounds(), true, UseEditorDepthTest());
            Element.FirstIndex = uint32(Section.firstIndex);
            Element.NumPrimitives = uint32(Section.triangleCount);
            Element.MinVertexIndex = 0;
            Element.MaxVertexIndex = uint32(Node->VertexBuffer.NumVertices) - 1;
            Batch.ReverseCulling = IsLocalToWorldDeterminantNegative();
            Batch.Type = PT_TriangleList;
            Batch.DepthPriorityGroup = SDPG_World;
            Batch.bCanApplyViewModeOverrides = false;
            Collector.AddMesh(View, Batch);
        }
    }
}

FPrimitiveViewRelevance FKvtMeshSceneProxy::GetViewRelevance(const FSceneView* View) const {
    FPrimitiveViewRelevance Result;
    Result.bDrawRelevance = IsShown(View);
    Result.bShadowRelevance = IsShadowCast(View);
    Result.bDynamicRelevance = true;
    Result.bRenderInMainPass = ShouldRenderInMainPass();
    Result.bUsesLightingChannels = GetLightingChannelMask() != 1; // the default mask: channel 0 only
    Result.bRenderCustomDepth = ShouldRenderCustomDepth();
    MaterialRelevance.SetPrimitiveViewRelevance(Result);
    return Result;
}

bool FKvtMeshSceneProxy::CanBeOccluded() const { return !MaterialRelevance.bDisableDepthTest; }

uint32 FKvtMeshSceneProxy::GetMemoryFootprint(void) const { return uint32(sizeof(*this)) + GetAllocatedSize(); }

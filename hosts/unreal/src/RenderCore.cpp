// Render resources, vertex factories, material render proxies, scene proxies and the mesh
// element collector.
#include "RenderResource.h"
#include "RenderingThread.h"
#include "LocalVertexFactory.h"
#include "PrimitiveSceneProxy.h"
#include "PostProcess/SceneRenderTargets.h"
#include "Shader.h"
#include "MaterialProxies.h"
#include "Components/PrimitiveComponent.h"
#include "Engine/Engine.h"
#include "GameFramework/Actor.h"

// --- Render resources ----------------------------------------------------------------------

FRenderResource::~FRenderResource() {
    checkf(!IsInitialized(), TEXT("A FRenderResource was deleted without being released first"));
}

void FRenderResource::InitResource() {
    check(IsInRenderingThread());
    if (IsInitialized()) return;
    ListIndex = 0;
    InitDynamicRHI();
    InitRHI();
}

void FRenderResource::ReleaseResource() {
    check(IsInRenderingThread());
    if (!IsInitialized()) return;
    ReleaseRHI();
    ReleaseDynamicRHI();
    ListIndex = INDEX_NONE;
}

void FRenderResource::UpdateRHI() {
    check(IsInRenderingThread());
    if (!IsInitialized()) return;
    ReleaseRHI();
    ReleaseDynamicRHI();
    InitDynamicRHI();
    InitRHI();
}

void BeginInitResource(FRenderResource* Resource) {
    ENQUEUE_RENDER_COMMAND(InitCommand)([Resource](FRHICommandListImmediate&) { Resource->InitResource(); });
}

void BeginReleaseResource(FRenderResource* Resource) {
    ENQUEUE_RENDER_COMMAND(ReleaseCommand)([Resource](FRHICommandListImmediate&) { Resource->ReleaseResource(); });
}

void FLocalVertexFactory::SetData(const FDataType& InData) {
    check(IsInRenderingThread());
    Data = InData;
    UpdateRHI();
}

void FLocalVertexFactory::InitRHI() {
    // The position stream is the one a local vertex factory cannot do without.
    check(Data.PositionComponent.VertexBuffer != nullptr);
    ColorStreamIndex = Data.ColorComponent.VertexBuffer ? 1 : -1;
}

bool AllowDebugViewmodes() { return true; }

// --- Scene render targets ------------------------------------------------------------------

FSceneRenderTargets& FSceneRenderTargets::GetGlobalUnsafe() {
    static FSceneRenderTargets* Targets = new FSceneRenderTargets; // lives as long as the RHI
    return *Targets;
}
FSceneRenderTargets& FSceneRenderTargets::Get(FRHICommandList&) {
    check(IsInRenderingThread());
    return GetGlobalUnsafe();
}
FSceneRenderTargets& FSceneRenderTargets::Get(FRHICommandListImmediate& RHICmdList) { return Get(static_cast<FRHICommandList&>(RHICmdList)); }

void FSceneRenderTargets::ReleaseDynamicRHI() {
    SceneDepthTexture.SafeRelease();
    BufferSize = FIntPoint(0, 0);
}

// --- Material render proxies ---------------------------------------------------------------

const FMaterial* FColoredMaterialRenderProxy::GetMaterial(ERHIFeatureLevel::Type InFeatureLevel) const {
    if (Parent) return Parent->GetMaterial(InFeatureLevel);
    UMaterial* Default = GEngine ? GEngine->DefaultMaterial : nullptr;
    return Default ? Default->GetRenderProxy(false)->GetMaterial(InFeatureLevel) : nullptr;
}

bool FColoredMaterialRenderProxy::GetVectorValue(const FName ParameterName, FLinearColor* OutValue, const FMaterialRenderContext& Context) const {
    if (ParameterName == ColorParamName) {
        *OutValue = Color;
        return true;
    }
    return Parent && Parent->GetVectorValue(ParameterName, OutValue, Context);
}

bool FColoredMaterialRenderProxy::GetScalarValue(const FName ParameterName, float* OutValue, const FMaterialRenderContext& Context) const {
    return Parent && Parent->GetScalarValue(ParameterName, OutValue, Context);
}

namespace UE4Host {

const FMaterial* FMaterialInterfaceProxy::GetMaterial(ERHIFeatureLevel::Type) const {
    Resource.Material = const_cast<UMaterialInterface*>(Owner)->GetMaterial();
    return &Resource;
}

bool FMaterialInterfaceProxy::GetVectorValue(const FName ParameterName, FLinearColor* OutValue, const FMaterialRenderContext&) const {
    return Owner->GetVectorParameterValue(ParameterName, *OutValue);
}

bool FMaterialInterfaceProxy::GetScalarValue(const FName, float*, const FMaterialRenderContext&) const { return false; }

} // namespace UE4Host

// --- Scene proxies and the collector -------------------------------------------------------

FPrimitiveSceneProxy::FPrimitiveSceneProxy(const UPrimitiveComponent* InComponent, FName InResourceName)
    : bRenderInMainPass(InComponent->bRenderInMainPass), bRenderCustomDepth(InComponent->bRenderCustomDepth),
      bCastDynamicShadow(InComponent->CastShadow), bSelected(false), bHovered(false), bUseEditorDepthTest(true),
      bReceivesDecals(InComponent->bReceivesDecals), bDrawInGame(false), bDrawInEditor(InComponent->bVisible),
      bIsLocalToWorldDeterminantNegative(false), LightingChannelMask(1), Scene(InComponent->GetScene()), ResourceName(InResourceName),
      LocalToWorld(InComponent->GetComponentTransform().ToMatrixWithScale()), Bounds(InComponent->Bounds),
      LocalBounds(InComponent->CalcBounds(FTransform::Identity)) {
    const AActor* Owner = InComponent->GetOwner();
    bDrawInGame = InComponent->IsVisible() && !InComponent->bHiddenInGame && !(Owner && Owner->bHidden);
    bIsLocalToWorldDeterminantNegative = LocalToWorld.Determinant() < 0.f;
    check(Scene);
}

FPrimitiveSceneProxy::~FPrimitiveSceneProxy() {}

FPrimitiveViewRelevance FPrimitiveSceneProxy::GetViewRelevance(const FSceneView* View) const {
    FPrimitiveViewRelevance Result;
    Result.bDrawRelevance = IsShown(View);
    Result.bShadowRelevance = IsShadowCast(View);
    Result.bRenderInMainPass = ShouldRenderInMainPass();
    Result.bRenderCustomDepth = ShouldRenderCustomDepth();
    return Result;
}

bool FPrimitiveSceneProxy::IsShown(const FSceneView* View) const {
    return View->Family->EngineShowFlags.Editor ? bool(bDrawInEditor) : bool(bDrawInGame);
}

bool FPrimitiveSceneProxy::IsShadowCast(const FSceneView* View) const { return bCastDynamicShadow && IsShown(View); }

void FPrimitiveSceneProxy::SetUsedMaterialForVerification(const TArray<UMaterialInterface*>& InUsedMaterialsForVerification) {
    check(IsInRenderingThread());
    UsedMaterialsForVerification = InUsedMaterialsForVerification;
}

void FPrimitiveSceneProxy::SetTransform(const FMatrix& InLocalToWorld, const FBoxSphereBounds& InBounds, const FBoxSphereBounds& InLocalBounds) {
    LocalToWorld = InLocalToWorld;
    Bounds = InBounds;
    LocalBounds = InLocalBounds;
    bIsLocalToWorldDeterminantNegative = LocalToWorld.Determinant() < 0.f;
}

FMeshElementCollector::FMeshElementCollector(int32 InNumViews) : MeshBatches(size_t(InNumViews)) {}
FMeshElementCollector::~FMeshElementCollector() {}

void FMeshElementCollector::AddMesh(int32 ViewIndex, FMeshBatch& MeshBatch) {
    check(ViewIndex >= 0 && size_t(ViewIndex) < MeshBatches.size());
    checkf(MeshBatch.VertexFactory && MeshBatch.MaterialRenderProxy, TEXT("a mesh batch needs a vertex factory and a material"));
    checkf(MeshBatch.VertexFactory->IsInitialized(), TEXT("the mesh batch's vertex factory is not initialised"));
    MeshBatches[size_t(ViewIndex)].push_back(FMeshBatchAndProxy{&MeshBatch, PrimitiveSceneProxy});
}

uint32 FMeshElementCollector::GetMeshBatchCount(uint32 ViewIndex) const {
    return ViewIndex < MeshBatches.size() ? uint32(MeshBatches[ViewIndex].size()) : 0u;
}

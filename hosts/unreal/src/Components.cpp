// Component registration, render state and transforms. The object functions that a render
// thread could be tempted to call check that they run on the game thread, as the engine's
// rule has it: the render thread does not dereference objects.
#include "Components/MeshComponent.h"
#include "Components/SceneCaptureComponent2D.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Engine/World.h"
#include "GameFramework/Actor.h"
#include "Materials/MaterialInterface.h"
#include "RenderingThread.h"
#include "SceneInterface.h"

UE4HOST_IMPLEMENT_CLASS(UActorComponent)
UE4HOST_IMPLEMENT_CLASS(USceneComponent)
UE4HOST_IMPLEMENT_CLASS(UPrimitiveComponent)
UE4HOST_IMPLEMENT_CLASS(UMeshComponent)
UE4HOST_IMPLEMENT_CLASS(USceneCaptureComponent)
UE4HOST_IMPLEMENT_CLASS(USceneCaptureComponent2D)
UE4HOST_IMPLEMENT_CLASS(UTexture)
UE4HOST_IMPLEMENT_CLASS(UTextureRenderTarget)
UE4HOST_IMPLEMENT_CLASS(UTextureRenderTarget2D)

// --- UActorComponent -----------------------------------------------------------------------

UActorComponent::UActorComponent(const FObjectInitializer& ObjectInitializer)
    : UObject(ObjectInitializer), bRegistered(false), bRenderStateCreated(false), bPhysicsStateCreated(false),
      bRenderStateDirty(false), bRenderTransformDirty(false), bRenderDynamicDataDirty(false) {
    OwnerPrivate = Cast<AActor>(GetOuter());
}

FSceneInterface* UActorComponent::GetScene() const { return WorldPrivate ? WorldPrivate->Scene : nullptr; }

void UActorComponent::RegisterComponentWithWorld(UWorld* InWorld) {
    check(IsInGameThread());
    if (IsPendingKill() || IsRegistered() || !InWorld) return;
    WorldPrivate = InWorld;
    OnRegister();
    InWorld->AddRegisteredComponent(this);
    if (GetScene() && ShouldCreateRenderState()) CreateRenderState_Concurrent();
    CreatePhysicsState();
}

void UActorComponent::RegisterComponent() {
    if (AActor* Owner = GetOwner()) RegisterComponentWithWorld(Owner->GetWorld());
}

void UActorComponent::UnregisterComponent() {
    check(IsInGameThread());
    if (!IsRegistered()) return;
    DestroyPhysicsState();
    if (bRenderStateCreated) DestroyRenderState_Concurrent();
    OnUnregister();
    WorldPrivate->ClearActorComponentEndOfFrameUpdate(this);
    WorldPrivate->RemoveRegisteredComponent(this);
    WorldPrivate = nullptr;
}

void UActorComponent::OnRegister() { bRegistered = true; }
void UActorComponent::OnUnregister() { bRegistered = false; }

void UActorComponent::CreateRenderState_Concurrent() {
    bRenderStateCreated = true;
    bRenderStateDirty = false;
    bRenderTransformDirty = false;
    bRenderDynamicDataDirty = false;
}
void UActorComponent::DestroyRenderState_Concurrent() { bRenderStateCreated = false; }
void UActorComponent::SendRenderTransform_Concurrent() { bRenderTransformDirty = false; }
void UActorComponent::SendRenderDynamicData_Concurrent() { bRenderDynamicDataDirty = false; }
void UActorComponent::CreatePhysicsState() {
    if (!bPhysicsStateCreated && ShouldCreatePhysicsState()) bPhysicsStateCreated = true;
}
void UActorComponent::DestroyPhysicsState() { bPhysicsStateCreated = false; }

void UActorComponent::RecreateRenderState_Concurrent() {
    if (bRenderStateCreated) DestroyRenderState_Concurrent();
    if (IsRegistered() && GetScene() && ShouldCreateRenderState()) CreateRenderState_Concurrent();
}
void UActorComponent::RecreatePhysicsState() {
    DestroyPhysicsState();
    if (IsRegistered()) CreatePhysicsState();
}

void UActorComponent::MarkForNeededEndOfFrameUpdate() {
    if (WorldPrivate) WorldPrivate->MarkActorComponentForNeededEndOfFrameUpdate(this, false);
}
void UActorComponent::MarkRenderStateDirty() {
    if (IsRegistered() && bRenderStateCreated) {
        bRenderStateDirty = true;
        MarkForNeededEndOfFrameUpdate();
    }
}
void UActorComponent::MarkRenderTransformDirty() {
    if (IsRegistered() && bRenderStateCreated) {
        bRenderTransformDirty = true;
        MarkForNeededEndOfFrameUpdate();
    }
}
void UActorComponent::MarkRenderDynamicDataDirty() {
    if (IsRegistered() && bRenderStateCreated) {
        bRenderDynamicDataDirty = true;
        MarkForNeededEndOfFrameUpdate();
    }
}

void UActorComponent::DoDeferredRenderUpdates_Concurrent() {
    if (!IsRegistered()) return;
    if (bRenderStateDirty) {
        RecreateRenderState_Concurrent();
        return;
    }
    if (bRenderTransformDirty) SendRenderTransform_Concurrent();
    if (bRenderDynamicDataDirty) SendRenderDynamicData_Concurrent();
}

void UActorComponent::BeginDestroy() {
    UnregisterComponent();
    UObject::BeginDestroy();
}

// --- USceneComponent -----------------------------------------------------------------------

USceneComponent::USceneComponent(const FObjectInitializer& ObjectInitializer)
    : UActorComponent(ObjectInitializer), Bounds(ForceInit), bVisible(true), bHiddenInGame(false), Mobility(EComponentMobility::Movable) {}

void USceneComponent::SetWorldTransform(const FTransform& NewTransform, bool, FHitResult*, ETeleportType) {
    check(IsInGameThread());
    RelativeTransform = NewTransform;
    UpdateComponentToWorld();
}

void USceneComponent::UpdateComponentToWorld() {
    ComponentToWorld = RelativeTransform;
    UpdateBounds();
    MarkRenderTransformDirty();
    OnUpdateTransform(EUpdateTransformFlags::None);
}

void USceneComponent::OnUpdateTransform(EUpdateTransformFlags, ETeleportType) {}

FBoxSphereBounds USceneComponent::CalcBounds(const FTransform& LocalToWorld) const {
    return FBoxSphereBounds(LocalToWorld.GetLocation(), FVector::ZeroVector, 0.f);
}
void USceneComponent::UpdateBounds() { Bounds = CalcBounds(ComponentToWorld); }

void USceneComponent::SetVisibility(bool bNewVisibility, bool) {
    if (bool(bVisible) == bNewVisibility) return;
    bVisible = bNewVisibility;
    MarkRenderStateDirty();
}

void USceneComponent::OnRegister() {
    UActorComponent::OnRegister();
    ComponentToWorld = RelativeTransform;
    UpdateBounds();
}

// --- UPrimitiveComponent -------------------------------------------------------------------

UPrimitiveComponent::UPrimitiveComponent(const FObjectInitializer& ObjectInitializer)
    : USceneComponent(ObjectInitializer), CastShadow(true), bRenderInMainPass(true), bRenderCustomDepth(false), bReceivesDecals(true) {}

bool UPrimitiveComponent::ShouldCreatePhysicsState() const { return IsRegistered() && !HasAnyFlags(RF_BeginDestroyed); }

void UPrimitiveComponent::CreateRenderState_Concurrent() {
    USceneComponent::CreateRenderState_Concurrent();
    UpdateBounds();
    bAddedToScene = ShouldComponentAddToScene();
    if (bAddedToScene) GetScene()->AddPrimitive(this);
}
void UPrimitiveComponent::DestroyRenderState_Concurrent() {
    if (bAddedToScene) GetScene()->RemovePrimitive(this);
    bAddedToScene = false;
    SceneProxy = nullptr;
    USceneComponent::DestroyRenderState_Concurrent();
}
void UPrimitiveComponent::SendRenderTransform_Concurrent() {
    UpdateBounds();
    if (SceneProxy) GetScene()->UpdatePrimitiveTransform(this);
    USceneComponent::SendRenderTransform_Concurrent();
}

// --- UMeshComponent ------------------------------------------------------------------------

UMeshComponent::UMeshComponent(const FObjectInitializer& ObjectInitializer) : UPrimitiveComponent(ObjectInitializer) {}

UMaterialInterface* UMeshComponent::GetMaterial(int32 ElementIndex) const {
    // The game thread may grow the override list at any time: the render thread must take
    // what it draws when its proxy is made.
    check(IsInGameThread());
    return OverrideMaterials.IsValidIndex(ElementIndex) ? OverrideMaterials[ElementIndex] : nullptr;
}

void UMeshComponent::SetMaterial(int32 ElementIndex, UMaterialInterface* Material) {
    check(IsInGameThread());
    if (ElementIndex < 0) return;
    if (OverrideMaterials.IsValidIndex(ElementIndex) && OverrideMaterials[ElementIndex] == Material) return;
    if (OverrideMaterials.Num() <= ElementIndex) OverrideMaterials.AddZeroed(ElementIndex + 1 - OverrideMaterials.Num());
    OverrideMaterials[ElementIndex] = Material;
    MarkRenderStateDirty();
}

void UMeshComponent::AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector) {
    UPrimitiveComponent::AddReferencedObjects(InThis, Collector);
    Collector.AddReferencedObjects(static_cast<UMeshComponent*>(InThis)->OverrideMaterials, InThis);
}

// --- Scene capture and render targets ------------------------------------------------------

USceneCaptureComponent::USceneCaptureComponent(const FObjectInitializer& ObjectInitializer) : USceneComponent(ObjectInitializer) {}

USceneCaptureComponent2D::USceneCaptureComponent2D(const FObjectInitializer& ObjectInitializer)
    : USceneCaptureComponent(ObjectInitializer), ProjectionType(ECameraProjectionMode::Perspective), CaptureSource(SCS_SceneColorHDR),
      CustomProjectionMatrix(FMatrix::Identity) {}

void USceneCaptureComponent2D::AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector) {
    USceneCaptureComponent::AddReferencedObjects(InThis, Collector);
    Collector.AddReferencedObject(static_cast<USceneCaptureComponent2D*>(InThis)->TextureTarget, InThis);
}

UTexture::UTexture(const FObjectInitializer& ObjectInitializer) : UObject(ObjectInitializer), SRGB(true) {}
UTextureRenderTarget::UTextureRenderTarget(const FObjectInitializer& ObjectInitializer) : UTexture(ObjectInitializer) {}
UTextureRenderTarget2D::UTextureRenderTarget2D(const FObjectInitializer& ObjectInitializer)
    : UTextureRenderTarget(ObjectInitializer), ClearColor(0, 1, 0, 1), OverrideFormat(PF_Unknown), bHDR(true), bForceLinearGamma(false) {}

void UTextureRenderTarget2D::InitCustomFormat(uint32 InSizeX, uint32 InSizeY, EPixelFormat InOverrideFormat, bool bInForceLinearGamma) {
    SizeX = int32(InSizeX);
    SizeY = int32(InSizeY);
    OverrideFormat = InOverrideFormat;
    bForceLinearGamma = bInForceLinearGamma;
    SRGB = !bInForceLinearGamma;
    UpdateResource();
}

void UTextureRenderTarget2D::InitAutoFormat(uint32 InSizeX, uint32 InSizeY) {
    InitCustomFormat(InSizeX, InSizeY, bHDR ? PF_FloatRGBA : PF_B8G8R8A8, !bHDR);
}

// Texture resources, render targets and scene captures.
#include "SceneRenderer.h"
#include "OpenGLDevice.h"
#include "RenderingThread.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Engine/World.h"
#include "Components/MeshComponent.h"
#include "Materials/Material.h"
#include "UE4Host/SceneCaptureStats.h"

#include <atomic>
#include <vector>

namespace {
std::atomic<uint64> GSceneCapturesRendered{0};
// Captures asked for with CaptureSceneDeferred, rendered when their scene next draws.
std::vector<USceneCaptureComponent2D*> GDeferredCaptures;
} // namespace

uint64 UE4Host::SceneCapturesRendered() { return GSceneCapturesRendered.load(std::memory_order_relaxed); }

void UTexture::UpdateResource() {
    ReleaseResource();
    Resource = CreateResource();
    if (Resource) BeginInitResource(Resource);
}

void UTexture::ReleaseResource() {
    if (!Resource) return;
    FTextureResource* Old = Resource;
    Resource = nullptr;
    // After every render command that may still draw with it.
    ENQUEUE_RENDER_COMMAND(ReleaseTextureResourceCommand)([Old](FRHICommandListImmediate&) {
        Old->ReleaseResource();
        delete Old;
    });
}

void UTexture::BeginDestroy() {
    ReleaseResource();
    UObject::BeginDestroy();
}

FTextureRenderTargetResource* UTextureRenderTarget::GetRenderTargetResource() {
    check(IsInRenderingThread());
    return static_cast<FTextureRenderTargetResource*>(Resource);
}

FTextureRenderTargetResource* UTextureRenderTarget::GameThread_GetRenderTargetResource() {
    check(IsInGameThread());
    return static_cast<FTextureRenderTargetResource*>(Resource);
}

FTextureResource* UTextureRenderTarget2D::CreateResource() { return new FTextureRenderTarget2DResource(this); }

FTextureRenderTarget2DResource::FTextureRenderTarget2DResource(const UTextureRenderTarget2D* InOwner)
    : TargetSizeX(InOwner->SizeX), TargetSizeY(InOwner->SizeY), Format(InOwner->GetFormat()), ClearColor(InOwner->ClearColor) {}

void FTextureRenderTarget2DResource::InitDynamicRHI() {
    if (TargetSizeX <= 0 || TargetSizeY <= 0) return;
    const FClearValueBinding ClearValue(ClearColor);
    FRHIResourceCreateInfo CreateInfo(ClearValue);
    Texture2DRHI = RHICreateTexture2D(uint32(TargetSizeX), uint32(TargetSizeY), uint8(Format), 1, 1,
                                      TexCreate_RenderTargetable | TexCreate_ShaderResource, CreateInfo);
    RenderTargetTextureRHI = Texture2DRHI;
    TextureRHI = Texture2DRHI;
    // A new target shows its clear colour until something is drawn into it.
    UE4Host::ClearColorTexture(Texture2DRHI, ClearColor);
}

void FTextureRenderTarget2DResource::ReleaseDynamicRHI() {
    ReleaseRHI();
    RenderTargetTextureRHI.SafeRelease();
    Texture2DRHI.SafeRelease();
}

void USceneCaptureComponent2D::CaptureScene() {
    UWorld* World = GetWorld();
    if (!World || !World->Scene || !IsVisible()) return;
    // Deferred render-state changes first, so that the capture sees them.
    World->SendAllEndOfFrameUpdates();
    World->Scene->UpdateSceneCaptureContents(this);
}

void USceneCaptureComponent2D::CaptureSceneDeferred() {
    UWorld* World = GetWorld();
    if (!World || !World->Scene || !IsVisible()) return;
    for (USceneCaptureComponent2D* Pending : GDeferredCaptures)
        if (Pending == this) return;
    GDeferredCaptures.push_back(this);
}

void USceneCaptureComponent2D::UpdateDeferredCaptures(FSceneInterface* Scene) {
    std::vector<USceneCaptureComponent2D*> Due;
    for (auto It = GDeferredCaptures.begin(); It != GDeferredCaptures.end();) {
        UWorld* World = (*It)->GetWorld();
        if (World && World->Scene == Scene) {
            Due.push_back(*It);
            It = GDeferredCaptures.erase(It);
        } else {
            ++It;
        }
    }
    for (USceneCaptureComponent2D* Capture : Due) Scene->UpdateSceneCaptureContents(Capture);
}

void USceneCaptureComponent2D::OnUpdateTransform(EUpdateTransformFlags UpdateTransformFlags, ETeleportType Teleport) {
    USceneCaptureComponent::OnUpdateTransform(UpdateTransformFlags, Teleport);
    if (bCaptureOnMovement) CaptureSceneDeferred();
}

void USceneCaptureComponent2D::OnUnregister() {
    for (auto It = GDeferredCaptures.begin(); It != GDeferredCaptures.end(); ++It)
        if (*It == this) {
            GDeferredCaptures.erase(It);
            break;
        }
    USceneCaptureComponent::OnUnregister();
}

void FScene::UpdateSceneCaptureContents(USceneCaptureComponent2D* CaptureComponent) {
    if (!CaptureComponent || !CaptureComponent->TextureTarget) return;
    UTextureRenderTarget2D* Target = CaptureComponent->TextureTarget;
    FTextureRenderTargetResource* Resource = Target->GameThread_GetRenderTargetResource();
    if (!Resource) return;
    const UE4Host::FCaptureView View = UE4Host::MakeCaptureView(*CaptureComponent, Target->SizeX, Target->SizeY);
    const FScene* Scene = this;
    GSceneCapturesRendered.fetch_add(1, std::memory_order_relaxed);
    ENQUEUE_RENDER_COMMAND(CaptureSceneCommand)([Scene, Resource, View](FRHICommandListImmediate& RHICmdList) {
        UE4Host::FSceneRenderer::Render(RHICmdList, *Scene, *Resource, View);
    });
}

FMaterialRelevance UMeshComponent::GetMaterialRelevance(ERHIFeatureLevel::Type InFeatureLevel) const {
    check(IsInGameThread());
    FMaterialRelevance Result;
    for (int32 ElementIndex = 0; ElementIndex < GetNumMaterials(); ++ElementIndex) {
        const UMaterialInterface* Material = GetMaterial(ElementIndex);
        if (!Material) Material = UMaterial::GetDefaultMaterial(MD_Surface);
        Result |= Material->GetRelevance_Concurrent(InFeatureLevel);
    }
    return Result;
}

// The render capture: the scene capture from Maya's camera with Maya's projection, and the
// read-back of its colour and the scene depth into the response on the render thread.
#include "KVTTicker.h"

#include "Components/SceneCaptureComponent2D.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Engine/World.h"
#include "PostProcess/SceneRenderTargets.h"
#include "RHICommandList.h"
#include "RenderingThread.h"
#include "SceneInterface.h"
#include "TextureResource.h"

#include <cstring>

struct FKvtCaptureStaging {
    FTexture2DRHIRef Colour;
    FTexture2DRHIRef Depth;
};

namespace {

// The watermark: 128 leaves a pixel as it is, lower values darken it a little. A faint
// ring with a bar through it, 256 x 128, repeated over the picture.
struct FWatermark {
    uint8 Mask[128][256];
    FWatermark() {
        for (int32 Y = 0; Y < 128; ++Y)
            for (int32 X = 0; X < 256; ++X) {
                const int32 DX = X - 128, DY = Y - 64;
                const int32 R2 = DX * DX + DY * DY;
                const bool bRing = R2 >= 36 * 36 && R2 <= 44 * 44;
                const bool bBar = DY >= -3 && DY <= 3 && DX >= -30 && DX <= 30;
                Mask[Y][X] = bRing ? 115 : bBar ? 120 : 128;
            }
    }
};
const FWatermark GWatermark;

// Makes Staging a CPU-readback copy target of Source's size and format.
void EnsureStaging(FRHICommandListImmediate& RHICmdList, FTexture2DRHIRef& Staging, const FTexture2DRHIRef& Source) {
    if (Staging.IsValid() && Staging->GetSizeX() == Source->GetSizeX() && Staging->GetSizeY() == Source->GetSizeY()) return;
    FRHIResourceCreateInfo CreateInfo(FClearValueBinding::Transparent);
    CreateInfo.DebugName = TEXT("KVTDepth");
    Staging = RHICmdList.CreateTexture2D(Source->GetSizeX(), Source->GetSizeY(), Source->GetFormat(), 1, 1, TexCreate_CPUReadback, CreateInfo);
}

} // namespace

void FKVTTicker::EnsureTarget(int32 Width, int32 Height) {
    if (Width <= 0 || Height <= 0) {
        CaptureComponent->TextureTarget = nullptr;
        return;
    }
    UTextureRenderTarget2D* Target = CaptureComponent->TextureTarget;
    if (Target && Target->GetSurfaceWidth() == float(Width) && Target->GetSurfaceHeight() == float(Height)) return;
    Target = NewObject<UTextureRenderTarget2D>(CaptureComponent,
                                               MakeUniqueObjectName(CaptureComponent, UTextureRenderTarget2D::StaticClass(), TEXT("SceneCaptureTextureTarget")));
    CaptureComponent->TextureTarget = Target;
    Target->InitCustomFormat(uint32(Width), uint32(Height), PF_B8G8R8A8, true);
}

bool FKVTTicker::CaptureInto(const kvt::PictureBlocks& Blocks) {
    if (!World || !World->Scene || !CaptureComponent->TextureTarget) return false;
    const kvt::RequestHeader& Request = *Link.requestHeader();
    FMatrix Camera, Projection;
    std::memcpy(&Camera.M[0][0], Request.cameraMatrix, sizeof Request.cameraMatrix);
    std::memcpy(&Projection.M[0][0], Request.projection, sizeof Request.projection);
    CaptureComponent->SetWorldTransform(FTransform(Camera));
    CaptureComponent->CustomProjectionMatrix = Projection;
    World->SendAllEndOfFrameUpdates();
    World->Scene->UpdateSceneCaptureContents(CaptureComponent);

    bCapturePending.store(true, std::memory_order_release);
    FKVTTicker* Service = this;
    ENQUEUE_RENDER_COMMAND(InitCommand)([Service, Blocks](FRHICommandListImmediate& RHICmdList) {
        Service->ReadBack(RHICmdList, Blocks);
        Service->Link.publishResponse();
        Service->bCapturePending.store(false, std::memory_order_release);
    });
    return true;
}

void FKVTTicker::ReadBack(FRHICommandListImmediate& RHICmdList, const kvt::PictureBlocks& Blocks) {
    UTextureRenderTarget2D* Target = CaptureComponent->TextureTarget;
    if (!Target || !Target->GetRenderTargetResource()) return;
    if (!Staging) Staging = new FKvtCaptureStaging;
    const FTexture2DRHIRef& SourceColour = Target->GetRenderTargetResource()->GetRenderTargetTexture();
    const FTexture2DRHIRef& SourceDepth = FSceneRenderTargets::Get(RHICmdList).GetSceneDepthTexture();
    if (!SourceColour.IsValid() || !SourceDepth.IsValid()) return;
    EnsureStaging(RHICmdList, Staging->Colour, SourceColour);
    RHICmdList.CopyToResolveTarget(SourceColour, Staging->Colour, false, FResolveParams());
    EnsureStaging(RHICmdList, Staging->Depth, SourceDepth);
    RHICmdList.CopyToResolveTarget(SourceDepth, Staging->Depth, false, FResolveParams());

    const kvt::RequestHeader& Request = *Link.requestHeader();
    const int32 W = Request.viewportWidth, H = Request.viewportHeight;
    uint8* Response = Link.response().view;

    // Colour: bottom row first, each channel halved by the mask and doubled back, so that an
    // unmarked pixel loses only its lowest bit; the fourth byte is 0.
    void* Data = nullptr;
    int32 Pitch = 0, Rows = 0;
    RHICmdList.MapStagingSurface(Staging->Colour, Data, Pitch, Rows);
    const int32 ColourW = FMath::Min(W, int32(Staging->Colour->GetSizeX())), ColourH = FMath::Min(H, Rows);
    for (int32 Y = 0; Y < ColourH; ++Y) {
        const uint8* Source = static_cast<const uint8*>(Data) + size_t(Y) * size_t(Pitch) * 4;
        uint8* Dest = Response + Blocks.colour + size_t(H - 1 - Y) * size_t(W) * 4;
        const uint8* MaskRow = GWatermark.Mask[Y % 128];
        for (int32 X = 0; X < ColourW; ++X) {
            uint32 P;
            std::memcpy(&P, Source + size_t(X) * 4, 4);
            const uint32 M = MaskRow[X % 256];
            const uint32 BR = (((P & 0x00FF00FFu) * M) >> 8) & 0x00FF00FFu; // B and R in one multiplication
            const uint32 G = (((P & 0x0000FF00u) * M) >> 8) & 0x0000FF00u;
            const uint32 Out = (BR | G) << 1;
            std::memcpy(Dest + size_t(X) * 4, &Out, 4);
        }
    }
    RHICmdList.UnmapStagingSurface(Staging->Colour);

    // Depth: the 24 depth bits (the stencil above them ignored) into Maya's window depth.
    RHICmdList.MapStagingSurface(Staging->Depth, Data, Pitch, Rows);
    const int32 DepthW = FMath::Min(W, int32(Staging->Depth->GetSizeX())), DepthH = FMath::Min(H, Rows);
    const float Scale = Request.depthScale, Bias = Request.depthBias;
    for (int32 Y = 0; Y < DepthH; ++Y) {
        const uint8* Source = static_cast<const uint8*>(Data) + size_t(Y) * size_t(Pitch) * 4;
        uint8* Dest = Response + Blocks.depth + size_t(H - 1 - Y) * size_t(W) * 4;
        for (int32 X = 0; X < DepthW; ++X) {
            uint32 D;
            std::memcpy(&D, Source + size_t(X) * 4, 4);
            const float Value = float(D & 0xFFFFFFu) * Scale + Bias;
            std::memcpy(Dest + size_t(X) * 4, &Value, 4);
        }
    }
    RHICmdList.UnmapStagingSurface(Staging->Depth);
}

void FKVTTicker::ReleaseStaging() {
    if (!Staging) return;
    FKvtCaptureStaging* Doomed = Staging;
    Staging = nullptr;
    ENQUEUE_RENDER_COMMAND(ReleaseStagingCommand)([Doomed](FRHICommandListImmediate&) { delete Doomed; });
    FlushRenderingCommands();
}

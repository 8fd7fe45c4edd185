// The render capture: the scene capture from Maya's camera with Maya's projection, and the
// read-back of its colour and the scene depth into the response on the render thread.
#include "KVTTicker.h"

#include "KVTReadBackRows.h"

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

// Makes Staging a CPU-readback copy target of Source's size and format.
void EnsureStaging(FRHICommandListImmediate& RHICmdList, FTexture2DRHIRef& Staging, const FTexture2DRHIRef& Source) {
    if (Staging.IsValid() && Staging->GetSizeX() == Source->GetSizeX() && Staging->GetSizeY() == Source->GetSizeY()) return;
    FRHIResourceCreateInfo CreateInfo(FClearValueBinding::Transparent);
    CreateInfo.DebugName = TEXT("KVTDepth");
    Staging = RHICmdList.CreateTexture2D(Source->GetSizeX(), Source->GetSizeY(), Source->GetFormat(), 1, 1, TexCreate_CPUReadback, CreateInfo);
}

// Zeroes what the read-back did not write of a W x H block stored bottom row first: the
// rows below the Rows it wrote from the top of the capture, and in those the columns right
// of Columns. A picture the capture could not fill goes back black, without clearing the
// pixels that are written anyway.
void ClearUncovered(uint8* Block, int32 W, int32 H, int32 Columns, int32 Rows) {
    Columns = FMath::Clamp(Columns, 0, W);
    Rows = FMath::Clamp(Rows, 0, H);
    std::memset(Block, 0, size_t(H - Rows) * size_t(W) * 4);
    if (Columns < W)
        for (int32 Row = H - Rows; Row < H; ++Row)
            std::memset(Block + (size_t(Row) * size_t(W) + size_t(Columns)) * 4, 0, size_t(W - Columns) * 4);
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

bool FKVTTicker::CaptureInto(const kvt::RequestHeader& Request, const FKvtReadBackRequest& ReadBackRequest) {
    UTextureRenderTarget2D* Target = CaptureComponent->TextureTarget;
    if (!World || !World->Scene || !Target) return false;
    FMatrix Camera, Projection;
    std::memcpy(&Camera.M[0][0], Request.cameraMatrix, sizeof Request.cameraMatrix);
    std::memcpy(&Projection.M[0][0], Request.projection, sizeof Request.projection);
    CaptureComponent->SetWorldTransform(FTransform(Camera));
    CaptureComponent->CustomProjectionMatrix = Projection;
    World->SendAllEndOfFrameUpdates();
    World->Scene->UpdateSceneCaptureContents(CaptureComponent);

    // The target is taken here, on the game thread: the render thread reads no component.
    bCapturePending.store(true, std::memory_order_release);
    FKVTTicker* Service = this;
    ENQUEUE_RENDER_COMMAND(InitCommand)([Service, Target, ReadBackRequest](FRHICommandListImmediate& RHICmdList) {
        Service->ReadBack(RHICmdList, Target, ReadBackRequest);
        Service->Link.publishResponse();
        Service->bCapturePending.store(false, std::memory_order_release);
    });
    return true;
}

void FKVTTicker::ReadBack(FRHICommandListImmediate& RHICmdList, UTextureRenderTarget2D* Target, const FKvtReadBackRequest& Request) {
    // The size the blocks were laid out for, never the request header as it is now.
    const int32 W = Request.Width, H = Request.Height;
    const kvt::PictureBlocks& Blocks = Request.Blocks;
    uint8* Response = Link.response().view;
    auto Unfilled = [&] {
        ClearUncovered(Response + Blocks.colour, W, H, 0, 0);
        ClearUncovered(Response + Blocks.depth, W, H, 0, 0);
    };
    FTextureRenderTargetResource* TargetResource = Target->GetRenderTargetResource();
    if (!TargetResource) return Unfilled();
    if (!Staging) Staging = new FKvtCaptureStaging;
    const FTexture2DRHIRef& SourceColour = TargetResource->GetRenderTargetTexture();
    const FTexture2DRHIRef& SourceDepth = FSceneRenderTargets::Get(RHICmdList).GetSceneDepthTexture();
    if (!SourceColour.IsValid() || !SourceDepth.IsValid()) return Unfilled();
    EnsureStaging(RHICmdList, Staging->Colour, SourceColour);
    RHICmdList.CopyToResolveTarget(SourceColour, Staging->Colour, false, FResolveParams());
    EnsureStaging(RHICmdList, Staging->Depth, SourceDepth);
    RHICmdList.CopyToResolveTarget(SourceDepth, Staging->Depth, false, FResolveParams());
    // Colour: bottom row first, each channel halved by the mask and doubled back, so that an
    // unmarked pixel loses only its lowest bit; the fourth byte is 0.
    void* Data = nullptr;
    int32 Pitch = 0, Rows = 0;
    RHICmdList.MapStagingSurface(Staging->Colour, Data, Pitch, Rows);
    const int32 ColourW = FMath::Min(W, int32(Staging->Colour->GetSizeX())), ColourH = FMath::Min(H, Rows);
    for (int32 Y = 0; Y < ColourH; ++Y)
        KvtReadBack::ColourRow(static_cast<const uint8*>(Data) + size_t(Y) * size_t(Pitch) * 4,
                               Response + Blocks.colour + size_t(H - 1 - Y) * size_t(W) * 4, ColourW, KvtReadBack::MaskRow(Y));
    RHICmdList.UnmapStagingSurface(Staging->Colour);
    ClearUncovered(Response + Blocks.colour, W, H, ColourW, ColourH);

    // Depth: the 24 depth bits (the stencil above them ignored) into Maya's window depth.
    RHICmdList.MapStagingSurface(Staging->Depth, Data, Pitch, Rows);
    const int32 DepthW = FMath::Min(W, int32(Staging->Depth->GetSizeX())), DepthH = FMath::Min(H, Rows);
    for (int32 Y = 0; Y < DepthH; ++Y)
        KvtReadBack::DepthRow(static_cast<const uint8*>(Data) + size_t(Y) * size_t(Pitch) * 4,
                              Response + Blocks.depth + size_t(H - 1 - Y) * size_t(W) * 4, DepthW, Request.DepthScale, Request.DepthBias);
    KvtReadBack::FinishRows();
    RHICmdList.UnmapStagingSurface(Staging->Depth);
    ClearUncovered(Response + Blocks.depth, W, H, DepthW, DepthH);
}

void FKVTTicker::ReleaseStaging() {
    if (!Staging) return;
    FKvtCaptureStaging* Doomed = Staging;
    Staging = nullptr;
    ENQUEUE_RENDER_COMMAND(ReleaseStagingCommand)([Doomed](FRHICommandListImmediate&) { delete Doomed; });
    FlushRenderingCommands();
}

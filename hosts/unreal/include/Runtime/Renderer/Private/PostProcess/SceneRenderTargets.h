#pragma once
// The renderer's scene render targets (a private header of the engine's renderer module,
// which modules reach through its private include path). The scene depth is D24S8 and holds
// the depth of the last scene rendering, at that rendering's size.
#include "RenderResource.h"
#include "RHICommandList.h"

namespace UE4Host { class FSceneRenderer; }

class RENDERER_API FSceneRenderTargets : public FRenderResource {
public:
    static FSceneRenderTargets& Get(FRHICommandList& RHICmdList);
    static FSceneRenderTargets& Get(FRHICommandListImmediate& RHICmdList);
    static FSceneRenderTargets& GetGlobalUnsafe();

    const FTexture2DRHIRef& GetSceneDepthTexture() const { return SceneDepthTexture; }
    FIntPoint GetBufferSizeXY() const { return BufferSize; }

    void ReleaseDynamicRHI() override;
    FString GetFriendlyName() const override { return TEXT("FSceneRenderTargets"); }

private:
    FSceneRenderTargets() : BufferSize(0, 0) {}
    FTexture2DRHIRef SceneDepthTexture;
    FIntPoint BufferSize;
    friend class UE4Host::FSceneRenderer;
};

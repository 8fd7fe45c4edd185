#pragma once
// The render-thread resources of textures and render targets.
#include "RenderResource.h"
#include "UnrealClient.h"

class UTextureRenderTarget2D;
class FTextureRenderTarget2DResource;

class ENGINE_API FTextureResource : public FTexture {
public:
    FTextureResource() {}
    ~FTextureResource() override {}
};

class ENGINE_API FTextureRenderTargetResource : public FTextureResource, public FRenderTarget {
public:
    virtual FTextureRenderTarget2DResource* GetTextureRenderTarget2DResource() { return nullptr; }
    FIntPoint GetSizeXY() const override = 0;
};

class ENGINE_API FTextureRenderTarget2DResource : public FTextureRenderTargetResource {
public:
    explicit FTextureRenderTarget2DResource(const UTextureRenderTarget2D* InOwner);
    FTextureRenderTarget2DResource* GetTextureRenderTarget2DResource() override { return this; }

    // A render-targetable texture of the owner's size and format.
    void InitDynamicRHI() override;
    void ReleaseDynamicRHI() override;
    uint32 GetSizeX() const override { return uint32(TargetSizeX); }
    uint32 GetSizeY() const override { return uint32(TargetSizeY); }
    FIntPoint GetSizeXY() const override { return FIntPoint(TargetSizeX, TargetSizeY); }
    const FTexture2DRHIRef& GetTextureRHI() { return Texture2DRHI; }
    FString GetFriendlyName() const override { return TEXT("FTextureRenderTarget2DResource"); }

private:
    FTexture2DRHIRef Texture2DRHI;
    int32 TargetSizeX;
    int32 TargetSizeY;
    EPixelFormat Format;
    FLinearColor ClearColor;
};

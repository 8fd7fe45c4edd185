#pragma once
#include "CoreUObject.h"
#include "Containers/EnumAsByte.h"
#include "PixelFormat.h"

class FTextureResource;
class FTextureRenderTargetResource;

class ENGINE_API UTexture : public UObject {
    UE4HOST_DECLARE_CLASS(UTexture, UObject, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UTexture(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    // Replaces the render resource: the old one is released on the render thread, the new
    // one (CreateResource) initialised there.
    virtual void UpdateResource();
    void ReleaseResource();
    virtual FTextureResource* CreateResource() { return nullptr; }
    void BeginDestroy() override;
    uint32 SRGB : 1;
    FTextureResource* Resource = nullptr;
};

class ENGINE_API UTextureRenderTarget : public UTexture {
    UE4HOST_DECLARE_CLASS(UTextureRenderTarget, UTexture, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UTextureRenderTarget(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    virtual float GetSurfaceWidth() const { return 0.f; }
    virtual float GetSurfaceHeight() const { return 0.f; }
    // The render target resource, for the render thread and for the game thread.
    FTextureRenderTargetResource* GetRenderTargetResource();
    FTextureRenderTargetResource* GameThread_GetRenderTargetResource();
    float TargetGamma = 0.f;
};

class ENGINE_API UTextureRenderTarget2D : public UTextureRenderTarget {
    UE4HOST_DECLARE_CLASS(UTextureRenderTarget2D, UTextureRenderTarget, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UTextureRenderTarget2D(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    // Size and pixel format; bInForceLinearGamma stores linear values (no sRGB). Recreates the
    // resource.
    void InitCustomFormat(uint32 InSizeX, uint32 InSizeY, EPixelFormat InOverrideFormat, bool bInForceLinearGamma);
    void InitAutoFormat(uint32 InSizeX, uint32 InSizeY);
    FTextureResource* CreateResource() override;
    float GetSurfaceWidth() const override { return float(SizeX); }
    float GetSurfaceHeight() const override { return float(SizeY); }
    EPixelFormat GetFormat() const { return OverrideFormat == PF_Unknown ? PF_B8G8R8A8 : EPixelFormat(OverrideFormat); }

    int32 SizeX = 0;
    int32 SizeY = 0;
    FLinearColor ClearColor;
    TEnumAsByte<EPixelFormat> OverrideFormat;
    uint8 bHDR : 1;
    uint8 bForceLinearGamma : 1;
};

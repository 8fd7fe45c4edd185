#pragma once
// A surface the renderer draws to.
#include "RHI.h"

class ENGINE_API FRenderTarget {
public:
    virtual ~FRenderTarget() {}
    virtual const FTexture2DRHIRef& GetRenderTargetTexture() const { return RenderTargetTextureRHI; }
    virtual FIntPoint GetSizeXY() const = 0;

protected:
    FTexture2DRHIRef RenderTargetTextureRHI;
};

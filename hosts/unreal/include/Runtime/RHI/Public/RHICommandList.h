#pragma once
// RHI command lists. The stand-in RHI executes every command at once on the render thread
// (the engine's bypass mode), so a command list is the render thread's handle on the RHI.
#include "RHI.h"

class RHI_API FRHICommandListBase {
public:
    FRHICommandListBase(const FRHICommandListBase&) = delete;
    FRHICommandListBase& operator=(const FRHICommandListBase&) = delete;
    bool Bypass() const { return true; }

protected:
    FRHICommandListBase() = default;
    ~FRHICommandListBase() = default;
};

class RHI_API FRHICommandList : public FRHICommandListBase {
public:
    // Copies a texture into another: into a CPU-readback texture the pixels become readable
    // with MapStagingSurface; the same texture as source and destination copies nothing.
    void CopyToResolveTarget(FTextureRHIParamRef SourceTextureRHI, FTextureRHIParamRef DestTextureRHI, bool bKeepOriginalSurface,
                             const FResolveParams& ResolveParams);

protected:
    FRHICommandList() = default;
};

class RHI_API FRHICommandListImmediate : public FRHICommandList {
public:
    FTexture2DRHIRef CreateTexture2D(uint32 SizeX, uint32 SizeY, uint8 Format, uint32 NumMips, uint32 NumSamples, uint32 Flags,
                                     FRHIResourceCreateInfo& CreateInfo);
    // A CPU-readback texture's pixels, top row first; OutWidth is the row pitch in pixels.
    void MapStagingSurface(FTextureRHIParamRef Texture, void*& OutData, int32& OutWidth, int32& OutHeight);
    void UnmapStagingSurface(FTextureRHIParamRef Texture);

private:
    FRHICommandListImmediate() = default;
    friend class FRHICommandListExecutor;
};

class RHI_API FRHICommandListExecutor {
public:
    static FRHICommandListImmediate& GetImmediateCommandList();
};

#pragma once
// The OpenGL device behind the RHI: one EGL context on Mesa's surfaceless platform (a GPU
// driver where one exists, llvmpipe otherwise), current on whichever thread renders.
#include "RHIResources.h"
#include <epoxy/gl.h>
#include <mutex>
#include <string>
#include <vector>

namespace UE4Host {

class FOpenGLDevice {
public:
    // Creates the device once per process; false with a message naming what is missing.
    static bool Init(std::string& OutError);
    static FOpenGLDevice& Get(); // Init must have succeeded
    static bool IsCreated();

    // Makes the context current on the calling thread (a no-op when it already is).
    void EnsureCurrent();
    // Gives the context up on the calling thread, so that another thread can take it.
    void ReleaseCurrent();

    GLuint ReadFramebuffer = 0;
    GLuint DrawFramebuffer = 0;
    std::string Renderer;

private:
    FOpenGLDevice() = default;
    void* Display = nullptr;
    void* Context = nullptr;
};

// Bytes per pixel of the formats the stand-in RHI supports (0 for others).
uint32 BytesPerPixel(EPixelFormat Format);

struct FOpenGLVertexBuffer final : FRHIVertexBuffer {
    FOpenGLVertexBuffer(uint32 InSize, uint32 InUsage) : FRHIVertexBuffer(InSize, InUsage) {}
    ~FOpenGLVertexBuffer() override;
    GLuint Name = 0;
    std::vector<uint8> LockBuffer;
    uint32 LockOffset = 0;
};

struct FOpenGLIndexBuffer final : FRHIIndexBuffer {
    FOpenGLIndexBuffer(uint32 InStride, uint32 InSize, uint32 InUsage) : FRHIIndexBuffer(InStride, InSize, InUsage) {}
    ~FOpenGLIndexBuffer() override;
    // The largest index in [First, First + Count); the draw guard checks it against the vertices.
    uint32 MaxIndex(uint32 First, uint32 Count) const;
    GLuint Name = 0;
    std::vector<uint8> Shadow; // the indices as the GPU has them
    uint32 LockOffset = 0;
    uint32 LockSize = 0;
};

struct FOpenGLTexture2D final : FRHITexture2D {
    FOpenGLTexture2D(uint32 InSizeX, uint32 InSizeY, uint32 InNumMips, uint32 InNumSamples, EPixelFormat InFormat, uint32 InFlags,
                     const FClearValueBinding& InClearValue)
        : FRHITexture2D(InSizeX, InSizeY, InNumMips, InNumSamples, InFormat, InFlags, InClearValue) {}
    ~FOpenGLTexture2D() override;
    bool IsStaging() const { return (GetFlags() & TexCreate_CPUReadback) != 0; }
    GLuint Name = 0;                 // the GL texture (none for a staging texture)
    std::vector<uint8> StagingData;  // a staging texture's pixels, top row first
    uint32 RowPitch = 0;             // bytes per staging row
};

} // namespace UE4Host

namespace UE4Host {
// Fills a colour texture with one colour (render thread).
void ClearColorTexture(FRHITexture2D* Texture, const FLinearColor& Color);
}

#pragma once
// Uniform buffers: a block of shader parameters as an RHI resource.
#include "RHI.h"

// A uniform buffer holding a TBufferStruct.
template <typename TBufferStruct>
class TRHIUniformBuffer final : public FRHIUniformBuffer {
public:
    explicit TRHIUniformBuffer(const TBufferStruct& InContents) : FRHIUniformBuffer(uint32(sizeof(TBufferStruct))), Contents(InContents) {}
    const TBufferStruct& GetContents() const { return Contents; }

private:
    TBufferStruct Contents;
};

template <typename TBufferStruct>
class TUniformBufferRef : public FUniformBufferRHIRef {
public:
    TUniformBufferRef() {}
    // Makes a uniform buffer with the given contents.
    static TUniformBufferRef<TBufferStruct> CreateUniformBufferImmediate(const TBufferStruct& Value, uint32 Usage) {
        (void)Usage;
        return TUniformBufferRef<TBufferStruct>(new TRHIUniformBuffer<TBufferStruct>(Value));
    }

private:
    explicit TUniformBufferRef(FRHIUniformBuffer* InRHIRef) : FUniformBufferRHIRef(InRHIRef) {}
};

enum EUniformBufferUsage { UniformBuffer_SingleDraw = 0, UniformBuffer_SingleFrame, UniformBuffer_MultiFrame };

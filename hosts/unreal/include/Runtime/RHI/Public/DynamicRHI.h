#pragma once
// The RHI's resource creation, as the engine's global RHI functions. Render thread only.
#include "RHIResources.h"

RHI_API FVertexBufferRHIRef RHICreateVertexBuffer(uint32 Size, uint32 InUsage, FRHIResourceCreateInfo& CreateInfo);
RHI_API void* RHILockVertexBuffer(FVertexBufferRHIParamRef VertexBuffer, uint32 Offset, uint32 SizeRHI, EResourceLockMode LockMode);
RHI_API void RHIUnlockVertexBuffer(FVertexBufferRHIParamRef VertexBuffer);
RHI_API FIndexBufferRHIRef RHICreateIndexBuffer(uint32 Stride, uint32 Size, uint32 InUsage, FRHIResourceCreateInfo& CreateInfo);
RHI_API FIndexBufferRHIRef RHICreateAndLockIndexBuffer(uint32 Stride, uint32 Size, uint32 InUsage, FRHIResourceCreateInfo& CreateInfo,
                                                       void*& OutDataBuffer);
RHI_API void* RHILockIndexBuffer(FIndexBufferRHIParamRef IndexBuffer, uint32 Offset, uint32 Size, EResourceLockMode LockMode);
RHI_API void RHIUnlockIndexBuffer(FIndexBufferRHIParamRef IndexBuffer);
RHI_API FTexture2DRHIRef RHICreateTexture2D(uint32 SizeX, uint32 SizeY, uint8 Format, uint32 NumMips, uint32 NumSamples, uint32 Flags,
                                            FRHIResourceCreateInfo& CreateInfo);

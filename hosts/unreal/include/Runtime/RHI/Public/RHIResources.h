#pragma once
// RHI resources: reference-counted, deleted once the last reference is gone and the render
// thread has moved on (deletion is deferred, as in the engine, so that a resource released
// while a draw is being set up lives until that draw is done).
#include "RHIDefinitions.h"
#include "PixelFormat.h"
#include "Templates/RefCounting.h"
#include <atomic>

class FResourceArrayInterface;
class FResourceBulkDataInterface;

class RHI_API FRHIResource {
public:
    FRHIResource(bool InbDoNotDeferDelete = false) : NumRefs(0), bDoNotDeferDelete(InbDoNotDeferDelete) {}
    virtual ~FRHIResource() {}
    FRHIResource(const FRHIResource&) = delete;
    FRHIResource& operator=(const FRHIResource&) = delete;
    FORCEINLINE uint32 AddRef() const { return uint32(NumRefs.fetch_add(1) + 1); }
    uint32 Release() const;
    FORCEINLINE uint32 GetRefCount() const { return uint32(NumRefs.load()); }
    // Deletes the resources whose last reference went away (render thread).
    static void FlushPendingDeletes();

private:
    mutable std::atomic<int32> NumRefs;
    bool bDoNotDeferDelete;
};

class RHI_API FRHIVertexBuffer : public FRHIResource {
public:
    FRHIVertexBuffer(uint32 InSize, uint32 InUsage) : Size(InSize), Usage(InUsage) {}
    uint32 GetSize() const { return Size; }
    uint32 GetUsage() const { return Usage; }

private:
    uint32 Size;
    uint32 Usage;
};

class RHI_API FRHIIndexBuffer : public FRHIResource {
public:
    FRHIIndexBuffer(uint32 InStride, uint32 InSize, uint32 InUsage) : Stride(InStride), Size(InSize), Usage(InUsage) {}
    uint32 GetStride() const { return Stride; }
    uint32 GetSize() const { return Size; }
    uint32 GetUsage() const { return Usage; }

private:
    uint32 Stride;
    uint32 Size;
    uint32 Usage;
};

class RHI_API FRHIUniformBuffer : public FRHIResource {
public:
    explicit FRHIUniformBuffer(uint32 InSize) : Size(InSize) {}
    uint32 GetSize() const { return Size; }

private:
    uint32 Size;
};

enum class EClearBinding { ENoneBound, EColorBound, EDepthStencilBound };

struct RHI_API FClearValueBinding {
    struct DSVAlue {
        float Depth;
        uint32 Stencil;
    };

    FClearValueBinding() : ColorBinding(EClearBinding::EColorBound) {
        Value.Color[0] = Value.Color[1] = Value.Color[2] = Value.Color[3] = 0.f;
    }
    FClearValueBinding(EClearBinding NoBinding) : ColorBinding(NoBinding) {
        Value.Color[0] = Value.Color[1] = Value.Color[2] = Value.Color[3] = 0.f;
    }
    explicit FClearValueBinding(const FLinearColor& InClearColor) : ColorBinding(EClearBinding::EColorBound) {
        Value.Color[0] = InClearColor.R;
        Value.Color[1] = InClearColor.G;
        Value.Color[2] = InClearColor.B;
        Value.Color[3] = InClearColor.A;
    }
    explicit FClearValueBinding(float DepthClearValue, uint32 StencilClearValue = 0) : ColorBinding(EClearBinding::EDepthStencilBound) {
        Value.DSValue.Depth = DepthClearValue;
        Value.DSValue.Stencil = StencilClearValue;
    }
    FLinearColor GetClearColor() const { return FLinearColor(Value.Color[0], Value.Color[1], Value.Color[2], Value.Color[3]); }
    void GetDepthStencil(float& OutDepth, uint32& OutStencil) const {
        OutDepth = Value.DSValue.Depth;
        OutStencil = Value.DSValue.Stencil;
    }

    EClearBinding ColorBinding;
    union ClearValueType {
        float Color[4];
        DSVAlue DSValue;
    } Value;

    static const FClearValueBinding None;
    static const FClearValueBinding Black;
    static const FClearValueBinding White;
    static const FClearValueBinding Transparent;
    static const FClearValueBinding DepthOne;
    static const FClearValueBinding DepthZero;
    static const FClearValueBinding DepthNear;
    static const FClearValueBinding DepthFar;
};

class FRHITexture2D;

class RHI_API FRHITexture : public FRHIResource {
public:
    FRHITexture(uint32 InNumMips, uint32 InNumSamples, EPixelFormat InFormat, uint32 InFlags, const FClearValueBinding& InClearValue)
        : ClearValue(InClearValue), NumMips(InNumMips), NumSamples(InNumSamples), Format(InFormat), Flags(InFlags) {}
    virtual FRHITexture2D* GetTexture2D() { return nullptr; }
    uint32 GetNumMips() const { return NumMips; }
    EPixelFormat GetFormat() const { return Format; }
    uint32 GetFlags() const { return Flags; }
    uint32 GetNumSamples() const { return NumSamples; }
    bool IsMultisampled() const { return NumSamples > 1; }
    const FClearValueBinding GetClearBinding() const { return ClearValue; }

private:
    FClearValueBinding ClearValue;
    uint32 NumMips;
    uint32 NumSamples;
    EPixelFormat Format;
    uint32 Flags;
};

class RHI_API FRHITexture2D : public FRHITexture {
public:
    FRHITexture2D(uint32 InSizeX, uint32 InSizeY, uint32 InNumMips, uint32 InNumSamples, EPixelFormat InFormat, uint32 InFlags,
                  const FClearValueBinding& InClearValue)
        : FRHITexture(InNumMips, InNumSamples, InFormat, InFlags, InClearValue), SizeX(InSizeX), SizeY(InSizeY) {}
    FRHITexture2D* GetTexture2D() override { return this; }
    uint32 GetSizeX() const { return SizeX; }
    uint32 GetSizeY() const { return SizeY; }
    FIntPoint GetSizeXY() const { return FIntPoint(int32(SizeX), int32(SizeY)); }

private:
    uint32 SizeX;
    uint32 SizeY;
};

typedef FRHIVertexBuffer* FVertexBufferRHIParamRef;
typedef TRefCountPtr<FRHIVertexBuffer> FVertexBufferRHIRef;
typedef FRHIIndexBuffer* FIndexBufferRHIParamRef;
typedef TRefCountPtr<FRHIIndexBuffer> FIndexBufferRHIRef;
typedef FRHIUniformBuffer* FUniformBufferRHIParamRef;
typedef TRefCountPtr<FRHIUniformBuffer> FUniformBufferRHIRef;
typedef FRHITexture* FTextureRHIParamRef;
typedef TRefCountPtr<FRHITexture> FTextureRHIRef;
typedef FRHITexture2D* FTexture2DRHIParamRef;
typedef TRefCountPtr<FRHITexture2D> FTexture2DRHIRef;

struct FRHIResourceCreateInfo {
    FRHIResourceCreateInfo()
        : BulkData(nullptr), ResourceArray(nullptr), ClearValueBinding(FLinearColor::Transparent), DebugName(nullptr) {}
    FRHIResourceCreateInfo(FResourceBulkDataInterface* InBulkData)
        : BulkData(InBulkData), ResourceArray(nullptr), ClearValueBinding(FLinearColor::Transparent), DebugName(nullptr) {}
    FRHIResourceCreateInfo(FResourceArrayInterface* InResourceArray)
        : BulkData(nullptr), ResourceArray(InResourceArray), ClearValueBinding(FLinearColor::Transparent), DebugName(nullptr) {}
    FRHIResourceCreateInfo(const FClearValueBinding& InClearValueBinding)
        : BulkData(nullptr), ResourceArray(nullptr), ClearValueBinding(InClearValueBinding), DebugName(nullptr) {}
    FRHIResourceCreateInfo(const TCHAR* InDebugName)
        : BulkData(nullptr), ResourceArray(nullptr), ClearValueBinding(FLinearColor::Transparent), DebugName(InDebugName) {}

    FResourceBulkDataInterface* BulkData;
    FResourceArrayInterface* ResourceArray;
    FClearValueBinding ClearValueBinding;
    const TCHAR* DebugName;
};

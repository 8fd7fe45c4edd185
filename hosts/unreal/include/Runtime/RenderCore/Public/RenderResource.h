#pragma once
// Render resources: objects with a render-thread life of their own (buffers, vertex factories,
// textures). InitResource and ReleaseResource run on the render thread; BeginInitResource and
// BeginReleaseResource enqueue them from the game thread.
#include "RHI.h"

class RENDERCORE_API FRenderResource {
public:
    FRenderResource() : ListIndex(INDEX_NONE), FeatureLevel(ERHIFeatureLevel::Num) {}
    FRenderResource(ERHIFeatureLevel::Type InFeatureLevel) : ListIndex(INDEX_NONE), FeatureLevel(InFeatureLevel) {}
    // A resource must be released before it is deleted.
    virtual ~FRenderResource();

    // RHI resources that depend on the device (there is no device loss here).
    virtual void InitDynamicRHI() {}
    virtual void ReleaseDynamicRHI() {}
    // The resource's RHI resources.
    virtual void InitRHI() {}
    virtual void ReleaseRHI() {}

    // Render thread: InitDynamicRHI and InitRHI once, until ReleaseResource.
    virtual void InitResource();
    // Render thread: ReleaseRHI and ReleaseDynamicRHI when initialised.
    virtual void ReleaseResource();
    // Releases and initialises the RHI resources again, when initialised.
    void UpdateRHI();

    virtual FString GetFriendlyName() const { return TEXT("undefined"); }
    FORCEINLINE bool IsInitialized() const { return ListIndex != INDEX_NONE; }

protected:
    ERHIFeatureLevel::Type GetFeatureLevel() const { return FeatureLevel == ERHIFeatureLevel::Num ? GMaxRHIFeatureLevel : FeatureLevel; }

private:
    int32 ListIndex;
    ERHIFeatureLevel::Type FeatureLevel;
};

// Enqueue InitResource / ReleaseResource on the render thread.
extern RENDERCORE_API void BeginInitResource(FRenderResource* Resource);
extern RENDERCORE_API void BeginReleaseResource(FRenderResource* Resource);

class RENDERCORE_API FVertexBuffer : public FRenderResource {
public:
    FVertexBufferRHIRef VertexBufferRHI;

    ~FVertexBuffer() override {}
    void ReleaseRHI() override { VertexBufferRHI.SafeRelease(); }
    FString GetFriendlyName() const override { return TEXT("FVertexBuffer"); }
};

class RENDERCORE_API FIndexBuffer : public FRenderResource {
public:
    FIndexBufferRHIRef IndexBufferRHI;

    ~FIndexBuffer() override {}
    void ReleaseRHI() override { IndexBufferRHI.SafeRelease(); }
    FString GetFriendlyName() const override { return TEXT("FIndexBuffer"); }
};

// A texture resource: its RHI texture and its size.
class RENDERCORE_API FTexture : public FRenderResource {
public:
    FTextureRHIRef TextureRHI;

    ~FTexture() override {}
    virtual uint32 GetSizeX() const { return 0; }
    virtual uint32 GetSizeY() const { return 0; }
    void ReleaseRHI() override { TextureRHI.SafeRelease(); }
    FString GetFriendlyName() const override { return TEXT("FTexture"); }
};

#pragma once
// The render-thread copy of a primitive component; components make theirs in
// CreateSceneProxy, the scene owns it and deletes it on the render thread.
#include "CoreMinimal.h"

class UPrimitiveComponent;

class ENGINE_API FPrimitiveSceneProxy {
public:
    explicit FPrimitiveSceneProxy(const UPrimitiveComponent* InComponent, FName ResourceName = NAME_None);
    virtual ~FPrimitiveSceneProxy() = default;
    const FMatrix& GetLocalToWorld() const { return LocalToWorld; }
    const FBoxSphereBounds& GetBounds() const { return Bounds; }
    // Render thread: the scene passes the component's transform and bounds.
    void SetTransform(const FMatrix& InLocalToWorld, const FBoxSphereBounds& InBounds) { LocalToWorld = InLocalToWorld; Bounds = InBounds; }

private:
    FMatrix LocalToWorld;
    FBoxSphereBounds Bounds;
};

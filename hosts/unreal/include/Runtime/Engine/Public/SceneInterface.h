#pragma once
// The renderer's view of a world: primitives and lights added, updated and removed by
// their components on the game thread; the render-side lists change in render commands.
#include "CoreMinimal.h"
#include "RHIDefinitions.h"

class UWorld;
class UPrimitiveComponent;
class ULightComponent;
class FSkyLightSceneProxy;
class USceneCaptureComponent2D;

class ENGINE_API FSceneInterface {
public:
    virtual ~FSceneInterface() = default;
    virtual void AddPrimitive(UPrimitiveComponent* Primitive) = 0;
    virtual void RemovePrimitive(UPrimitiveComponent* Primitive) = 0;
    virtual void UpdatePrimitiveTransform(UPrimitiveComponent* Primitive) = 0;
    virtual void AddLight(ULightComponent* Light) = 0;
    virtual void RemoveLight(ULightComponent* Light) = 0;
    virtual void UpdateLightTransform(ULightComponent* Light) = 0;
    virtual void UpdateLightColorAndBrightness(ULightComponent* Light) = 0;
    virtual void SetSkyLight(FSkyLightSceneProxy* Light) = 0;
    virtual void DisableSkyLight(FSkyLightSceneProxy* Light) = 0;
    // Renders the scene from the capture component into its texture target (enqueued on the
    // render thread, after everything enqueued before).
    virtual void UpdateSceneCaptureContents(USceneCaptureComponent2D* CaptureComponent) = 0;
    virtual UWorld* GetWorld() const = 0;
    ERHIFeatureLevel::Type GetFeatureLevel() const { return ERHIFeatureLevel::SM5; }
    // Frees the scene after the render commands enqueued before.
    virtual void Release() = 0;
};

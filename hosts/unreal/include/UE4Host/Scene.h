#pragma once
// The stand-in renderer's scene: what the components added, kept on the render thread.
// The game thread changes it only through render commands.
#include "SceneInterface.h"
#include "Components/LightComponent.h"
#include "PrimitiveSceneProxy.h"

class ENGINE_API FScene final : public FSceneInterface {
public:
    struct FPrimitive {
        const UPrimitiveComponent* Component;
        FPrimitiveSceneProxy* Proxy; // owned
    };
    struct FLight {
        const ULightComponent* Component;
        ELightComponentType Type;
        FLinearColor Color; // linear colour times intensity
        FTransform Transform;
        float InnerConeAngle, OuterConeAngle; // degrees
        float AttenuationRadius;             // point and spot lights
    };

    explicit FScene(UWorld* InWorld) : World(InWorld) {}
    ~FScene() override;

    void AddPrimitive(UPrimitiveComponent* Primitive) override;
    void RemovePrimitive(UPrimitiveComponent* Primitive) override;
    void UpdatePrimitiveTransform(UPrimitiveComponent* Primitive) override;
    void AddLight(ULightComponent* Light) override;
    void RemoveLight(ULightComponent* Light) override;
    void UpdateLightTransform(ULightComponent* Light) override;
    void UpdateLightColorAndBrightness(ULightComponent* Light) override;
    void SetSkyLight(FSkyLightSceneProxy* Light) override;
    void DisableSkyLight(FSkyLightSceneProxy* Light) override;
    void UpdateSceneCaptureContents(USceneCaptureComponent2D* CaptureComponent) override;
    UWorld* GetWorld() const override { return World; }
    void Release() override;

    // Render thread.
    const TArray<FPrimitive>& GetPrimitives_RenderThread() const { return Primitives; }
    const TArray<FLight>& GetLights_RenderThread() const { return Lights; }
    FSkyLightSceneProxy* GetSkyLight_RenderThread() const { return SkyLight; }

private:
    static FLight Snapshot(const ULightComponent* Light);
    UWorld* World;
    TArray<FPrimitive> Primitives;
    TArray<FLight> Lights;
    FSkyLightSceneProxy* SkyLight = nullptr;
};

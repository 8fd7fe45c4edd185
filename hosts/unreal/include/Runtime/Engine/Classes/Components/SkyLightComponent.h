#pragma once
#include "Components/LightComponentBase.h"

class USkyLightComponent;

// Render-thread state of a sky light: its colour times intensity.
class ENGINE_API FSkyLightSceneProxy {
public:
    explicit FSkyLightSceneProxy(const USkyLightComponent* InLightComponent);
    const USkyLightComponent* LightComponent;
    FLinearColor LightColor;
};

class ENGINE_API USkyLightComponent : public ULightComponentBase {
    UE4HOST_DECLARE_CLASS(USkyLightComponent, ULightComponentBase, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    USkyLightComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    void SetLightColor(FLinearColor NewLightColor);
    void SetIntensity(float NewIntensity);
    bool ShouldCreateRenderState() const override { return true; }

    FSkyLightSceneProxy* SceneProxy = nullptr;

protected:
    void CreateRenderState_Concurrent() override;
    void DestroyRenderState_Concurrent() override;
    void UpdateLimitedRenderingStateFast();
};

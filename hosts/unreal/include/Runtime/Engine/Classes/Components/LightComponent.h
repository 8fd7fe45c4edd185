#pragma once
#include "Components/LightComponentBase.h"

enum ELightComponentType { LightType_Directional = 0, LightType_Point, LightType_Spot, LightType_MAX };

class ENGINE_API ULightComponent : public ULightComponentBase {
    UE4HOST_DECLARE_CLASS(ULightComponent, ULightComponentBase, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    ULightComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

    // The colour is stored as 8-bit sRGB when bSRGB (linear bytes otherwise).
    void SetLightColor(FLinearColor NewLightColor, bool bSRGB = true);
    void SetIntensity(float NewIntensity);
    virtual ELightComponentType GetLightType() const PURE_VIRTUAL(ULightComponent::GetLightType, return LightType_MAX;);
    bool ShouldCreateRenderState() const override { return true; }

protected:
    void CreateRenderState_Concurrent() override;
    void DestroyRenderState_Concurrent() override;
    void SendRenderTransform_Concurrent() override;
};

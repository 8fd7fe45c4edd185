#pragma once
#include "Components/PointLightComponent.h"

class ENGINE_API USpotLightComponent : public UPointLightComponent {
    UE4HOST_DECLARE_CLASS(USpotLightComponent, UPointLightComponent, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    USpotLightComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    ELightComponentType GetLightType() const override { return LightType_Spot; }
    // Angles in degrees, clamped to 0…89 as the engine does.
    void SetInnerConeAngle(float NewInnerConeAngle);
    void SetOuterConeAngle(float NewOuterConeAngle);

    float InnerConeAngle = 0.f;
    float OuterConeAngle = 44.f;
};

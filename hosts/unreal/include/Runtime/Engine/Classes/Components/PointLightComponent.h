#pragma once
#include "Components/LightComponent.h"

class ENGINE_API UPointLightComponent : public ULightComponent {
    UE4HOST_DECLARE_CLASS(UPointLightComponent, ULightComponent, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UPointLightComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    ELightComponentType GetLightType() const override { return LightType_Point; }

    float AttenuationRadius = 1000.f;
    float SourceRadius = 0.f;
};

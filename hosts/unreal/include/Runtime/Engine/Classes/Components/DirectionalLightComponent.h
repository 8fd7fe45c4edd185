#pragma once
#include "Components/LightComponent.h"

class ENGINE_API UDirectionalLightComponent : public ULightComponent {
    UE4HOST_DECLARE_CLASS(UDirectionalLightComponent, ULightComponent, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UDirectionalLightComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    ELightComponentType GetLightType() const override { return LightType_Directional; }
};

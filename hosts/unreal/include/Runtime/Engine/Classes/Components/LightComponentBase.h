#pragma once
#include "Components/SceneComponent.h"

class ENGINE_API ULightComponentBase : public USceneComponent {
    UE4HOST_DECLARE_CLASS(ULightComponentBase, USceneComponent, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    ULightComponentBase(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    FLinearColor GetLightColor() const { return FLinearColor(LightColor); }

    float Intensity = 0.f;
    FColor LightColor;
    uint32 bAffectsWorld : 1;
    uint32 CastShadows : 1;
};

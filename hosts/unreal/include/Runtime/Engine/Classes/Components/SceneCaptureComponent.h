#pragma once
#include "Components/SceneComponent.h"
#include "ShowFlags.h"

class ENGINE_API USceneCaptureComponent : public USceneComponent {
    UE4HOST_DECLARE_CLASS(USceneCaptureComponent, USceneComponent, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    USceneCaptureComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

    bool bCaptureEveryFrame = true;
    bool bCaptureOnMovement = true;
    bool bAlwaysPersistRenderingState = false;
    // What the capture draws (wireframe among the flags).
    FEngineShowFlags ShowFlags{ESFIM_Game};
};

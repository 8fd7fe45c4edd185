#pragma once
#include "Components/SceneCaptureComponent.h"

class UTextureRenderTarget2D;

enum ESceneCaptureSource {
    SCS_SceneColorHDR = 0,
    SCS_SceneColorHDRNoAlpha = 1,
    SCS_FinalColorLDR = 2,
    SCS_SceneColorSceneDepth = 3,
    SCS_SceneDepth = 4,
    SCS_DeviceDepth = 5,
    SCS_Normal = 6,
    SCS_BaseColor = 7,
};
namespace ECameraProjectionMode { enum Type { Perspective, Orthographic }; }

class ENGINE_API USceneCaptureComponent2D : public USceneCaptureComponent {
    UE4HOST_DECLARE_CLASS(USceneCaptureComponent2D, USceneCaptureComponent, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    USceneCaptureComponent2D(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    static void AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector);
    // Renders the world's scene into TextureTarget (UpdateSceneCaptureContents of the scene).
    void CaptureScene();
    // Asks for a capture when the world's scene next draws its views (the end of the frame).
    void CaptureSceneDeferred();
    // Renders the captures asked for with CaptureSceneDeferred in Scene's world.
    static void UpdateDeferredCaptures(FSceneInterface* Scene);

    TEnumAsByte<ECameraProjectionMode::Type> ProjectionType;
    float FOVAngle = 90.f;
    float OrthoWidth = 512.f;
    UTextureRenderTarget2D* TextureTarget = nullptr;
    TEnumAsByte<ESceneCaptureSource> CaptureSource;
    bool bUseCustomProjectionMatrix = false;
    FMatrix CustomProjectionMatrix;

protected:
    // A capture that moves captures again (bCaptureOnMovement, on by default as in the engine).
    void OnUpdateTransform(EUpdateTransformFlags UpdateTransformFlags, ETeleportType Teleport = ETeleportType::None) override;
    void OnUnregister() override;
};

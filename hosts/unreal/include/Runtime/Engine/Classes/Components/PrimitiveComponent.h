#pragma once
#include "Components/SceneComponent.h"

class FPrimitiveSceneProxy;
class UMaterialInterface;

class ENGINE_API UPrimitiveComponent : public USceneComponent {
    UE4HOST_DECLARE_CLASS(UPrimitiveComponent, USceneComponent, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UPrimitiveComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

    // The render-thread representation; null draws nothing.
    virtual FPrimitiveSceneProxy* CreateSceneProxy() { return nullptr; }
    virtual UMaterialInterface* GetMaterial(int32 ElementIndex) const { (void)ElementIndex; return nullptr; }
    virtual void SetMaterial(int32 ElementIndex, UMaterialInterface* Material) { (void)ElementIndex; (void)Material; }
    virtual int32 GetNumMaterials() const { return 0; }
    bool ShouldCreatePhysicsState() const override;
    bool ShouldCreateRenderState() const override { return true; }
    // Invisible primitives are not added to the scene when the render state is created.
    virtual bool ShouldComponentAddToScene() const { return IsVisible(); }

    float BoundsScale = 1.0f;
    uint8 CastShadow : 1;
    uint8 bRenderInMainPass : 1;
    uint8 bRenderCustomDepth : 1;
    uint8 bReceivesDecals : 1;
    FPrimitiveSceneProxy* SceneProxy = nullptr;

protected:
    void CreateRenderState_Concurrent() override;
    void DestroyRenderState_Concurrent() override;
    void SendRenderTransform_Concurrent() override;

private:
    bool bAddedToScene = false;
};
UE4HOST_DECLARE_CONSTRUCT(ENGINE_API, UPrimitiveComponent)

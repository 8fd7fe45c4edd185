// Light components: colour and intensity reach the scene without recreating the light.
#include "Components/DirectionalLightComponent.h"
#include "Components/SpotLightComponent.h"
#include "Components/SkyLightComponent.h"
#include "RenderingThread.h"
#include "SceneInterface.h"

UE4HOST_IMPLEMENT_CLASS(ULightComponentBase)
UE4HOST_IMPLEMENT_CLASS(ULightComponent)
UE4HOST_IMPLEMENT_CLASS(UDirectionalLightComponent)
UE4HOST_IMPLEMENT_CLASS(UPointLightComponent)
UE4HOST_IMPLEMENT_CLASS(USpotLightComponent)
UE4HOST_IMPLEMENT_CLASS(USkyLightComponent)

ULightComponentBase::ULightComponentBase(const FObjectInitializer& ObjectInitializer)
    : USceneComponent(ObjectInitializer), Intensity(1.f), LightColor(FColor::White), bAffectsWorld(true), CastShadows(true) {}

ULightComponent::ULightComponent(const FObjectInitializer& ObjectInitializer) : ULightComponentBase(ObjectInitializer) {}

void ULightComponent::SetLightColor(FLinearColor NewLightColor, bool bSRGB) {
    const FColor NewColor = NewLightColor.ToFColor(bSRGB);
    if (LightColor == NewColor) return;
    LightColor = NewColor;
    if (bRenderStateCreated && GetScene()) GetScene()->UpdateLightColorAndBrightness(this);
}

void ULightComponent::SetIntensity(float NewIntensity) {
    if (Intensity == NewIntensity) return;
    Intensity = NewIntensity;
    if (bRenderStateCreated && GetScene()) GetScene()->UpdateLightColorAndBrightness(this);
}

void ULightComponent::CreateRenderState_Concurrent() {
    ULightComponentBase::CreateRenderState_Concurrent();
    if (bAffectsWorld && IsVisible()) GetScene()->AddLight(this);
}
void ULightComponent::DestroyRenderState_Concurrent() {
    GetScene()->RemoveLight(this);
    ULightComponentBase::DestroyRenderState_Concurrent();
}
void ULightComponent::SendRenderTransform_Concurrent() {
    GetScene()->UpdateLightTransform(this);
    ULightComponentBase::SendRenderTransform_Concurrent();
}

UDirectionalLightComponent::UDirectionalLightComponent(const FObjectInitializer& ObjectInitializer) : ULightComponent(ObjectInitializer) {
    Intensity = 10.f;
}
UPointLightComponent::UPointLightComponent(const FObjectInitializer& ObjectInitializer) : ULightComponent(ObjectInitializer) {
    Intensity = 5000.f;
}
USpotLightComponent::USpotLightComponent(const FObjectInitializer& ObjectInitializer) : UPointLightComponent(ObjectInitializer) {}

void USpotLightComponent::SetInnerConeAngle(float NewInnerConeAngle) {
    NewInnerConeAngle = FMath::Clamp(NewInnerConeAngle, 0.f, 89.f);
    if (NewInnerConeAngle == InnerConeAngle) return;
    InnerConeAngle = NewInnerConeAngle;
    MarkRenderStateDirty();
}
void USpotLightComponent::SetOuterConeAngle(float NewOuterConeAngle) {
    NewOuterConeAngle = FMath::Clamp(NewOuterConeAngle, 0.f, 89.f);
    if (NewOuterConeAngle == OuterConeAngle) return;
    OuterConeAngle = NewOuterConeAngle;
    MarkRenderStateDirty();
}

FSkyLightSceneProxy::FSkyLightSceneProxy(const USkyLightComponent* InLightComponent)
    : LightComponent(InLightComponent), LightColor(InLightComponent->GetLightColor() * InLightComponent->Intensity) {}

USkyLightComponent::USkyLightComponent(const FObjectInitializer& ObjectInitializer) : ULightComponentBase(ObjectInitializer) {}

void USkyLightComponent::SetLightColor(FLinearColor NewLightColor) {
    const FColor NewColor = NewLightColor.ToFColor(true);
    if (LightColor == NewColor) return;
    LightColor = NewColor;
    UpdateLimitedRenderingStateFast();
}
void USkyLightComponent::SetIntensity(float NewIntensity) {
    if (Intensity == NewIntensity) return;
    Intensity = NewIntensity;
    UpdateLimitedRenderingStateFast();
}

void USkyLightComponent::UpdateLimitedRenderingStateFast() {
    if (!SceneProxy) return;
    FSkyLightSceneProxy* Proxy = SceneProxy;
    const FLinearColor Color = GetLightColor() * Intensity;
    ENQUEUE_RENDER_COMMAND(FFastUpdateSkyLightCommand)([Proxy, Color](FRHICommandListImmediate&) { Proxy->LightColor = Color; });
}

void USkyLightComponent::CreateRenderState_Concurrent() {
    ULightComponentBase::CreateRenderState_Concurrent();
    if (bAffectsWorld && IsVisible()) {
        SceneProxy = new FSkyLightSceneProxy(this);
        GetScene()->SetSkyLight(SceneProxy);
    }
}
void USkyLightComponent::DestroyRenderState_Concurrent() {
    if (SceneProxy) {
        FSkyLightSceneProxy* Proxy = SceneProxy;
        GetScene()->DisableSkyLight(Proxy);
        ENQUEUE_RENDER_COMMAND(FDestroySkyLightCommand)([Proxy](FRHICommandListImmediate&) { delete Proxy; });
        SceneProxy = nullptr;
    }
    ULightComponentBase::DestroyRenderState_Concurrent();
}

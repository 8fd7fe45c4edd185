// The scene's primitive and light lists, changed in render commands.
#include "UE4Host/Scene.h"
#include "Components/PrimitiveComponent.h"
#include "Components/SpotLightComponent.h"
#include "Components/SkyLightComponent.h"
#include "RenderingThread.h"
#include "Engine/World.h"

DEFINE_LOG_CATEGORY_STATIC(LogScene, Log, All)

FScene::~FScene() {
    for (FPrimitive& P : Primitives) delete P.Proxy;
}

void FScene::AddPrimitive(UPrimitiveComponent* Primitive) {
    FPrimitiveSceneProxy* Proxy = Primitive->CreateSceneProxy();
    Primitive->SceneProxy = Proxy;
    FScene* Scene = this;
    ENQUEUE_RENDER_COMMAND(AddPrimitiveCommand)([Scene, Primitive, Proxy](FRHICommandListImmediate&) {
        Scene->Primitives.Add(FPrimitive{Primitive, Proxy});
    });
}

void FScene::RemovePrimitive(UPrimitiveComponent* Primitive) {
    Primitive->SceneProxy = nullptr;
    FScene* Scene = this;
    ENQUEUE_RENDER_COMMAND(RemovePrimitiveCommand)([Scene, Primitive](FRHICommandListImmediate&) {
        for (int32 I = 0; I < Scene->Primitives.Num(); ++I)
            if (Scene->Primitives[I].Component == Primitive) {
                delete Scene->Primitives[I].Proxy;
                Scene->Primitives.RemoveAt(I);
                return;
            }
    });
}

void FScene::UpdatePrimitiveTransform(UPrimitiveComponent* Primitive) {
    FPrimitiveSceneProxy* Proxy = Primitive->SceneProxy;
    if (!Proxy) return;
    const FMatrix LocalToWorld = Primitive->GetComponentTransform().ToMatrixWithScale();
    const FBoxSphereBounds Bounds = Primitive->Bounds;
    const FBoxSphereBounds LocalBounds = Primitive->CalcBounds(FTransform::Identity);
    ENQUEUE_RENDER_COMMAND(UpdateTransformCommand)([Proxy, LocalToWorld, Bounds, LocalBounds](FRHICommandListImmediate&) {
        Proxy->SetTransform(LocalToWorld, Bounds, LocalBounds);
    });
}

FScene::FLight FScene::Snapshot(const ULightComponent* Light) {
    FLight L{Light, Light->GetLightType(), Light->GetLightColor() * Light->Intensity, Light->GetComponentTransform(), 0.f, 0.f, 0.f};
    if (const UPointLightComponent* Point = Cast<UPointLightComponent>(Light)) L.AttenuationRadius = Point->AttenuationRadius;
    if (const USpotLightComponent* Spot = Cast<USpotLightComponent>(Light)) {
        L.InnerConeAngle = Spot->InnerConeAngle;
        L.OuterConeAngle = Spot->OuterConeAngle;
    }
    return L;
}

void FScene::AddLight(ULightComponent* Light) {
    FScene* Scene = this;
    const FLight L = Snapshot(Light);
    ENQUEUE_RENDER_COMMAND(AddLightCommand)([Scene, L](FRHICommandListImmediate&) { Scene->Lights.Add(L); });
}

void FScene::RemoveLight(ULightComponent* Light) {
    FScene* Scene = this;
    ENQUEUE_RENDER_COMMAND(RemoveLightCommand)([Scene, Light](FRHICommandListImmediate&) {
        Scene->Lights.RemoveAll([Light](const FLight& L) { return L.Component == Light; });
    });
}

void FScene::UpdateLightTransform(ULightComponent* Light) { UpdateLightColorAndBrightness(Light); }

void FScene::UpdateLightColorAndBrightness(ULightComponent* Light) {
    FScene* Scene = this;
    const FLight L = Snapshot(Light);
    ENQUEUE_RENDER_COMMAND(UpdateLightCommand)([Scene, L](FRHICommandListImmediate&) {
        for (FLight& Existing : Scene->Lights)
            if (Existing.Component == L.Component) Existing = L;
    });
}

void FScene::SetSkyLight(FSkyLightSceneProxy* Light) {
    FScene* Scene = this;
    ENQUEUE_RENDER_COMMAND(SetSkyLightCommand)([Scene, Light](FRHICommandListImmediate&) { Scene->SkyLight = Light; });
}

void FScene::DisableSkyLight(FSkyLightSceneProxy* Light) {
    FScene* Scene = this;
    ENQUEUE_RENDER_COMMAND(DisableSkyLightCommand)([Scene, Light](FRHICommandListImmediate&) {
        if (Scene->SkyLight == Light) Scene->SkyLight = nullptr;
    });
}

void FScene::Release() {
    // No component may still be registered to the scene that goes: its proxy would point
    // into freed memory and its next update would reach a scene that is gone. (The engine
    // reports this with an ensure; here it stops the program, so that a test sees it.)
    if (World)
        for (UActorComponent* Component : World->GetRegisteredComponents())
            if (Component->IsRegistered() && Component->GetScene() == this) {
                UE_LOG(LogScene, Error, TEXT("Component %s is still registered to the scene of world %s, which is released"),
                       *Component->GetPathName(), *World->GetPathName());
                check(!"a component is still registered to a released scene");
            }
    FScene* Scene = this;
    ENQUEUE_RENDER_COMMAND(ReleaseSceneCommand)([Scene](FRHICommandListImmediate&) { delete Scene; });
}

#pragma once
#include "CoreUObject.h"

class UWorld;
class USceneComponent;

class ENGINE_API AActor : public UObject {
    UE4HOST_DECLARE_CLASS(AActor, UObject, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    AActor();
    AActor(const FObjectInitializer& ObjectInitializer);

    UWorld* GetWorld() const override;
    USceneComponent* GetRootComponent() const { return RootComponent; }
    bool Destroy();
    static void AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector);

    uint8 bHidden : 1;
    uint8 bCanBeDamaged : 1;
    uint8 bHiddenEd : 1;
    uint8 bHiddenEdLayer : 1;
    uint8 bHiddenEdLevel : 1;
    uint8 bListedInSceneOutliner : 1;
    uint8 bEditable : 1;
    uint8 bLockLocation : 1;
    uint8 bActorLabelEditable : 1;
    USceneComponent* RootComponent = nullptr;

private:
    void InitFlags();
};
UE4HOST_DECLARE_CONSTRUCT(ENGINE_API, AActor)

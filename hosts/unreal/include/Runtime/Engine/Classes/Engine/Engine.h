#pragma once
#include "CoreUObject.h"
#include "Engine/World.h"

class UMaterial;

struct ENGINE_API FWorldContext {
    TEnumAsByte<EWorldType::Type> WorldType;
    FName ContextHandle;
    UWorld* World() const { return ThisCurrentWorld; }
    void SetCurrentWorld(UWorld* World) { ThisCurrentWorld = World; }

private:
    UWorld* ThisCurrentWorld = nullptr;
};

class ENGINE_API UEngine : public UObject {
    UE4HOST_DECLARE_CLASS(UEngine, UObject, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UEngine(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    ~UEngine() override;

    virtual void Init();
    virtual void Tick(float DeltaSeconds, bool bIdleMode);
    // The frame rate the loop holds: FixedFrameRate when bUseFixedFrameRate, else 120.
    virtual float GetMaxTickRate(float DeltaTime, bool bAllowFrameRateSmoothing = true) const;

    FWorldContext& CreateNewWorldContext(EWorldType::Type WorldType);
    void DestroyWorldContext(UWorld* InWorld);
    const TArray<FWorldContext*>& GetWorldContexts() const { return WorldList; }
    static void AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector);

    uint32 bUseFixedFrameRate : 1;
    uint32 bSmoothFrameRate : 1;
    float FixedFrameRate = 30.f;
    UMaterial* WireframeMaterial = nullptr;
    UMaterial* DefaultMaterial = nullptr;

protected:
    TArray<FWorldContext*> WorldList;
};

extern ENGINE_API UEngine* GEngine;

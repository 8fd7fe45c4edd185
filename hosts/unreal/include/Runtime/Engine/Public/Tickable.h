#pragma once
// Objects ticked once per engine frame. The base constructor enters the object into the
// engine's list, the base destructor takes it out.
#include "CoreMinimal.h"

class UWorld;

enum ELevelTick { LEVELTICK_TimeOnly = 0, LEVELTICK_ViewportsOnly = 1, LEVELTICK_All = 2, LEVELTICK_PauseTick = 3 };

class FTickableObjectBase {
public:
    virtual void Tick(float DeltaTime) = 0;
    virtual bool IsTickable() const = 0;
    virtual TStatId GetStatId() const = 0;
};

class ENGINE_API FTickableGameObject : public FTickableObjectBase {
public:
    FTickableGameObject();
    virtual ~FTickableGameObject();
    virtual bool IsTickableWhenPaused() const { return false; }
    virtual bool IsTickableInEditor() const { return false; }
    virtual UWorld* GetTickableGameObjectWorld() const { return nullptr; }

    // Ticks every object that belongs to World (null: to no world) and may tick now: in
    // the editor those tickable in the editor; in a game world those not paused or
    // tickable when paused. Objects added or removed meanwhile are handled safely.
    static void TickObjects(UWorld* World, int32 TickType, bool bIsPaused, float DeltaSeconds);
};

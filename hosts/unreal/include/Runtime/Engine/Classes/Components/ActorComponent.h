#pragma once
#include "CoreUObject.h"
#include "Containers/EnumAsByte.h"

class AActor;
class UWorld;
class FSceneInterface;

class ENGINE_API UActorComponent : public UObject {
    UE4HOST_DECLARE_CLASS(UActorComponent, UObject, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UActorComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

    // Registers with a world: the component gets its render state (and physics state)
    // there. Nothing happens for a registered or pending-kill component or a null world.
    void RegisterComponentWithWorld(UWorld* InWorld);
    void RegisterComponent();
    void UnregisterComponent();
    bool IsRegistered() const { return bRegistered; }

    void RecreateRenderState_Concurrent();
    void RecreatePhysicsState();
    void MarkRenderStateDirty();
    void MarkRenderTransformDirty();
    void MarkRenderDynamicDataDirty();
    bool IsRenderStateCreated() const { return bRenderStateCreated; }
    bool IsRenderStateDirty() const { return bRenderStateDirty; }
    bool IsPhysicsStateCreated() const { return bPhysicsStateCreated; }
    // The end-of-frame step: recreates a dirty render state, or sends transform and data.
    void DoDeferredRenderUpdates_Concurrent();

    virtual bool ShouldCreatePhysicsState() const { return false; }
    virtual bool ShouldCreateRenderState() const { return false; }

    AActor* GetOwner() const { return OwnerPrivate; }
    UWorld* GetWorld() const override { return WorldPrivate; }
    FSceneInterface* GetScene() const;
    void BeginDestroy() override;

protected:
    virtual void OnRegister();
    virtual void OnUnregister();
    virtual void CreateRenderState_Concurrent();
    virtual void DestroyRenderState_Concurrent();
    virtual void SendRenderTransform_Concurrent();
    virtual void SendRenderDynamicData_Concurrent();
    virtual void CreatePhysicsState();
    virtual void DestroyPhysicsState();
    void MarkForNeededEndOfFrameUpdate();

    uint8 bRegistered : 1;
    uint8 bRenderStateCreated : 1;
    uint8 bPhysicsStateCreated : 1;
    uint8 bRenderStateDirty : 1;
    uint8 bRenderTransformDirty : 1;
    uint8 bRenderDynamicDataDirty : 1;
    UWorld* WorldPrivate = nullptr;
    AActor* OwnerPrivate = nullptr;
};
UE4HOST_DECLARE_CONSTRUCT(ENGINE_API, UActorComponent)

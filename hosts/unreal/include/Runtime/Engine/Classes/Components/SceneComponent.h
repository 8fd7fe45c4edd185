#pragma once
#include "Components/ActorComponent.h"

struct FHitResult;
enum class ETeleportType : uint8 { None, TeleportPhysics };
enum class EUpdateTransformFlags : int32 { None = 0x0, SkipPhysicsUpdate = 0x1, PropagateFromParent = 0x2, OnlyUpdateIfUsingSocket = 0x4 };
namespace EComponentMobility { enum Type { Static, Stationary, Movable }; }

// A component with a transform. The stand-in has no attachment: the relative transform is
// the world transform.
class ENGINE_API USceneComponent : public UActorComponent {
    UE4HOST_DECLARE_CLASS(USceneComponent, UActorComponent, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    USceneComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

    void SetWorldTransform(const FTransform& NewTransform, bool bSweep = false, FHitResult* OutSweepHitResult = nullptr,
                           ETeleportType Teleport = ETeleportType::None);
    void SetRelativeTransform(const FTransform& NewTransform, bool bSweep = false, FHitResult* OutSweepHitResult = nullptr,
                              ETeleportType Teleport = ETeleportType::None) { SetWorldTransform(NewTransform, bSweep, OutSweepHitResult, Teleport); }
    const FTransform& GetComponentTransform() const { return ComponentToWorld; }
    FVector GetComponentLocation() const { return ComponentToWorld.GetLocation(); }
    FQuat GetComponentQuat() const { return ComponentToWorld.GetRotation(); }
    FVector GetComponentScale() const { return ComponentToWorld.GetScale3D(); }
    // Sets the world transform directly, without moving the component or notifying anyone.
    void SetComponentToWorld(const FTransform& NewComponentToWorld) { ComponentToWorld = NewComponentToWorld; }
    void UpdateComponentToWorld();

    virtual FBoxSphereBounds CalcBounds(const FTransform& LocalToWorld) const;
    void UpdateBounds();
    bool IsVisible() const { return bVisible; }
    void SetVisibility(bool bNewVisibility, bool bPropagateToChildren = false);

    FBoxSphereBounds Bounds;
    uint8 bVisible : 1;
    uint8 bHiddenInGame : 1;
    TEnumAsByte<EComponentMobility::Type> Mobility;

protected:
    void OnRegister() override;
    // Called after every change of the component's world transform.
    virtual void OnUpdateTransform(EUpdateTransformFlags UpdateTransformFlags, ETeleportType Teleport = ETeleportType::None);

private:
    FTransform RelativeTransform;
    FTransform ComponentToWorld;
};
UE4HOST_DECLARE_CONSTRUCT(ENGINE_API, USceneComponent)

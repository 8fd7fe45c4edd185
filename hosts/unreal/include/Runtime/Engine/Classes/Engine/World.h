#pragma once
#include "CoreUObject.h"
#include "Containers/EnumAsByte.h"
#include "Math/Quat.h"

class AActor;
class UActorComponent;
class FSceneInterface;
class ULevel;

// World events. OnWorldCleanup is broadcast when a world is cleaned up before it is
// destroyed (a new or opened level replaces the editor world, the editor exits), while its
// scene still exists.
class ENGINE_API FWorldDelegates {
public:
    DECLARE_MULTICAST_DELEGATE_ThreeParams(FWorldCleanupEvent, UWorld* /*World*/, bool /*bSessionEnded*/, bool /*bCleanupResources*/)
    static FWorldCleanupEvent OnWorldCleanup;
};

namespace EWorldType { enum Type { None, Game, Editor, PIE, EditorPreview, GamePreview, Inactive }; }
enum class ESpawnActorCollisionHandlingMethod : uint8 { Undefined, AlwaysSpawn, AdjustIfPossibleButAlwaysSpawn, AdjustIfPossibleButDontSpawnIfColliding, DontSpawnIfColliding };

struct FActorSpawnParameters {
    FActorSpawnParameters()
        : bNoFail(false), bDeferConstruction(false), bAllowDuringConstructionScript(false) {}
    FName Name;
    AActor* Template = nullptr;
    AActor* Owner = nullptr;
    class APawn* Instigator = nullptr;
    ULevel* OverrideLevel = nullptr;
    ESpawnActorCollisionHandlingMethod SpawnCollisionHandlingOverride = ESpawnActorCollisionHandlingMethod::Undefined;
    uint16 bNoFail : 1;
    uint16 bDeferConstruction : 1;
    uint16 bAllowDuringConstructionScript : 1;
    EObjectFlags ObjectFlags = RF_Transactional;
};

class ENGINE_API UWorld : public UObject {
    UE4HOST_DECLARE_CLASS(UWorld, UObject, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UWorld(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

    // A new world in its own package "/Temp/Untitled_N", with its scene.
    static UWorld* CreateWorld(const EWorldType::Type InWorldType, bool bInformEngineOfWorld, FName WorldName = NAME_None,
                               UPackage* InWorldPackage = nullptr, bool bAddToRoot = true);
    // As the engine tears a world down: OnWorldCleanup, then the components of the world's
    // actors are unregistered (components registered without an owner are not: whoever
    // registered them unregisters them on OnWorldCleanup) and the scene is released, which
    // checks that no component is still registered to it.
    void DestroyWorld(bool bInformEngineOfWorld, UWorld* NewWorld = nullptr);

    AActor* SpawnActor(UClass* Class, FVector const* Location = nullptr, FRotator const* Rotation = nullptr,
                       const FActorSpawnParameters& SpawnParameters = FActorSpawnParameters());
    AActor* SpawnActor(UClass* Class, FTransform const* Transform, const FActorSpawnParameters& SpawnParameters = FActorSpawnParameters());
    template <class T> T* SpawnActor(const FActorSpawnParameters& SpawnParameters = FActorSpawnParameters()) {
        return Cast<T>(SpawnActor(T::StaticClass(), nullptr, nullptr, SpawnParameters));
    }
    template <class T> T* SpawnActor(UClass* Class, const FActorSpawnParameters& SpawnParameters = FActorSpawnParameters()) {
        return Cast<T>(SpawnActor(Class, nullptr, nullptr, SpawnParameters));
    }
    template <class T> T* SpawnActor(UClass* Class, FVector const* Location, FRotator const* Rotation,
                                     const FActorSpawnParameters& SpawnParameters = FActorSpawnParameters()) {
        return Cast<T>(SpawnActor(Class, Location, Rotation, SpawnParameters));
    }
    template <class T> T* SpawnActor(FVector const& Location, FRotator const& Rotation, const FActorSpawnParameters& SpawnParameters = FActorSpawnParameters()) {
        return Cast<T>(SpawnActor(T::StaticClass(), &Location, &Rotation, SpawnParameters));
    }
    bool DestroyActor(AActor* Actor, bool bNetForce = false, bool bShouldModifyLevel = true);

    // Sends every component update requested this frame to the renderer.
    void SendAllEndOfFrameUpdates();
    void MarkActorComponentForNeededEndOfFrameUpdate(UActorComponent* Component, bool bForceGameThread);
    void ClearActorComponentEndOfFrameUpdate(UActorComponent* Component);

    FSceneInterface* GetScene() const { return Scene; }
    UWorld* GetWorld() const override { return const_cast<UWorld*>(this); }
    bool IsGameWorld() const { return WorldType == EWorldType::Game || WorldType == EWorldType::PIE; }
    const TArray<AActor*>& GetActors() const { return Actors; }
    const TArray<UActorComponent*>& GetRegisteredComponents() const { return RegisteredComponents; }
    static void AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector);

    // Component registration keeps this list (the world's view of what it holds).
    void AddRegisteredComponent(UActorComponent* Component) { RegisteredComponents.AddUnique(Component); }
    void RemoveRegisteredComponent(UActorComponent* Component) { RegisteredComponents.Remove(Component); }

    FSceneInterface* Scene = nullptr;
    TEnumAsByte<EWorldType::Type> WorldType;

private:
    TArray<AActor*> Actors;
    TArray<UActorComponent*> RegisteredComponents;
    TArray<UActorComponent*> ComponentsThatNeedEndOfFrameUpdate;
};

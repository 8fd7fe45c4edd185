// Worlds: actors, registered components, end-of-frame updates and the scene.
#include "Engine/World.h"
#include "Engine/Engine.h"
#include "GameFramework/Actor.h"
#include "Components/SceneComponent.h"
#include "Scene.h"

UE4HOST_IMPLEMENT_CLASS(UWorld)
UE4HOST_IMPLEMENT_CLASS(AActor)

UWorld::UWorld(const FObjectInitializer& ObjectInitializer) : UObject(ObjectInitializer) {}

UWorld* UWorld::CreateWorld(const EWorldType::Type InWorldType, bool bInformEngineOfWorld, FName WorldName, UPackage* InWorldPackage, bool bAddToRoot) {
    static int32 Untitled = 0;
    if (WorldName.IsNone()) WorldName = FName(*FString::Printf(TEXT("Untitled_%d"), ++Untitled));
    if (!InWorldPackage) InWorldPackage = CreatePackage(nullptr, *(FString(TEXT("/Temp/")) + WorldName.ToString()));
    UWorld* World = NewObject<UWorld>(InWorldPackage, WorldName, RF_Transactional);
    World->WorldType = InWorldType;
    World->Scene = new FScene(World);
    if (bAddToRoot) World->AddToRoot();
    if (bInformEngineOfWorld && GEngine) GEngine->CreateNewWorldContext(InWorldType).SetCurrentWorld(World);
    return World;
}

FWorldDelegates::FWorldCleanupEvent FWorldDelegates::OnWorldCleanup;

void UWorld::DestroyWorld(bool bInformEngineOfWorld, UWorld*) {
    FWorldDelegates::OnWorldCleanup.Broadcast(this, true, true);
    // The level's components: those of the world's actors. Owner-less ones stay registered.
    for (UActorComponent* Component : TArray<UActorComponent*>(RegisteredComponents))
        if (Component->GetOwner() && Actors.Contains(Component->GetOwner())) Component->UnregisterComponent();
    ComponentsThatNeedEndOfFrameUpdate.Empty();
    for (AActor* Actor : Actors) Actor->MarkPendingKill();
    Actors.Empty();
    if (Scene) {
        Scene->Release();
        Scene = nullptr;
    }
    if (bInformEngineOfWorld && GEngine) GEngine->DestroyWorldContext(this);
    RemoveFromRoot();
}

AActor* UWorld::SpawnActor(UClass* Class, FVector const* Location, FRotator const* Rotation, const FActorSpawnParameters& SpawnParameters) {
    if (!Class || !Class->IsChildOf(AActor::StaticClass()) || Class->HasAnyClassFlags(CLASS_Abstract)) return nullptr;
    FTransform Transform;
    if (Location) Transform.SetLocation(*Location);
    if (Rotation) Transform.SetRotation(Rotation->Quaternion());
    (void)Transform; // actors without a root component have nowhere to keep it
    if (!SpawnParameters.Name.IsNone() && StaticFindObjectFast(nullptr, this, SpawnParameters.Name)) return nullptr;
    AActor* Actor = NewObject<AActor>(this, Class, SpawnParameters.Name, SpawnParameters.ObjectFlags);
    Actors.Add(Actor);
    return Actor;
}

AActor* UWorld::SpawnActor(UClass* Class, FTransform const* Transform, const FActorSpawnParameters& SpawnParameters) {
    FVector Location = Transform ? Transform->GetLocation() : FVector::ZeroVector;
    return SpawnActor(Class, &Location, nullptr, SpawnParameters);
}

bool UWorld::DestroyActor(AActor* Actor, bool, bool) {
    if (!Actor || Actors.Remove(Actor) == 0) return false;
    Actor->MarkPendingKill();
    return true;
}

void UWorld::MarkActorComponentForNeededEndOfFrameUpdate(UActorComponent* Component, bool) {
    ComponentsThatNeedEndOfFrameUpdate.AddUnique(Component);
}
void UWorld::ClearActorComponentEndOfFrameUpdate(UActorComponent* Component) { ComponentsThatNeedEndOfFrameUpdate.Remove(Component); }

void UWorld::SendAllEndOfFrameUpdates() {
    // Updates may ask for more updates; each pass takes the list as it stands.
    while (ComponentsThatNeedEndOfFrameUpdate.Num()) {
        TArray<UActorComponent*> Pending = ComponentsThatNeedEndOfFrameUpdate;
        ComponentsThatNeedEndOfFrameUpdate.Empty();
        for (UActorComponent* Component : Pending) Component->DoDeferredRenderUpdates_Concurrent();
    }
}

void UWorld::AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector) {
    UWorld* This = static_cast<UWorld*>(InThis);
    // References to actors marked for destruction are dropped, as the engine clears them.
    This->Actors.RemoveAll([](AActor* A) { return A->IsPendingKill(); });
    Collector.AddReferencedObjects(This->Actors, This);
    Collector.AddReferencedObjects(This->RegisteredComponents, This);
}

AActor::AActor() : UObject(FObjectInitializer::Get()) { InitFlags(); }
AActor::AActor(const FObjectInitializer& ObjectInitializer) : UObject(ObjectInitializer) { InitFlags(); }

void AActor::InitFlags() {
    bHidden = false;
    bCanBeDamaged = true;
    bHiddenEd = false;
    bHiddenEdLayer = false;
    bHiddenEdLevel = false;
    bListedInSceneOutliner = true;
    bEditable = true;
    bLockLocation = false;
    bActorLabelEditable = true;
}

UWorld* AActor::GetWorld() const {
    for (UObject* O = GetOuter(); O; O = O->GetOuter())
        if (UWorld* W = Cast<UWorld>(O)) return W;
    return nullptr;
}

bool AActor::Destroy() {
    UWorld* World = GetWorld();
    return World && World->DestroyActor(this);
}

void AActor::AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector) {
    Collector.AddReferencedObject(static_cast<AActor*>(InThis)->RootComponent, InThis);
}

// The engine and editor objects: world contexts, the editor world and its replacement,
// the engine's own materials.
#include "Editor.h"
#include "Materials/Material.h"
#include "Components/SceneCaptureComponent2D.h"

UEngine* GEngine = nullptr;
UEditorEngine* GEditor = nullptr;

UE4HOST_IMPLEMENT_CLASS(UEngine)
UE4HOST_IMPLEMENT_CLASS(UEditorEngine)

UEngine::UEngine(const FObjectInitializer& ObjectInitializer) : UObject(ObjectInitializer), bUseFixedFrameRate(false), bSmoothFrameRate(false) {}

UEngine::~UEngine() {
    for (FWorldContext* Context : WorldList) delete Context;
}

void UEngine::Init() {
    // The engine's materials live in the engine's content, which the stand-in makes in memory.
    UPackage* Engine = CreatePackage(nullptr, TEXT("/Engine/EngineMaterials/WorldGridMaterial"));
    DefaultMaterial = NewObject<UMaterial>(Engine, FName(TEXT("WorldGridMaterial")), RF_Public | RF_Standalone);
    DefaultMaterial->BaseColorConstant = FLinearColor(0.5f, 0.5f, 0.5f, 1.f);
    UPackage* Debug = CreatePackage(nullptr, TEXT("/Engine/EngineDebugMaterials/WireframeMaterial"));
    WireframeMaterial = NewObject<UMaterial>(Debug, FName(TEXT("WireframeMaterial")), RF_Public | RF_Standalone);
    WireframeMaterial->Wireframe = true;
    WireframeMaterial->BaseColorConstant = FLinearColor(1.f, 1.f, 1.f, 1.f);
}

void UEngine::Tick(float, bool) {}

// Without a fixed rate the editor still does not spin faster than 120 frames a second.
float UEngine::GetMaxTickRate(float, bool) const { return bUseFixedFrameRate ? FixedFrameRate : 120.f; }

FWorldContext& UEngine::CreateNewWorldContext(EWorldType::Type WorldType) {
    FWorldContext* Context = new FWorldContext;
    Context->WorldType = WorldType;
    Context->ContextHandle = FName(*FString::Printf(TEXT("Context_%d"), WorldList.Num()));
    WorldList.Add(Context);
    return *Context;
}

void UEngine::DestroyWorldContext(UWorld* InWorld) {
    for (int32 I = 0; I < WorldList.Num(); ++I)
        if (WorldList[I]->World() == InWorld) {
            delete WorldList[I];
            WorldList.RemoveAt(I);
            return;
        }
}

void UEngine::AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector) {
    UEngine* This = static_cast<UEngine*>(InThis);
    for (FWorldContext* Context : This->WorldList) {
        UWorld* World = Context->World();
        Collector.AddReferencedObject(World, This);
    }
    Collector.AddReferencedObject(This->WireframeMaterial, This);
    Collector.AddReferencedObject(This->DefaultMaterial, This);
}

UEditorEngine::UEditorEngine(const FObjectInitializer& ObjectInitializer) : UEngine(ObjectInitializer) {}

void UEditorEngine::Init() {
    UEngine::Init();
    FWorldContext& Context = CreateNewWorldContext(EWorldType::Editor);
    Context.SetCurrentWorld(UWorld::CreateWorld(EWorldType::Editor, false));
}

void UEditorEngine::Tick(float DeltaSeconds, bool bIdleMode) {
    UEngine::Tick(DeltaSeconds, bIdleMode);
    if (UWorld* World = GetEditorWorldContext().World()) {
        World->SendAllEndOfFrameUpdates();
        // The level viewport draws: the captures asked for during the frame render first.
        if (World->Scene) USceneCaptureComponent2D::UpdateDeferredCaptures(World->Scene);
    }
}

FWorldContext& UEditorEngine::GetEditorWorldContext(bool) {
    for (FWorldContext* Context : WorldList)
        if (Context->WorldType == EWorldType::Editor) return *Context;
    check(false);
    return *WorldList[0];
}

UWorld* UEditorEngine::NewMap() {
    FWorldContext& Context = GetEditorWorldContext();
    UWorld* Old = Context.World();
    UWorld* New = UWorld::CreateWorld(EWorldType::Editor, false);
    Context.SetCurrentWorld(New);
    if (Old) Old->DestroyWorld(false, New);
    CollectGarbage(GARBAGE_COLLECTION_KEEPFLAGS);
    return New;
}

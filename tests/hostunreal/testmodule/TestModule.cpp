// A small editor module that does what plug-in modules do: a module class that makes a
// service when it starts (it ticks with the editor, follows the editor world, owns a
// component, and adds a context menu entry to material assets by wrapping their asset type
// actions) and tears it down while the engine is alive: on OnPreExit at editor exit, or on
// ShutdownModule when unloaded from a running editor. A plain static object reports when
// the library's static constructors and destructors run.
#include "CoreMinimal.h"
#include "Tickable.h"
#include "Editor.h"
#include "Engine/World.h"
#include "Components/SceneCaptureComponent2D.h"
#include "AssetToolsModule.h"
#include "AssetTypeActions_Base.h"
#include "EditorStyleSet.h"
#include "Framework/MultiBox/MultiBoxBuilder.h"
#include "Materials/MaterialInterface.h"
#include "Misc/CoreDelegates.h"
#include "Modules/ModuleManager.h"
#include "RenderingThread.h"
#include "TestActor.h"

// Set by the test program that loads this module in its own process; absent in ue4editor.
extern "C" __attribute__((weak)) void HostUnrealTest_Event(const char* Event);

DEFINE_LOG_CATEGORY_STATIC(LogHostTestModule, Log, All)

#define LOCTEXT_NAMESPACE "HostTestModule"

namespace {

void Report(const FString& Event) {
    UE_LOG(LogHostTestModule, Log, TEXT("%s"), *Event);
    if (HostUnrealTest_Event) HostUnrealTest_Event(TCHAR_TO_UTF8(*Event));
}


class FTestAssignActions : public FAssetTypeActions_Base {
public:
    explicit FTestAssignActions(const TSharedRef<IAssetTypeActions>& InWrapped) : Wrapped(InWrapped) {}
    FText GetName() const override { return Wrapped->GetName(); }
    UClass* GetSupportedClass() const override { return Wrapped->GetSupportedClass(); }
    FColor GetTypeColor() const override { return Wrapped->GetTypeColor(); }
    bool HasActions(const TArray<UObject*>& InObjects) const override { return Wrapped->HasActions(InObjects); }
    uint32 GetCategories() override { return Wrapped->GetCategories(); }
    void GetActions(const TArray<UObject*>& InObjects, FMenuBuilder& MenuBuilder) override {
        Wrapped->GetActions(InObjects, MenuBuilder);
        auto Objects = GetTypedWeakObjectPtrs<UObject>(InObjects);
        MenuBuilder.AddMenuEntry(LOCTEXT("TestEntry", "Test Entry"), LOCTEXT("TestEntryTip", "Test Entry"),
                                 FSlateIcon(FEditorStyle::GetStyleSetName(), TEXT("ClassIcon.MaterialInstanceActor")),
                                 FUIAction(FExecuteAction::CreateSP(this, &FTestAssignActions::Choose, Objects)));
    }
    const TSharedPtr<IAssetTypeActions> Wrapped;

private:
    void Choose(TArray<TWeakObjectPtr<UObject>> Objects);
};

class FTestService : public FTickableGameObject {
public:
    FTestService() {
        Report(TEXT("constructed"));
        Capture = NewObject<USceneCaptureComponent2D>(GetTransientPackage());
        Capture->AddToRoot();
        if (FModuleManager::Get().IsModuleLoaded(TEXT("AssetTools"))) {
            IAssetTools& Tools = FModuleManager::GetModuleChecked<FAssetToolsModule>(TEXT("AssetTools")).Get();
            TArray<TWeakPtr<IAssetTypeActions>> List;
            Tools.GetAssetTypeActionsList(List);
            for (auto& Weak : List) {
                TSharedPtr<IAssetTypeActions> Actions = Weak.Pin();
                if (!Actions.IsValid() || !Actions->GetSupportedClass()->IsChildOf(UMaterialInterface::StaticClass())) continue;
                TSharedRef<FTestAssignActions> Wrapper = MakeShareable(new FTestAssignActions(Actions.ToSharedRef()));
                Wrappers.Add(Wrapper);
                Tools.UnregisterAssetTypeActions(Actions.ToSharedRef());
                Tools.RegisterAssetTypeActions(Wrapper);
            }
            Report(FString::Printf(TEXT("wrapped %d"), Wrappers.Num()));
        }
        // The engine's world teardown leaves components registered without an owner alone.
        CleanupHandle = FWorldDelegates::OnWorldCleanup.AddRaw(this, &FTestService::OnWorldCleanup);
    }
    ~FTestService() override {
        FWorldDelegates::OnWorldCleanup.Remove(CleanupHandle);
        if (Capture->IsRegistered()) Capture->UnregisterComponent();
        Capture->RemoveFromRoot();
        if (FModuleManager::Get().IsModuleLoaded(TEXT("AssetTools"))) {
            IAssetTools& Tools = FModuleManager::GetModuleChecked<FAssetToolsModule>(TEXT("AssetTools")).Get();
            for (const TSharedRef<FTestAssignActions>& Wrapper : Wrappers) {
                Tools.UnregisterAssetTypeActions(Wrapper);
                Tools.RegisterAssetTypeActions(Wrapper->Wrapped.ToSharedRef());
            }
        }
        Wrappers.Empty();
        // Resources owned by the render side are released by a command, as modules do.
        int32* RenderSideData = new int32(7);
        ENQUEUE_RENDER_COMMAND(Release)([RenderSideData](FRHICommandListImmediate&) {
            if (IsInRenderingThread()) Report(FString::Printf(TEXT("released %d"), *RenderSideData));
            delete RenderSideData;
        });
        Report(TEXT("destroyed"));
    }

    void Tick(float) override {
        UWorld* Current = GEditor->GetEditorWorldContext(false).World();
        if (Current != World) {
            World = Current;
            if (World) {
                World->SpawnActor(ATestActor::StaticClass(), nullptr, nullptr, FActorSpawnParameters());
                if (Capture->IsRegistered()) Capture->UnregisterComponent();
                Capture->RegisterComponentWithWorld(World);
                Report(FString::Printf(TEXT("world %s"), *World->GetOutermost()->GetName()));
            }
        }
        if (GEngine) {
            GEngine->bUseFixedFrameRate = true;
            GEngine->FixedFrameRate = 60.0f;
        }
        ++Ticks;
        if (HostUnrealTest_Event) HostUnrealTest_Event("tick");
    }
    bool IsTickable() const override { return true; }
    TStatId GetStatId() const override { RETURN_QUICK_DECLARE_CYCLE_STAT(FTestService, STATGROUP_Tickables); }
    bool IsTickableWhenPaused() const override { return true; }
    bool IsTickableInEditor() const override { return true; }
    UWorld* GetTickableGameObjectWorld() const override { return nullptr; }

    void OnWorldCleanup(UWorld* Cleaned, bool, bool) {
        if (Cleaned != World) return;
        if (Capture->IsRegistered()) Capture->UnregisterComponent();
        World = nullptr;
    }

    int32 Ticks = 0;
    FDelegateHandle CleanupHandle;
    UWorld* World = nullptr;
    USceneCaptureComponent2D* Capture = nullptr;
    TArray<TSharedRef<FTestAssignActions>> Wrappers;
};

// Tickable in games only: the editor must not tick it.
class FGameOnlyTicker : public FTickableGameObject {
public:
    void Tick(float) override { Report(TEXT("game-only ticked")); }
    bool IsTickable() const override { return true; }
    TStatId GetStatId() const override { RETURN_QUICK_DECLARE_CYCLE_STAT(FGameOnlyTicker, STATGROUP_Tickables); }
};

// Does no engine work: static destructors of a library abandoned at exit run after the
// engine is gone.
struct FStaticProbe {
    FStaticProbe() { Report(TEXT("static constructed")); }
    ~FStaticProbe() { Report(TEXT("static destroyed")); }
};

FStaticProbe GProbe;
FGameOnlyTicker GGameOnly;

class FTestModule : public IModuleInterface {
public:
    void StartupModule() override {
        Service = new FTestService;
        PreExitHandle = FCoreDelegates::OnPreExit.AddRaw(this, &FTestModule::OnPreExit);
    }
    void ShutdownModule() override {
        FCoreDelegates::OnPreExit.Remove(PreExitHandle);
        Report(FString::Printf(TEXT("shutdown, engine %s"), GEngine ? TEXT("alive") : TEXT("gone")));
        StopService();
    }

private:
    void OnPreExit() {
        Report(FString::Printf(TEXT("pre-exit, engine %s"), GEngine && GEditor->GetEditorWorldContext(false).World() ? TEXT("alive") : TEXT("gone")));
        StopService();
    }
    void StopService() {
        delete Service;
        Service = nullptr;
    }
    FTestService* Service = nullptr;
    FDelegateHandle PreExitHandle;
};

void FTestAssignActions::Choose(TArray<TWeakObjectPtr<UObject>> Objects) {
    if (Objects.Num() != 1 || !Objects[0].IsValid()) {
        Report(FString::Printf(TEXT("chose nothing (%d objects)"), Objects.Num()));
        return;
    }
    Report(FString::Printf(TEXT("chose %s"), *Objects[0]->GetOutermost()->GetName()));
}

} // namespace

ATestActor::ATestActor() {
    bHidden = true;
    bListedInSceneOutliner = false;
}

IMPLEMENT_MODULE(FTestModule, HostTestModule)

#undef LOCTEXT_NAMESPACE

// Loading a module library with dlopen: its module class and static objects, its classes,
// ticking, the asset actions it wraps and its menu entry; unloading from a running editor
// (static destruction) and at exit (the library abandoned).
#include "EditorFixture.h"
#include "UObject/MetaData.h"
#include "AssetToolsModule.h"
#include "ChildProcess.h"
#include "Editor.h"
#include "UE4Host/Menus.h"
#include "GameFramework/Actor.h"
#include "Modules/ModuleManager.h"
#include "Materials/Material.h"
#include <algorithm>

std::vector<std::string>& ModuleEvents() {
    static std::vector<std::string> Events;
    return Events;
}

extern "C" void HostUnrealTest_Event(const char* Event) { ModuleEvents().push_back(Event); }

namespace {

const FName ModuleName(TEXT("HostTestModule"));

class ModuleTest : public EditorTest {
protected:
    void SetUp() override {
        ModuleEvents().clear();
        StartEditor(false);
        const std::string Dir = testsupport::siblingExecutable("hostunreal_test");
        FModuleManager::Get().AddBinariesDirectory(*FString(Dir.substr(0, Dir.rfind('/')).c_str()), false);
    }
    IAssetTools& Tools() { return FModuleManager::LoadModuleChecked<FAssetToolsModule>(TEXT("AssetTools")).Get(); }
    TArray<IAssetTypeActions*> ActionsList() {
        TArray<TWeakPtr<IAssetTypeActions>> List;
        Tools().GetAssetTypeActionsList(List);
        TArray<IAssetTypeActions*> Raw;
        for (auto& W : List) Raw.Add(W.Pin().Get());
        return Raw;
    }
    TArray<FString> MenuOf(const TArray<UObject*>& Selection) {
        FMenuBuilder Menu(true, nullptr);
        Tools().GetAssetActions(Selection, Menu);
        TArray<FString> Labels;
        for (const auto& Entry : UE4Host::FMenuContents::Entries(Menu)) Labels.Add(Entry.Label.ToString());
        return Labels;
    }
    int32 Count(const std::string& Event) { return int32(std::count(ModuleEvents().begin(), ModuleEvents().end(), Event)); }
};

TEST_F(ModuleTest, UnloadedFromARunningEditorTheModuleShutsDownAndItsLibraryGoes) {
    ASSERT_FALSE(FModuleManager::Get().IsModuleLoaded(ModuleName));
    EXPECT_EQ(Count("static constructed"), 0);
    ASSERT_NE(FModuleManager::Get().LoadModule(ModuleName), nullptr);
    EXPECT_TRUE(FModuleManager::Get().IsModuleLoaded(ModuleName));
    EXPECT_EQ(Count("static constructed"), 1);
    EXPECT_EQ(Count("constructed"), 1); // StartupModule made the service
    EXPECT_EQ(Count("destroyed"), 0);
    EXPECT_TRUE(FModuleManager::Get().UnloadModule(ModuleName));
    EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(ModuleName));
    EXPECT_EQ(Count("shutdown, engine alive"), 1);
    EXPECT_EQ(Count("destroyed"), 1);
    // The library was closed: its static destructors ran, after ShutdownModule, and the
    // render command the service enqueued ran before the code went away.
    EXPECT_EQ(Count("static destroyed"), 1);
    EXPECT_EQ(Count("released 7"), 1);
    // Loaded again, the library is initialised afresh.
    ASSERT_NE(FModuleManager::Get().LoadModule(ModuleName), nullptr);
    EXPECT_EQ(Count("static constructed"), 2);
    EXPECT_EQ(Count("constructed"), 2);
}

// The engine's exit: OnPreExit while objects, render thread and RHI are alive, then all of
// them go, then ShutdownModule; the library is abandoned, its statics outlive the engine.
TEST_F(ModuleTest, AtExitTheModuleHearsPreExitFirstAndItsLibraryStaysLoaded) {
    ASSERT_NE(FModuleManager::Get().LoadModule(ModuleName), nullptr);
    Loop.Tick();
    bStarted = false;
    Loop.Exit();
    const auto At = [](const std::string& Event) {
        return std::find(ModuleEvents().begin(), ModuleEvents().end(), Event) - ModuleEvents().begin();
    };
    ASSERT_EQ(Count("pre-exit, engine alive"), 1);
    EXPECT_EQ(Count("destroyed"), 1);
    EXPECT_EQ(Count("released 7"), 1); // its render command ran on the render thread
    EXPECT_LT(At("pre-exit, engine alive"), At("destroyed"));
    EXPECT_EQ(Count("shutdown, engine gone"), 1);
    EXPECT_LT(At("released 7"), At("shutdown, engine gone"));
    EXPECT_EQ(Count("static destroyed"), 0);
    EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(ModuleName));
}

TEST_F(ModuleTest, ModuleClassesAreRegisteredUnderTheirScriptPackage) {
    ASSERT_NE(FModuleManager::Get().LoadModule(ModuleName), nullptr);
    UClass* Class = FindObject<UClass>(ANY_PACKAGE, TEXT("TestActor"));
    ASSERT_NE(Class, nullptr);
    EXPECT_EQ(Class->GetNativeName(), TEXT("ATestActor"));
    EXPECT_TRUE(Class->IsChildOf(AActor::StaticClass()));
    EXPECT_TRUE(Class->HasAnyClassFlags(CLASS_Constructed));
    EXPECT_TRUE(Class->HasAnyClassFlags(CLASS_Native));
    UPackage* Package = Class->GetOutermost();
    EXPECT_EQ(Package->GetName(), TEXT("/Script/HostTestModule"));
    EXPECT_TRUE(Package->HasAnyPackageFlags(PKG_CompiledIn));
    EXPECT_TRUE(Package->HasAnyPackageFlags(PKG_Developer));
    EXPECT_EQ(Package->GetMetaData()->GetValue(Class, TEXT("IncludePath")), TEXT("TestActor.h"));
    EXPECT_TRUE(Package->GetGuid().IsValid());
    ASSERT_NE(Class->GetCppTypeInfo(), nullptr);
    EXPECT_FALSE(Class->GetCppTypeInfo()->IsAbstract());
}

TEST_F(ModuleTest, TheModuleTicksFollowsTheWorldAndItsObjectsGoWithIt) {
    ASSERT_NE(FModuleManager::Get().LoadModule(ModuleName), nullptr);
    for (int I = 0; I < 3; ++I) Loop.Tick();
    EXPECT_EQ(Count("tick"), 3);
    EXPECT_EQ(Count("game-only ticked"), 0);
    EXPECT_TRUE(GEngine->bUseFixedFrameRate);
    EXPECT_FLOAT_EQ(GEngine->FixedFrameRate, 60.f);
    UWorld* First = GEditor->GetEditorWorldContext(false).World();
    EXPECT_EQ(Count("world " + std::string(TCHAR_TO_UTF8(*First->GetOutermost()->GetName()))), 1);
    ASSERT_EQ(First->GetActors().Num(), 1);
    TWeakObjectPtr<AActor> Spawned(First->GetActors()[0]);
    EXPECT_EQ(Spawned->GetClass()->GetName(), TEXT("TestActor"));
    EXPECT_TRUE(Spawned->bHidden);
    EXPECT_FALSE(Spawned->bListedInSceneOutliner);
    EXPECT_EQ(First->GetRegisteredComponents().Num(), 1); // the module's capture component

    UWorld* Second = GEditor->NewMap();
    Loop.Tick();
    EXPECT_EQ(Count("world " + std::string(TCHAR_TO_UTF8(*Second->GetOutermost()->GetName()))), 1);
    EXPECT_EQ(Second->GetRegisteredComponents().Num(), 1);
    EXPECT_EQ(Second->GetActors().Num(), 1);

    // At unload the module's actors go while its code is there; nothing is left behind.
    TWeakObjectPtr<AActor> SecondActor(Second->GetActors()[0]);
    EXPECT_TRUE(FModuleManager::Get().UnloadModule(ModuleName));
    EXPECT_FALSE(SecondActor.IsValid());
    EXPECT_EQ(Second->GetActors().Num(), 0);
    EXPECT_EQ(Second->GetRegisteredComponents().Num(), 0);
    Loop.Tick();
    EXPECT_EQ(Count("tick"), 4);
}

TEST_F(ModuleTest, MaterialActionsAreWrappedAndRestored) {
    const TArray<IAssetTypeActions*> Before = ActionsList();
    UObject* Red = FSoftObjectPath(TEXT("/Game/Materials/M_Red")).TryLoad();
    UObject* Curve = FSoftObjectPath(TEXT("/Game/Curves/C_Fade")).TryLoad();
    ASSERT_TRUE(Red && Curve);
    EXPECT_EQ(MenuOf({Red}), (TArray<FString>{TEXT("Create Material Instance")}));

    ASSERT_NE(FModuleManager::Get().LoadModule(ModuleName), nullptr);
    EXPECT_EQ(Count("wrapped 2"), 1);
    const TArray<IAssetTypeActions*> During = ActionsList();
    ASSERT_EQ(During.Num(), Before.Num());
    int32 Replaced = 0;
    for (IAssetTypeActions* A : During) Replaced += Before.Contains(A) ? 0 : 1;
    EXPECT_EQ(Replaced, 2); // material and material instance; the curve's actions stay
    EXPECT_EQ(MenuOf({Red}), (TArray<FString>{TEXT("Create Material Instance"), TEXT("Test Entry")}));
    EXPECT_TRUE(MenuOf({Curve}).Num() == 0);
    UClass* MaterialClass = Red->GetClass();
    EXPECT_EQ(Tools().GetAssetTypeActionsForClass(MaterialClass).Pin()->GetName().ToString(), TEXT("Material"));

    ASSERT_TRUE(FModuleManager::Get().UnloadModule(ModuleName));
    const TArray<IAssetTypeActions*> After = ActionsList();
    ASSERT_EQ(After.Num(), Before.Num());
    for (IAssetTypeActions* A : After) EXPECT_TRUE(Before.Contains(A));
    EXPECT_EQ(MenuOf({Red}), (TArray<FString>{TEXT("Create Material Instance")}));
}

TEST_F(ModuleTest, TheModulesMenuEntryRunsForTheChosenSelection) {
    ASSERT_NE(FModuleManager::Get().LoadModule(ModuleName), nullptr);
    UObject* Red = FSoftObjectPath(TEXT("/Game/Materials/M_Red")).TryLoad();
    UObject* Grey = FSoftObjectPath(TEXT("/Game/Materials/M_Grey")).TryLoad();
    auto Run = [&](const TArray<UObject*>& Selection) {
        FMenuBuilder Menu(true, nullptr);
        Tools().GetAssetActions(Selection, Menu);
        for (const auto& Entry : UE4Host::FMenuContents::Entries(Menu))
            if (Entry.Label.ToString() == TEXT("Test Entry")) {
                EXPECT_EQ(Entry.Icon.GetStyleSetName(), FName(TEXT("EditorStyle")));
                EXPECT_EQ(Entry.Icon.GetStyleName(), FName(TEXT("ClassIcon.MaterialInstanceActor")));
                EXPECT_EQ(Entry.ActionType, EUserInterfaceActionType::Button);
                return Entry.Action.Execute();
            }
        return false;
    };
    EXPECT_TRUE(Run({Red}));
    EXPECT_EQ(Count("chose /Game/Materials/M_Red"), 1);
    EXPECT_TRUE(Run({Red, Grey}));
    EXPECT_EQ(Count("chose nothing (2 objects)"), 1);
    // An object deleted after the menu was built is not chosen.
    UObject* Temp = NewObject<UMaterial>(GetTransientPackage());
    FMenuBuilder Menu(true, nullptr);
    Tools().GetAssetActions({Temp}, Menu);
    Temp->MarkPendingKill();
    for (const auto& Entry : UE4Host::FMenuContents::Entries(Menu)) {
        if (Entry.Label.ToString() == TEXT("Test Entry")) {
            EXPECT_TRUE(Entry.Action.Execute());
        }
    }
    EXPECT_EQ(Count("chose nothing (1 objects)"), 1);
}

TEST_F(ModuleTest, MissingModulesAreReportedNotLoaded) {
    EXPECT_EQ(FModuleManager::Get().LoadModule(FName(TEXT("NoSuchModule"))), nullptr);
    EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(FName(TEXT("NoSuchModule"))));
    EXPECT_FALSE(FModuleManager::Get().UnloadModule(FName(TEXT("NoSuchModule"))));
}

} // namespace

// The "AssetTools" editor module: the list of asset type actions, the context menu of a
// selection, and the built-in actions of the material, material instance and float curve
// types.
#include "AssetToolsModule.h"
#include "AssetTypeActions_Base.h"
#include "EditorStyleSet.h"
#include "Framework/MultiBox/MultiBoxBuilder.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceConstant.h"
#include "Curves/CurveFloat.h"
#include "Misc/PackageName.h"

DEFINE_LOG_CATEGORY_STATIC(LogAssetTools, Log, All)

#define LOCTEXT_NAMESPACE "AssetTypeActions"

// --- Menus and style -----------------------------------------------------------------------

const FName& FEditorStyle::GetStyleSetName() {
    static const FName* Name = new FName(TEXT("EditorStyle"));
    return *Name;
}

void FMenuBuilder::AddMenuEntry(const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip, const FSlateIcon& InIcon, const FUIAction& UIAction,
                                FName InExtensionHook, const EUserInterfaceActionType::Type UserInterfaceActionType, FName InTutorialHighlightName) {
    Entries.Add(FEntry{CurrentSection, InLabel.Get(), InToolTip.Get(), InIcon, UIAction, InExtensionHook, UserInterfaceActionType, InTutorialHighlightName, false});
}
void FMenuBuilder::BeginSection(FName InExtensionHook, const TAttribute<FText>&) { CurrentSection = InExtensionHook; }
void FMenuBuilder::EndSection() { CurrentSection = NAME_None; }
void FMenuBuilder::AddMenuSeparator(FName InExtensionHook) {
    Entries.Add(FEntry{CurrentSection, FText(), FText(), FSlateIcon(), FUIAction(), InExtensionHook, EUserInterfaceActionType::None, NAME_None, true});
}

void FAssetTypeActions_Base::OpenAssetEditor(const TArray<UObject*>& InObjects, TSharedPtr<IToolkitHost>) {
    // The stand-in has no asset editors; opening one only names what would be edited.
    for (UObject* Object : InObjects) UE_LOG(LogAssetTools, Log, TEXT("Opening an editor for %s"), *Object->GetPathName());
}

void FAssetTypeActions_Base::AssetsActivated(const TArray<UObject*>& InObjects, EAssetTypeActivationMethod::Type ActivationType) {
    if (ActivationType != EAssetTypeActivationMethod::DoubleClicked && ActivationType != EAssetTypeActivationMethod::Opened) return;
    // The editor opens each asset with the actions registered for its class.
    IAssetTools& Tools = FAssetToolsModule::GetModule().Get();
    for (UObject* Object : InObjects) {
        TSharedPtr<IAssetTypeActions> Actions = Tools.GetAssetTypeActionsForClass(Object->GetClass()).Pin();
        if (Actions.IsValid()) Actions->OpenAssetEditor(TArray<UObject*>{Object});
    }
}

void FAssetTypeActions_Base::PerformAssetDiff(UObject* OldAsset, UObject* NewAsset, const FRevisionInfo&, const FRevisionInfo&) const {
    UE_LOG(LogAssetTools, Log, TEXT("No diff tool for %s and %s"), OldAsset ? *OldAsset->GetPathName() : TEXT("None"),
           NewAsset ? *NewAsset->GetPathName() : TEXT("None"));
}

namespace {

// --- Built-in asset type actions -----------------------------------------------------------

class FAssetTypeActions_MaterialInterface : public FAssetTypeActions_Base {
public:
    uint32 GetCategories() override { return EAssetTypeCategories::MaterialsAndTextures; }
    bool HasActions(const TArray<UObject*>&) const override { return true; }
    void GetActions(const TArray<UObject*>& InObjects, FMenuBuilder& MenuBuilder) override {
        auto Materials = GetTypedWeakObjectPtrs<UMaterialInterface>(InObjects);
        MenuBuilder.AddMenuEntry(LOCTEXT("Material_NewMIC", "Create Material Instance"),
                                 LOCTEXT("Material_NewMICTooltip", "Creates a parameterized material using this material as a base."),
                                 FSlateIcon(FEditorStyle::GetStyleSetName(), TEXT("ClassIcon.MaterialInstanceActor")),
                                 FUIAction(FExecuteAction::CreateSP(this, &FAssetTypeActions_MaterialInterface::ExecuteNewMIC, Materials)));
    }

private:
    void ExecuteNewMIC(TArray<TWeakObjectPtr<UMaterialInterface>> Objects) {
        for (auto& Weak : Objects) {
            UMaterialInterface* Parent = Weak.Get();
            if (!Parent) continue;
            FString Name = Parent->GetOutermost()->GetName() + TEXT("_Inst");
            for (int32 N = 1; FindPackage(nullptr, *Name); ++N) Name = Parent->GetOutermost()->GetName() + FString::Printf(TEXT("_Inst%d"), N);
            UPackage* Package = CreatePackage(nullptr, *Name);
            auto* Instance = NewObject<UMaterialInstanceConstant>(Package, FName(*FPackageName::GetShortName(Name)), RF_Public | RF_Standalone);
            Instance->SetParentEditorOnly(Parent);
            UE_LOG(LogAssetTools, Log, TEXT("Created %s"), *Instance->GetPathName());
        }
    }
};

class FAssetTypeActions_Material : public FAssetTypeActions_MaterialInterface {
public:
    FText GetName() const override { return LOCTEXT("AssetTypeActions_Material", "Material"); }
    FColor GetTypeColor() const override { return FColor(64, 192, 64); }
    UClass* GetSupportedClass() const override { return UMaterial::StaticClass(); }
};

class FAssetTypeActions_MaterialInstanceConstant : public FAssetTypeActions_MaterialInterface {
public:
    FText GetName() const override { return LOCTEXT("AssetTypeActions_MaterialInstanceConstant", "Material Instance"); }
    FColor GetTypeColor() const override { return FColor(0, 128, 0); }
    UClass* GetSupportedClass() const override { return UMaterialInstanceConstant::StaticClass(); }
};

class FAssetTypeActions_CurveFloat : public FAssetTypeActions_Base {
public:
    FText GetName() const override { return LOCTEXT("AssetTypeActions_CurveFloat", "Float Curve"); }
    FColor GetTypeColor() const override { return FColor(78, 40, 165); }
    UClass* GetSupportedClass() const override { return UCurveFloat::StaticClass(); }
    uint32 GetCategories() override { return EAssetTypeCategories::Misc; }
};

// --- The asset tools -----------------------------------------------------------------------

class FAssetTools : public IAssetTools {
public:
    FAssetTools() {
        RegisterAssetTypeActions(MakeShareable(new FAssetTypeActions_Material));
        RegisterAssetTypeActions(MakeShareable(new FAssetTypeActions_MaterialInstanceConstant));
        RegisterAssetTypeActions(MakeShareable(new FAssetTypeActions_CurveFloat));
    }

    void RegisterAssetTypeActions(const TSharedRef<IAssetTypeActions>& NewActions) override { List.Add(NewActions); }

    void UnregisterAssetTypeActions(const TSharedRef<IAssetTypeActions>& ActionsToRemove) override {
        for (int32 I = 0; I < List.Num(); ++I)
            if (List[I] == ActionsToRemove) { List.RemoveAt(I); return; }
    }

    void GetAssetTypeActionsList(TArray<TWeakPtr<IAssetTypeActions>>& Out) const override {
        for (const TSharedRef<IAssetTypeActions>& Actions : List) Out.Add(Actions);
    }

    TWeakPtr<IAssetTypeActions> GetAssetTypeActionsForClass(UClass* Class) const override {
        TSharedPtr<IAssetTypeActions> MostDerived;
        for (const TSharedRef<IAssetTypeActions>& Actions : List) {
            UClass* Supported = Actions->GetSupportedClass();
            if (Class->IsChildOf(Supported) && (!MostDerived.IsValid() || Supported->IsChildOf(MostDerived->GetSupportedClass())))
                MostDerived = Actions;
        }
        return MostDerived;
    }

    bool GetAssetActions(const TArray<UObject*>& InObjects, FMenuBuilder& MenuBuilder, bool) override {
        if (InObjects.Num() == 0) return false;
        // The selection's common class: walk the first object's bases until all are of it.
        UClass* Common = InObjects[0]->GetClass();
        for (UObject* Object : InObjects)
            while (Common && !Object->IsA(Common)) Common = Common->GetSuperClass();
        if (!Common) return false;
        TSharedPtr<IAssetTypeActions> Actions = GetAssetTypeActionsForClass(Common).Pin();
        if (!Actions.IsValid() || !Actions->HasActions(InObjects)) return false;
        MenuBuilder.BeginSection(TEXT("GetAssetActions"));
        Actions->GetActions(InObjects, MenuBuilder);
        MenuBuilder.EndSection();
        return true;
    }

private:
    TArray<TSharedRef<IAssetTypeActions>> List;
};

IModuleInterface* InitializeAssetToolsModule() { return new FAssetToolsModule; }

struct FRegisterAssetTools {
    FRegisterAssetTools() { FModuleManager::Get().RegisterStaticallyLinkedModule(FName(TEXT("AssetTools")), &InitializeAssetToolsModule); }
} GRegisterAssetTools;

} // namespace

void FAssetToolsModule::StartupModule() { AssetTools = new FAssetTools; }

void FAssetToolsModule::ShutdownModule() {
    delete AssetTools;
    AssetTools = nullptr;
}

#undef LOCTEXT_NAMESPACE

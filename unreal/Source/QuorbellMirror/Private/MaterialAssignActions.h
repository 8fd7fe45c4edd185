#pragma once
// Wraps the asset type actions of a material class: everything is forwarded to the
// wrapped actions, and the context menu gains "Assign To Maya Object", which queues the
// chosen material's package name for Maya.
#include "CoreMinimal.h"
#include "AssetTypeActions_Base.h"

class FMaterialAssignActions : public FAssetTypeActions_Base {
public:
    explicit FMaterialAssignActions(const TSharedRef<IAssetTypeActions>& InWrapped) : Wrapped(InWrapped) {}

    FText GetName() const override { return Wrapped->GetName(); }
    UClass* GetSupportedClass() const override { return Wrapped->GetSupportedClass(); }
    FColor GetTypeColor() const override { return Wrapped->GetTypeColor(); }
    bool HasActions(const TArray<UObject*>& InObjects) const override { return Wrapped->HasActions(InObjects); }
    void GetActions(const TArray<UObject*>& InObjects, FMenuBuilder& MenuBuilder) override;
    void OpenAssetEditor(const TArray<UObject*>& InObjects, TSharedPtr<IToolkitHost> EditWithinLevelEditor) override {
        Wrapped->OpenAssetEditor(InObjects, EditWithinLevelEditor);
    }
    void AssetsActivated(const TArray<UObject*>& InObjects, EAssetTypeActivationMethod::Type ActivationType) override {
        Wrapped->AssetsActivated(InObjects, ActivationType);
    }
    bool CanFilter() override { return Wrapped->CanFilter(); }
    bool CanLocalize() const override { return Wrapped->CanLocalize(); }
    bool CanMerge() const override { return Wrapped->CanMerge(); }
    uint32 GetCategories() override { return Wrapped->GetCategories(); }
    FText GetAssetDescription(const FAssetData& AssetData) const override { return Wrapped->GetAssetDescription(AssetData); }
    bool ShouldForceWorldCentric() override { return Wrapped->ShouldForceWorldCentric(); }
    UThumbnailInfo* GetThumbnailInfo(UObject* Asset) const override { return Wrapped->GetThumbnailInfo(Asset); }
    EThumbnailPrimType GetDefaultThumbnailPrimitiveType(UObject* Asset) const override {
        return Wrapped->GetDefaultThumbnailPrimitiveType(Asset);
    }
    TSharedPtr<SWidget> GetThumbnailOverlay(const FAssetData& AssetData) const override { return Wrapped->GetThumbnailOverlay(AssetData); }
    bool IsImportedAsset() const override { return Wrapped->IsImportedAsset(); }
    void GetResolvedSourceFilePaths(const TArray<UObject*>& TypeAssets, TArray<FString>& OutSourceFilePaths) const override {
        Wrapped->GetResolvedSourceFilePaths(TypeAssets, OutSourceFilePaths);
    }
    void Merge(UObject* InObject) override { Wrapped->Merge(InObject); }
    void Merge(UObject* BaseAsset, UObject* RemoteAsset, UObject* LocalAsset, const FOnMergeResolved& ResolutionCallback) override {
        Wrapped->Merge(BaseAsset, RemoteAsset, LocalAsset, ResolutionCallback);
    }
    void PerformAssetDiff(UObject* OldAsset, UObject* NewAsset, const FRevisionInfo& OldRevision, const FRevisionInfo& NewRevision) const override {
        Wrapped->PerformAssetDiff(OldAsset, NewAsset, OldRevision, NewRevision);
    }

    const TSharedPtr<IAssetTypeActions> Wrapped;

private:
    void AssignToMayaObject(TArray<TWeakObjectPtr<UObject>> Objects);
};

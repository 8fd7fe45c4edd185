#pragma once
// The defaults of an asset type's actions: no menu actions, no merge, filtering allowed,
// activation opens the asset's editor. Name, class, colour and categories stay for each
// type to say.
#include "IAssetTypeActions.h"
#include "IAssetTools.h"
#include "AssetToolsModule.h"

class FAssetTypeActions_Base : public IAssetTypeActions {
public:
    bool HasActions(const TArray<UObject*>& InObjects) const override {
        (void)InObjects;
        return false;
    }
    void GetActions(const TArray<UObject*>& InObjects, FMenuBuilder& MenuBuilder) override {
        (void)InObjects;
        (void)MenuBuilder;
    }
    void OpenAssetEditor(const TArray<UObject*>& InObjects, TSharedPtr<IToolkitHost> EditWithinLevelEditor = TSharedPtr<IToolkitHost>()) override;
    // A double click or Opened opens the editor of the activated assets, through the
    // actions registered for their class.
    void AssetsActivated(const TArray<UObject*>& InObjects, EAssetTypeActivationMethod::Type ActivationType) override;
    bool CanFilter() override { return true; }
    bool CanLocalize() const override { return true; }
    bool CanMerge() const override { return false; }
    void Merge(UObject* InObject) override {
        (void)InObject;
        check(false); // no generic merge: a type that can merge overrides both
    }
    void Merge(UObject* BaseAsset, UObject* RemoteAsset, UObject* LocalAsset, const FOnMergeResolved& ResolutionCallback) override {
        (void)BaseAsset;
        (void)RemoteAsset;
        (void)LocalAsset;
        (void)ResolutionCallback;
        check(false);
    }
    bool ShouldForceWorldCentric() override { return false; }
    void PerformAssetDiff(UObject* OldAsset, UObject* NewAsset, const FRevisionInfo& OldRevision, const FRevisionInfo& NewRevision) const override;
    UThumbnailInfo* GetThumbnailInfo(UObject* Asset) const override {
        (void)Asset;
        return nullptr;
    }
    EThumbnailPrimType GetDefaultThumbnailPrimitiveType(UObject* Asset) const override {
        (void)Asset;
        return TPT_None;
    }
    TSharedPtr<SWidget> GetThumbnailOverlay(const FAssetData& AssetData) const override {
        (void)AssetData;
        return nullptr;
    }
    bool IsImportedAsset() const override { return false; }
    void GetResolvedSourceFilePaths(const TArray<UObject*>& TypeAssets, TArray<FString>& OutSourceFilePaths) const override {
        (void)TypeAssets;
        (void)OutSourceFilePaths;
    }

protected:
    FText GetAssetDescription(const FAssetData& AssetData) const override {
        (void)AssetData;
        return FText::GetEmpty();
    }

    // The selection as weak pointers for a menu action's payload; every object must be a T.
    template <typename T>
    static TArray<TWeakObjectPtr<T>> GetTypedWeakObjectPtrs(const TArray<UObject*>& InObjects) {
        check(InObjects.Num() > 0);
        TArray<TWeakObjectPtr<T>> TypedObjects;
        for (UObject* Object : InObjects) TypedObjects.Add(CastChecked<T>(Object));
        return TypedObjects;
    }
};

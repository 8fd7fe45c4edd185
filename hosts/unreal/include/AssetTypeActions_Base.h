#pragma once
// The defaults of an asset type's actions: no menu actions, no merge, filtering allowed.
#include "IAssetTypeActions.h"

class ASSETTOOLS_API FAssetTypeActions_Base : public IAssetTypeActions {
public:
    bool HasActions(const TArray<UObject*>& InObjects) const override { (void)InObjects; return false; }
    void GetActions(const TArray<UObject*>& InObjects, FMenuBuilder& MenuBuilder) override { (void)InObjects; (void)MenuBuilder; }
    void OpenAssetEditor(const TArray<UObject*>& InObjects, TSharedPtr<IToolkitHost> EditWithinLevelEditor = TSharedPtr<IToolkitHost>()) override;
    bool AssetsActivatedOverride(const TArray<UObject*>& InObjects, EAssetTypeActivationMethod::Type ActivationType) override {
        (void)InObjects; (void)ActivationType; return false;
    }
    bool CanFilter() override { return true; }
    bool CanLocalize() const override { return true; }
    bool CanMerge() const override { return false; }
    void Merge(UObject* InObject) override { (void)InObject; check(!"Merge not supported by this asset type"); }
    void Merge(UObject* BaseAsset, UObject* RemoteAsset, UObject* LocalAsset, const FOnMergeResolved& ResolutionCallback) override {
        (void)BaseAsset; (void)RemoteAsset; (void)LocalAsset; (void)ResolutionCallback;
        check(!"Merge not supported by this asset type");
    }
    uint32 GetCategories() override { return EAssetTypeCategories::Misc; }
    FText GetDisplayNameFromAssetData(const FAssetData& AssetData) const override { (void)AssetData; return FText::GetEmpty(); }
    FText GetAssetDescription(const FAssetData& AssetData) const override { (void)AssetData; return FText::GetEmpty(); }
    FString GetObjectDisplayName(UObject* Object) const override { return Object->GetName(); }
    bool ShouldForceWorldCentric() override { return false; }
    void PerformAssetDiff(UObject* OldAsset, UObject* NewAsset, const FRevisionInfo& OldRevision, const FRevisionInfo& NewRevision) const override;
    UThumbnailInfo* GetThumbnailInfo(UObject* Asset) const override { (void)Asset; return nullptr; }
    EThumbnailPrimType GetDefaultThumbnailPrimitiveType(UObject* Asset) const override { (void)Asset; return TPT_Sphere; }
    TSharedPtr<SWidget> GetThumbnailOverlay(const FAssetData& AssetData) const override { (void)AssetData; return nullptr; }
    bool IsImportedAsset() const override { return false; }
    void GetResolvedSourceFilePaths(const TArray<UObject*>& TypeAssets, TArray<FString>& OutSourceFilePaths) const override {
        (void)TypeAssets; (void)OutSourceFilePaths;
    }
    void BuildBackendFilter(FARFilter& InFilter) override { (void)InFilter; }

protected:
    template <typename ObjectType>
    static TArray<TWeakObjectPtr<ObjectType>> GetTypedWeakObjectPtrs(const TArray<UObject*>& InObjects) {
        TArray<TWeakObjectPtr<ObjectType>> TypedObjects;
        for (UObject* Object : InObjects)
            if (ObjectType* Typed = Cast<ObjectType>(Object)) TypedObjects.Add(Typed);
        return TypedObjects;
    }
};

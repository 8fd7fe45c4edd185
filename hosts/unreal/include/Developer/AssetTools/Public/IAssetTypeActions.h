#pragma once
// What the editor knows about one asset type: name, class, colour, menu actions …
#include "CoreUObject.h"
#include "AssetData.h"

class FMenuBuilder;
class IToolkitHost;
class UThumbnailInfo;
class SWidget;
struct FRevisionInfo {
    FString Revision;
    int32 Changelist = 0;
};

namespace EAssetTypeCategories {
enum Type {
    None = 0,
    Basic = 1 << 0,
    Animation = 1 << 1,
    MaterialsAndTextures = 1 << 2,
    Sounds = 1 << 3,
    Physics = 1 << 4,
    UI = 1 << 5,
    Misc = 1 << 6,
    Gameplay = 1 << 7,
    Blueprint = 1 << 8,
    Media = 1 << 9,
};
}
namespace EAssetTypeActivationMethod { enum Type { DoubleClicked, Opened, Previewed }; }
enum EThumbnailPrimType { TPT_None, TPT_Sphere, TPT_Cube, TPT_Plane, TPT_Cylinder, TPT_MAX };

DECLARE_DELEGATE_OneParam(FOnMergeResolved, UPackage*)

class IAssetTypeActions : public TSharedFromThis<IAssetTypeActions> {
public:
    virtual ~IAssetTypeActions() {}
    virtual FText GetName() const = 0;
    virtual UClass* GetSupportedClass() const = 0;
    virtual FColor GetTypeColor() const = 0;
    virtual bool HasActions(const TArray<UObject*>& InObjects) const = 0;
    virtual void GetActions(const TArray<UObject*>& InObjects, FMenuBuilder& MenuBuilder) = 0;
    virtual void OpenAssetEditor(const TArray<UObject*>& InObjects, TSharedPtr<IToolkitHost> EditWithinLevelEditor = TSharedPtr<IToolkitHost>()) = 0;
    // Double click, Enter or Space on assets of this type.
    virtual void AssetsActivated(const TArray<UObject*>& InObjects, EAssetTypeActivationMethod::Type ActivationType) = 0;
    virtual bool CanFilter() = 0;
    virtual bool CanLocalize() const = 0;
    virtual bool CanMerge() const = 0;
    virtual void Merge(UObject* InObject) = 0;
    virtual void Merge(UObject* BaseAsset, UObject* RemoteAsset, UObject* LocalAsset, const FOnMergeResolved& ResolutionCallback) = 0;
    virtual uint32 GetCategories() = 0;
    virtual bool ShouldForceWorldCentric() = 0;
    virtual void PerformAssetDiff(UObject* OldAsset, UObject* NewAsset, const FRevisionInfo& OldRevision, const FRevisionInfo& NewRevision) const = 0;
    virtual UThumbnailInfo* GetThumbnailInfo(UObject* Asset) const = 0;
    virtual EThumbnailPrimType GetDefaultThumbnailPrimitiveType(UObject* Asset) const = 0;
    virtual TSharedPtr<SWidget> GetThumbnailOverlay(const FAssetData& AssetData) const = 0;
    virtual FText GetAssetDescription(const FAssetData& AssetData) const = 0;
    virtual bool IsImportedAsset() const = 0;
    virtual void GetResolvedSourceFilePaths(const TArray<UObject*>& TypeAssets, TArray<FString>& OutSourceFilePaths) const = 0;
};

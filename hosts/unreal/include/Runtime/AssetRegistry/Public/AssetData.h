#pragma once
#include "CoreUObject.h"

// A listed asset, loaded or not.
struct ASSETTOOLS_API FAssetData {
    FAssetData() = default;
    FAssetData(FName InPackageName, FName InPackagePath, FName InAssetName, FName InAssetClass);
    explicit FAssetData(const UObject* InAsset);
    bool IsValid() const { return !ObjectPath.IsNone(); }
    bool IsAssetLoaded() const;
    UObject* GetAsset() const; // loads it when needed

    FName ObjectPath;
    FName PackageName;
    FName PackagePath;
    FName AssetName;
    FName AssetClass;
};

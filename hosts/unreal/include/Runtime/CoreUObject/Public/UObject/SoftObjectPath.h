#pragma once
// FSoftObjectPath: an object named by path, loaded on demand.
#include "UObject/UObjectGlobals.h"
#include <utility>

struct COREUOBJECT_API FSoftObjectPath {
    FSoftObjectPath() = default;
    FSoftObjectPath(FString PathString) { SetPath(std::move(PathString)); }
    FSoftObjectPath(const UObject* Object);

    void SetPath(FString Path);
    FString ToString() const;
    bool IsValid() const { return !AssetPathName.IsNone(); }
    bool IsNull() const { return AssetPathName.IsNone(); }
    void Reset() { AssetPathName = NAME_None; SubPathString.Empty(); }
    FName GetAssetPathName() const { return AssetPathName; }
    FString GetAssetPathString() const { return AssetPathName.ToString(); }
    FString GetLongPackageName() const;
    FString GetAssetName() const;
    UObject* ResolveObject() const; // only if already loaded
    UObject* TryLoad() const;       // loads it when needed; null when it cannot be found

private:
    FName AssetPathName;
    FString SubPathString;
};

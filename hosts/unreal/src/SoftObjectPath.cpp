// Soft object paths: "/Pkg/Path.Object" (or a package name) loaded on demand.
#include "UObject/SoftObjectPath.h"

FSoftObjectPath::FSoftObjectPath(const UObject* Object) {
    if (Object) SetPath(Object->GetPathName());
}

void FSoftObjectPath::SetPath(FString Path) {
    Path = Path.TrimStartAndEnd();
    SubPathString.Empty();
    if (Path.IsEmpty() || Path == TEXT("None")) {
        AssetPathName = NAME_None;
        return;
    }
    FString Asset, Sub;
    if (Path.Split(TEXT(":"), &Asset, &Sub)) {
        Path = Asset;
        SubPathString = Sub;
    }
    AssetPathName = FName(*Path);
}

FString FSoftObjectPath::ToString() const {
    if (IsNull()) return FString();
    FString Path = AssetPathName.ToString();
    if (!SubPathString.IsEmpty()) Path += FString(TEXT(":")) + SubPathString;
    return Path;
}

FString FSoftObjectPath::GetLongPackageName() const {
    FString Package;
    const FString Path = AssetPathName.ToString();
    return Path.Split(TEXT("."), &Package, nullptr) ? Package : Path;
}

FString FSoftObjectPath::GetAssetName() const {
    FString Asset;
    return AssetPathName.ToString().Split(TEXT("."), nullptr, &Asset) ? Asset : FString();
}

UObject* FSoftObjectPath::ResolveObject() const {
    if (IsNull()) return nullptr;
    FString Path = ToString();
    if (!Path.Contains(TEXT("."))) {
        int32 Slash;
        if (Path.FindLastChar(TEXT('/'), Slash)) Path = Path + TEXT(".") + Path.Mid(Slash + 1);
    }
    return StaticFindObject(UObject::StaticClass(), nullptr, *Path);
}

UObject* FSoftObjectPath::TryLoad() const {
    if (IsNull()) return nullptr;
    return StaticLoadObject(UObject::StaticClass(), nullptr, *ToString());
}

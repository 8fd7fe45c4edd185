// Content folders: mount points, the text asset format, loading packages from it and
// listing what is there.
#include "ContentLoader.h"
#include "Misc/PackageName.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceConstant.h"
#include "Curves/CurveFloat.h"
#include "UE4Host/Content.h"
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

DEFINE_LOG_CATEGORY_STATIC(LogLinker, Log, All)

namespace {

struct FMount {
    FString Root;    // "/Game/"
    FString Content; // folder, no trailing slash
};
std::vector<FMount>& Mounts() {
    static auto* M = new std::vector<FMount>;
    return *M;
}

// The engine refuses these in package names; any other character, non-ASCII ones included,
// may be part of a name.
bool IsNameChar(TCHAR C) {
    for (const TCHAR* Invalid = TEXT("\\:*?\"<>|' ,.&!~\n\r\t@#"); *Invalid; ++Invalid)
        if (C == *Invalid) return false;
    return C >= TEXT(' ');
}

// One "Key=Value" line of an asset file.
struct FLine {
    int32 Number;
    FString Key, Value;
};

bool ParseFloats(const FString& Text, float* Out, int32 Count) {
    TArray<FString> Parts;
    if (Text.ParseIntoArrayWS(Parts) != Count) return false;
    for (int32 I = 0; I < Count; ++I) {
        if (!Parts[I].IsNumeric()) return false;
        Out[I] = FCString::Atof(*Parts[I]);
    }
    return true;
}

bool ParseBool(const FString& Text, uint32& Out) {
    if (Text == TEXT("true") || Text == TEXT("1")) { Out = 1; return true; }
    if (Text == TEXT("false") || Text == TEXT("0")) { Out = 0; return true; }
    return false;
}

std::set<std::basic_string<TCHAR>>& LoadingPackages() {
    static auto* S = new std::set<std::basic_string<TCHAR>>;
    return *S;
}

// Reads the lines of an asset file; false (with a warning) on a malformed line.
bool ReadAssetFile(const FString& Filename, std::vector<FLine>& Lines) {
    std::ifstream In(TCHAR_TO_UTF8(*Filename));
    if (!In) return false;
    std::string Raw;
    int32 Number = 0;
    while (std::getline(In, Raw)) {
        ++Number;
        FString Line = FString(Raw.c_str()).TrimStartAndEnd();
        if (Line.IsEmpty() || Line[0] == TEXT('#')) continue;
        FString Key, Value;
        if (!Line.Split(TEXT("="), &Key, &Value)) {
            UE_LOG(LogLinker, Warning, TEXT("%s:%d: expected Key=Value"), *Filename, Number);
            return false;
        }
        Lines.push_back(FLine{Number, Key.TrimStartAndEnd(), Value.TrimStartAndEnd()});
    }
    return true;
}

FString ClassOf(const std::vector<FLine>& Lines) {
    for (const FLine& L : Lines)
        if (L.Key == TEXT("Class")) return L.Value;
    return FString();
}

bool Bad(const FString& Filename, const FLine& L, const TCHAR* What) {
    UE_LOG(LogLinker, Warning, TEXT("%s:%d: %s '%s'"), *Filename, L.Number, What, *L.Value);
    return false;
}

// Fills a new asset from its lines; false on a value that does not parse.
bool ApplyLines(UObject* Asset, const FString& Filename, const std::vector<FLine>& Lines) {
    for (const FLine& L : Lines) {
        if (L.Key == TEXT("Class")) continue;
        float V[4];
        if (UMaterial* Material = Cast<UMaterial>(Asset)) {
            if (L.Key == TEXT("BaseColor")) {
                if (!ParseFloats(L.Value, V, 4)) return Bad(Filename, L, TEXT("BaseColor needs four numbers, got"));
                Material->BaseColorConstant = FLinearColor(V[0], V[1], V[2], V[3]);
            } else if (L.Key == TEXT("TwoSided") || L.Key == TEXT("Wireframe")) {
                uint32 B;
                if (!ParseBool(L.Value, B)) return Bad(Filename, L, TEXT("expected true or false, got"));
                if (L.Key == TEXT("TwoSided")) Material->TwoSided = B; else Material->Wireframe = B;
            } else {
                return Bad(Filename, L, *(FString(TEXT("unknown material key ")) + L.Key + TEXT(" with value")));
            }
        } else if (UMaterialInstanceConstant* Instance = Cast<UMaterialInstanceConstant>(Asset)) {
            if (L.Key == TEXT("Parent")) {
                UMaterialInterface* Parent = LoadObject<UMaterialInterface>(nullptr, *L.Value);
                if (!Parent) return Bad(Filename, L, TEXT("parent material not found:"));
                Instance->SetParentEditorOnly(Parent);
            } else if (L.Key == TEXT("VectorParameter")) {
                FString Name, Numbers;
                if (!L.Value.Split(TEXT(" "), &Name, &Numbers) || !ParseFloats(Numbers, V, 4))
                    return Bad(Filename, L, TEXT("VectorParameter needs a name and four numbers, got"));
                Instance->SetVectorParameterValueEditorOnly(FName(*Name), FLinearColor(V[0], V[1], V[2], V[3]));
            } else {
                return Bad(Filename, L, *(FString(TEXT("unknown material instance key ")) + L.Key + TEXT(" with value")));
            }
        } else if (UCurveFloat* Curve = Cast<UCurveFloat>(Asset)) {
            if (L.Key != TEXT("Key")) return Bad(Filename, L, *(FString(TEXT("unknown curve key ")) + L.Key + TEXT(" with value")));
            if (!ParseFloats(L.Value, V, 2)) return Bad(Filename, L, TEXT("Key needs a time and a value, got"));
            Curve->FloatCurve.AddKey(V[0], V[1]);
        }
    }
    return true;
}

} // namespace

void FPackageName::RegisterMountPoint(const FString& RootPath, const FString& ContentPath) {
    FString Content = ContentPath;
    while (Content.Len() > 1 && Content.EndsWith(TEXT("/"))) Content = Content.LeftChop(1);
    UnRegisterMountPoint(RootPath, ContentPath);
    Mounts().push_back(FMount{RootPath, Content});
}

void FPackageName::UnRegisterMountPoint(const FString& RootPath, const FString&) {
    auto& M = Mounts();
    for (size_t I = 0; I < M.size(); ++I)
        if (M[I].Root == RootPath) { M.erase(M.begin() + I); return; }
}

bool FPackageName::IsValidLongPackageName(const FString& Name) {
    if (!Name.StartsWith(TEXT("/")) || Name.EndsWith(TEXT("/")) || Name.Contains(TEXT("//"))) return false;
    for (int32 I = 1; I < Name.Len(); ++I)
        if (Name[I] != TEXT('/') && !IsNameChar(Name[I])) return false;
    return Name.Len() > 1;
}

bool FPackageName::TryConvertLongPackageNameToFilename(const FString& InLongPackageName, FString& OutFilename, const FString& InExtension) {
    if (!IsValidLongPackageName(InLongPackageName)) return false; // also keeps ".." out of paths
    for (const FMount& M : Mounts())
        if (InLongPackageName.StartsWith(M.Root, ESearchCase::CaseSensitive)) {
            OutFilename = M.Content + TEXT("/") + InLongPackageName.Mid(M.Root.Len()) + InExtension;
            return true;
        }
    return false;
}

FString FPackageName::GetShortName(const FString& LongName) {
    int32 Slash;
    return LongName.FindLastChar(TEXT('/'), Slash) ? LongName.Mid(Slash + 1) : LongName;
}

FString FPackageName::GetLongPackagePath(const FString& InLongPackageName) {
    int32 Slash;
    return InLongPackageName.FindLastChar(TEXT('/'), Slash) ? InLongPackageName.Left(Slash) : InLongPackageName;
}

bool UE4Host::IsLoadingContentPackage(const FString& LongPackageName) {
    return LoadingPackages().count(std::basic_string<TCHAR>(*LongPackageName)) != 0;
}

UPackage* UE4Host::LoadContentPackage(const FString& LongPackageName) {
    FString Filename;
    if (!FPackageName::TryConvertLongPackageNameToFilename(LongPackageName, Filename, FPackageName::GetAssetPackageExtension())) return nullptr;
    std::vector<FLine> Lines;
    if (!ReadAssetFile(Filename, Lines)) return nullptr;
    const std::basic_string<TCHAR> Key(*LongPackageName);
    if (LoadingPackages().count(Key)) {
        UE_LOG(LogLinker, Warning, TEXT("%s refers to itself through its parents"), *LongPackageName);
        return nullptr;
    }
    const FString ClassName = ClassOf(Lines);
    UClass* Class = FindObject<UClass>(ANY_PACKAGE, *ClassName);
    const bool bKnown = Class && (Class->IsChildOf(UMaterial::StaticClass()) || Class->IsChildOf(UMaterialInstanceConstant::StaticClass()) ||
                                  Class->IsChildOf(UCurveFloat::StaticClass()));
    if (!bKnown) {
        UE_LOG(LogLinker, Warning, TEXT("%s: unknown asset class '%s'"), *Filename, *ClassName);
        return nullptr;
    }
    LoadingPackages().insert(Key);
    UPackage* Package = CreatePackage(nullptr, *LongPackageName);
    UObject* Asset = NewObject<UObject>(Package, Class, FName(*FPackageName::GetShortName(LongPackageName)), RF_Public | RF_Standalone);
    const bool bOk = ApplyLines(Asset, Filename, Lines);
    LoadingPackages().erase(Key);
    if (!bOk) {
        // A half-read asset is not kept: the next collection frees it.
        Asset->ClearFlags(RF_Standalone);
        Asset->MarkPendingKill();
        Package->MarkPendingKill();
        return nullptr;
    }
    Asset->SetFlags(RF_WasLoaded | RF_LoadCompleted);
    Asset->PostLoad();
    return Package;
}

TArray<FAssetData> UE4Host::ListContentAssets() {
    TArray<FAssetData> Assets;
    namespace fs = std::filesystem;
    for (const FMount& M : Mounts()) {
        std::error_code Error;
        const fs::path Root(TCHAR_TO_UTF8(*M.Content));
        for (fs::recursive_directory_iterator It(Root, Error), End; !Error && It != End; It.increment(Error)) {
            if (!It->is_regular_file() || It->path().extension() != ".uasset") continue;
            fs::path Relative = fs::relative(It->path(), Root, Error);
            if (Error) break;
            Relative.replace_extension();
            const FString PackageName = M.Root + FString(Relative.generic_string().c_str());
            if (!FPackageName::IsValidLongPackageName(PackageName)) continue;
            std::vector<FLine> Lines;
            if (!ReadAssetFile(FString(It->path().string().c_str()), Lines)) continue;
            Assets.Add(FAssetData(FName(*PackageName), FName(*FPackageName::GetLongPackagePath(PackageName)),
                                  FName(*FPackageName::GetShortName(PackageName)), FName(*ClassOf(Lines))));
        }
    }
    Assets.Sort([](const FAssetData& A, const FAssetData& B) { return A.PackageName.ToString() < B.PackageName.ToString(); });
    return Assets;
}

FAssetData::FAssetData(FName InPackageName, FName InPackagePath, FName InAssetName, FName InAssetClass)
    : ObjectPath(*(InPackageName.ToString() + TEXT(".") + InAssetName.ToString())), PackageName(InPackageName), PackagePath(InPackagePath),
      AssetName(InAssetName), AssetClass(InAssetClass) {}

FAssetData::FAssetData(const UObject* InAsset) {
    if (!InAsset) return;
    PackageName = InAsset->GetOutermost()->GetFName();
    PackagePath = FName(*FPackageName::GetLongPackagePath(PackageName.ToString()));
    AssetName = InAsset->GetFName();
    AssetClass = InAsset->GetClass()->GetFName();
    ObjectPath = FName(*InAsset->GetPathName());
}

bool FAssetData::IsAssetLoaded() const { return StaticFindObject(UObject::StaticClass(), nullptr, *ObjectPath.ToString()) != nullptr; }
UObject* FAssetData::GetAsset() const { return IsValid() ? StaticLoadObject(UObject::StaticClass(), nullptr, *ObjectPath.ToString()) : nullptr; }

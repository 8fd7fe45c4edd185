#pragma once
// FName: an interned, case-insensitive name. Names compare by their lower-case entry; the
// spelling first seen is the one shown.
#include "Containers/UnrealString.h"

// The engine's hard-coded names used here.
enum EName { NAME_None = 0, NAME_Color };
enum EFindName { FNAME_Find, FNAME_Add };

class CORE_API FName {
public:
    FName() = default;
    FName(EName Name);
    FName(const TCHAR* Name, EFindName FindType = FNAME_Add);
    FName(const ANSICHAR* Name, EFindName FindType = FNAME_Add);
    FName(const FString& Name, EFindName FindType = FNAME_Add) : FName(*Name, FindType) {}
    // The engine's numbered names: Number N > 0 reads as "Base_{N-1}".
    FName(FName Base, int32 Number);

    FString ToString() const;
    FString GetPlainNameString() const { return ToString(); }
    bool IsNone() const { return ComparisonIndex == 0; }
    bool IsValid() const { return true; }
    int32 GetComparisonIndex() const { return ComparisonIndex; }
    bool operator==(const FName& Other) const { return ComparisonIndex == Other.ComparisonIndex; }
    bool operator!=(const FName& Other) const { return ComparisonIndex != Other.ComparisonIndex; }
    bool operator==(EName Name) const { return *this == FName(Name); }
    bool operator!=(EName Name) const { return !(*this == Name); }

private:
    int32 ComparisonIndex = 0;
    int32 DisplayIndex = 0;
};

FORCEINLINE uint32 GetTypeHash(const FName& Name) { return static_cast<uint32>(Name.GetComparisonIndex()); }

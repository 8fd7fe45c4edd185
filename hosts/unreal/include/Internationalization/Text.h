#pragma once
// FText: display text. The stand-in has one culture, so text is its source string.
#include "UObject/NameTypes.h"
#include <memory>

class CORE_API FText {
public:
    FText() : Str(std::make_shared<FString>()) {}
    static FText FromString(const FString& S) { FText T; T.Str = std::make_shared<FString>(S); return T; }
    static FText FromName(const FName& N) { return FromString(N.ToString()); }
    static FText AsCultureInvariant(const FString& S) { return FromString(S); }
    static const FText& GetEmpty() { static const FText* Empty = new FText; return *Empty; }
    const FString& ToString() const { return *Str; }
    bool IsEmpty() const { return Str->IsEmpty(); }
    bool EqualTo(const FText& Other) const { return Str->Equals(*Other.Str); }

private:
    std::shared_ptr<FString> Str;
};

#define LOCTEXT(InKey, InTextLiteral) FText::FromString(FString(TEXT(InTextLiteral)))
#define NSLOCTEXT(InNamespace, InKey, InTextLiteral) FText::FromString(FString(TEXT(InTextLiteral)))

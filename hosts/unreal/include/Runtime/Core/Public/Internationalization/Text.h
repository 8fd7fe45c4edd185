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

// Namespace and key name the text for translation, which the stand-in has none of; they
// are still required, and LOCTEXT needs LOCTEXT_NAMESPACE defined, as in the engine.
#define NSLOCTEXT(InNamespace, InKey, InTextLiteral) \
    FText::FromString(FString(((void)TEXT(InNamespace), (void)TEXT(InKey), TEXT(InTextLiteral))))
#define LOCTEXT(InKey, InTextLiteral) NSLOCTEXT(LOCTEXT_NAMESPACE, InKey, InTextLiteral)

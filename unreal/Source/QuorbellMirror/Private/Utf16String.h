#pragma once
// Names cross the link as UTF-16 code units (char16_t); the engine keeps them as FStrings
// of TCHARs. Every conversion between the two goes through these.
#include "CoreMinimal.h"

#include <cstddef>
#include <string>

// Count units of Units, up to the first 0 unit.
FString Utf16ToFString(const char16_t* Units, std::size_t Count);
inline FString Utf16ToFString(const std::u16string& Units) { return Utf16ToFString(Units.data(), Units.size()); }

std::u16string FStringToUtf16(const FString& String);

#include "Utf16String.h"

// TCHAR is wchar_t on Windows and char16_t on Linux; on both it is one UTF-16 code unit, so
// a name is copied unit for unit, surrogate pairs included.
static_assert(sizeof(TCHAR) == sizeof(char16_t), "TCHAR must be a UTF-16 code unit for names to cross the link unchanged");

FString Utf16ToFString(const char16_t* Units, std::size_t Count) {
    FString Result;
    if (Count == 0) return Result;
    if (Count < std::size_t(0x7fffffff)) Result.GetCharArray().Reserve(int32(Count) + 1);
    for (std::size_t Index = 0; Index < Count && Units[Index] != 0; ++Index) Result.AppendChar(TCHAR(Units[Index]));
    return Result;
}

std::u16string FStringToUtf16(const FString& String) {
    std::u16string Result;
    Result.reserve(std::size_t(String.Len()));
    for (const TCHAR* Unit = *String; *Unit; ++Unit) Result.push_back(char16_t(*Unit));
    return Result;
}

#pragma once
// FString: a growable string of TCHARs (UTF-16 code units), stored with its terminating 0
// when not empty.
#include "Containers/Array.h"
#include <string>

namespace ESearchCase { enum Type { CaseSensitive, IgnoreCase }; }
namespace ESearchDir { enum Type { FromStart, FromEnd }; }

class CORE_API FString {
public:
    FString() = default;
    FString(const TCHAR* Str);
    FString(const ANSICHAR* Str); // UTF-8
    // Count characters of Str, which need not be terminated.
    explicit FString(int32 InCount, const TCHAR* InSrc);

    const TCHAR* operator*() const { return Data.Num() ? Data.GetData() : TEXT(""); }
    int32 Len() const { return Data.Num() ? Data.Num() - 1 : 0; }
    bool IsEmpty() const { return Len() == 0; }
    void Empty(int32 Slack = 0) { Data.Empty(Slack); }
    void Reset(int32 NewReservedSize = 0) { Data.Reset(NewReservedSize > 0 ? NewReservedSize + 1 : 0); }
    TArray<TCHAR>& GetCharArray() { return Data; }
    const TArray<TCHAR>& GetCharArray() const { return Data; }
    TCHAR& operator[](int32 Index) { check(Index >= 0 && Index < Len()); return Data[Index]; }
    const TCHAR& operator[](int32 Index) const { check(Index >= 0 && Index < Len()); return Data[Index]; }

    FString& operator+=(const TCHAR* Str);
    FString& operator+=(const FString& Str) { return *this += *Str; }
    FString& operator+=(TCHAR Ch) { AppendChar(Ch); return *this; }
    FString& AppendChar(const TCHAR InChar);
    // Count characters of Array, which need not be terminated.
    void AppendChars(const TCHAR* Array, int32 Count);
    FString& Append(const TCHAR* Text, int32 Count);
    friend FString operator+(const FString& A, const FString& B) { FString R(A); R += B; return R; }
    friend FString operator+(const FString& A, const TCHAR* B) { FString R(A); R += B; return R; }
    friend FString operator+(const TCHAR* A, const FString& B) { FString R(A); R += B; return R; }

    bool Equals(const FString& Other, ESearchCase::Type SearchCase = ESearchCase::CaseSensitive) const;
    // The engine compares FStrings ignoring case with ==.
    friend bool operator==(const FString& A, const FString& B) { return A.Equals(B, ESearchCase::IgnoreCase); }
    friend bool operator!=(const FString& A, const FString& B) { return !(A == B); }
    friend bool operator==(const FString& A, const TCHAR* B) { return A.Equals(FString(B), ESearchCase::IgnoreCase); }
    friend bool operator!=(const FString& A, const TCHAR* B) { return !(A == B); }
    friend bool operator<(const FString& A, const FString& B) { return A.Compare(B, ESearchCase::IgnoreCase) < 0; }
    int32 Compare(const FString& Other, ESearchCase::Type SearchCase = ESearchCase::CaseSensitive) const;

    bool StartsWith(const FString& Prefix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
    bool EndsWith(const FString& Suffix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
    int32 Find(const FString& Sub, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase,
               ESearchDir::Type Dir = ESearchDir::FromStart, int32 StartPosition = INDEX_NONE) const;
    bool Contains(const FString& Sub, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const { return Find(Sub, SearchCase) != INDEX_NONE; }
    bool FindChar(TCHAR Ch, int32& Index) const;
    bool FindLastChar(TCHAR Ch, int32& Index) const;
    bool Split(const FString& InS, FString* LeftS, FString* RightS, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase,
               ESearchDir::Type Dir = ESearchDir::FromStart) const;
    FString Left(int32 Count) const;
    FString LeftChop(int32 Count) const { return Left(Len() - Count); }
    FString Right(int32 Count) const;
    FString RightChop(int32 Count) const { return Mid(Count); }
    FString Mid(int32 Start, int32 Count = 0x7fffffff) const;
    FString ToLower() const;
    FString ToUpper() const;
    FString TrimStartAndEnd() const;
    FString Replace(const TCHAR* From, const TCHAR* To, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
    int32 ParseIntoArray(TArray<FString>& OutArray, const TCHAR* Delimiter, bool bCullEmpty = true) const;
    int32 ParseIntoArrayWS(TArray<FString>& OutArray) const;
    bool IsNumeric() const;

    // C-style formatting: %s takes a TCHAR string (pass *MyString), the rest as printf.
    static FString Printf(const TCHAR* Fmt, ...);
    static FString FromInt(int32 Num);
    static FString SanitizeFloat(double InFloat);

private:
    TArray<TCHAR> Data;
};

// UTF-8 views of TCHAR strings and back, as the engine's conversion macros give them.
class CORE_API FTCHARToUTF8 {
public:
    explicit FTCHARToUTF8(const TCHAR* Source);
    const ANSICHAR* Get() const { return Converted.c_str(); }
    int32 Length() const { return static_cast<int32>(Converted.size()); }
private:
    std::string Converted;
};
class CORE_API FUTF8ToTCHAR {
public:
    explicit FUTF8ToTCHAR(const ANSICHAR* Source);
    const TCHAR* Get() const { return Converted.c_str(); }
    int32 Length() const { return static_cast<int32>(Converted.size()); }
private:
    std::basic_string<TCHAR> Converted;
};
#define TCHAR_TO_UTF8(str) (FTCHARToUTF8((const TCHAR*)(str)).Get())
#define UTF8_TO_TCHAR(str) (FUTF8ToTCHAR((const ANSICHAR*)(str)).Get())
#define TCHAR_TO_ANSI(str) TCHAR_TO_UTF8(str)
#define ANSI_TO_TCHAR(str) UTF8_TO_TCHAR(str)

// Character helpers used by the string code.
struct CORE_API FCString {
    static int32 Strlen(const TCHAR* Str);
    static int32 Stricmp(const TCHAR* A, const TCHAR* B);
    static int32 Strcmp(const TCHAR* A, const TCHAR* B);
    static int32 Atoi(const TCHAR* Str);
    static float Atof(const TCHAR* Str);
};
struct FChar {
    static TCHAR ToLower(TCHAR C) { return (C >= TEXT('A') && C <= TEXT('Z')) ? TCHAR(C + 32) : C; }
    static TCHAR ToUpper(TCHAR C) { return (C >= TEXT('a') && C <= TEXT('z')) ? TCHAR(C - 32) : C; }
    static bool IsWhitespace(TCHAR C) { return C == TEXT(' ') || C == TEXT('\t') || C == TEXT('\r') || C == TEXT('\n'); }
    static bool IsDigit(TCHAR C) { return C >= TEXT('0') && C <= TEXT('9'); }
};

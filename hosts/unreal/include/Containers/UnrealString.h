#pragma once
// FString: a growable string of UTF-16 TCHARs, stored with its terminating 0 when not empty.
#include "Containers/Array.h"
#include <string>

namespace ESearchCase { enum Type { CaseSensitive, IgnoreCase }; }
namespace ESearchDir { enum Type { FromStart, FromEnd }; }

class CORE_API FString {
public:
    FString() = default;
    FString(const TCHAR* Str);
    FString(const ANSICHAR* Str); // UTF-8
    FString(int32 Count, const TCHAR* Str);
    explicit FString(const std::u16string& Str);

    const TCHAR* operator*() const { return Data.Num() ? Data.GetData() : u""; }
    int32 Len() const { return Data.Num() ? Data.Num() - 1 : 0; }
    bool IsEmpty() const { return Len() == 0; }
    void Empty(int32 Slack = 0) { Data.Empty(Slack); }
    void Reset() { Data.Reset(); }
    TArray<TCHAR>& GetCharArray() { return Data; }
    const TArray<TCHAR>& GetCharArray() const { return Data; }
    TCHAR& operator[](int32 Index) { check(Index >= 0 && Index < Len()); return Data[Index]; }
    const TCHAR& operator[](int32 Index) const { check(Index >= 0 && Index < Len()); return Data[Index]; }

    FString& operator+=(const TCHAR* Str);
    FString& operator+=(const FString& Str) { return *this += *Str; }
    FString& operator+=(TCHAR Ch) { AppendChar(Ch); return *this; }
    FString& AppendChar(TCHAR Ch);
    FString& Append(const TCHAR* Str, int32 Count);
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
    std::u16string Converted;
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
    static TCHAR ToLower(TCHAR C) { return (C >= u'A' && C <= u'Z') ? TCHAR(C + 32) : C; }
    static TCHAR ToUpper(TCHAR C) { return (C >= u'a' && C <= u'z') ? TCHAR(C - 32) : C; }
    static bool IsWhitespace(TCHAR C) { return C == u' ' || C == u'\t' || C == u'\r' || C == u'\n'; }
    static bool IsDigit(TCHAR C) { return C >= u'0' && C <= u'9'; }
};

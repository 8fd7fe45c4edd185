// FString and the UTF-8/UTF-16 conversions.
#include "Containers/UnrealString.h"
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::basic_string<TCHAR> Utf8ToUtf16(const char* Src) {
    std::basic_string<TCHAR> Out;
    const unsigned char* S = reinterpret_cast<const unsigned char*>(Src);
    while (*S) {
        uint32 Cp;
        int Extra;
        if (*S < 0x80) { Cp = *S; Extra = 0; }
        else if ((*S & 0xE0) == 0xC0) { Cp = *S & 0x1F; Extra = 1; }
        else if ((*S & 0xF0) == 0xE0) { Cp = *S & 0x0F; Extra = 2; }
        else if ((*S & 0xF8) == 0xF0) { Cp = *S & 0x07; Extra = 3; }
        else { Out.push_back(TEXT('?')); ++S; continue; } // stray continuation byte
        ++S;
        bool Bad = false;
        for (int I = 0; I < Extra; ++I) {
            if ((*S & 0xC0) != 0x80) { Bad = true; break; }
            Cp = (Cp << 6) | (*S & 0x3F);
            ++S;
        }
        if (Bad || Cp > 0x10FFFF) { Out.push_back(TEXT('?')); continue; }
        if (Cp >= 0x10000) {
            Cp -= 0x10000;
            Out.push_back(TCHAR(0xD800 + (Cp >> 10)));
            Out.push_back(TCHAR(0xDC00 + (Cp & 0x3FF)));
        } else {
            Out.push_back(TCHAR(Cp));
        }
    }
    return Out;
}

std::string Utf16ToUtf8(const TCHAR* Src) {
    std::string Out;
    for (const TCHAR* S = Src; *S; ++S) {
        uint32 Cp = *S;
        if (Cp >= 0xD800 && Cp < 0xDC00 && S[1] >= 0xDC00 && S[1] < 0xE000) {
            Cp = 0x10000 + ((Cp - 0xD800) << 10) + (S[1] - 0xDC00);
            ++S;
        }
        if (Cp < 0x80) Out.push_back(char(Cp));
        else if (Cp < 0x800) { Out.push_back(char(0xC0 | (Cp >> 6))); Out.push_back(char(0x80 | (Cp & 0x3F))); }
        else if (Cp < 0x10000) { Out.push_back(char(0xE0 | (Cp >> 12))); Out.push_back(char(0x80 | ((Cp >> 6) & 0x3F))); Out.push_back(char(0x80 | (Cp & 0x3F))); }
        else { Out.push_back(char(0xF0 | (Cp >> 18))); Out.push_back(char(0x80 | ((Cp >> 12) & 0x3F))); Out.push_back(char(0x80 | ((Cp >> 6) & 0x3F))); Out.push_back(char(0x80 | (Cp & 0x3F))); }
    }
    return Out;
}

bool CharsEqual(TCHAR A, TCHAR B, ESearchCase::Type SearchCase) {
    return SearchCase == ESearchCase::CaseSensitive ? A == B : FChar::ToLower(A) == FChar::ToLower(B);
}

} // namespace

FTCHARToUTF8::FTCHARToUTF8(const TCHAR* Source) : Converted(Source ? Utf16ToUtf8(Source) : std::string()) {}
FUTF8ToTCHAR::FUTF8ToTCHAR(const ANSICHAR* Source) : Converted(Source ? Utf8ToUtf16(Source) : std::basic_string<TCHAR>()) {}

int32 FCString::Strlen(const TCHAR* Str) { int32 N = 0; while (Str && Str[N]) ++N; return N; }
int32 FCString::Strcmp(const TCHAR* A, const TCHAR* B) {
    for (; *A && *A == *B; ++A, ++B) {}
    return int32(*A) - int32(*B);
}
int32 FCString::Stricmp(const TCHAR* A, const TCHAR* B) {
    for (; *A && FChar::ToLower(*A) == FChar::ToLower(*B); ++A, ++B) {}
    return int32(FChar::ToLower(*A)) - int32(FChar::ToLower(*B));
}
int32 FCString::Atoi(const TCHAR* Str) { return std::atoi(TCHAR_TO_UTF8(Str)); }
float FCString::Atof(const TCHAR* Str) { return std::strtof(TCHAR_TO_UTF8(Str), nullptr); }

FString::FString(const TCHAR* Str) { if (Str && *Str) Append(Str, FCString::Strlen(Str)); }
FString::FString(const ANSICHAR* Str) {
    if (!Str) return;
    const std::basic_string<TCHAR> Converted = Utf8ToUtf16(Str);
    Append(Converted.data(), int32(Converted.size()));
}
FString::FString(int32 InCount, const TCHAR* InSrc) { if (InCount > 0) Append(InSrc, InCount); }

FString& FString::Append(const TCHAR* Text, int32 Count) {
    if (Count <= 0) return *this;
    if (Data.Num()) Data.Pop();
    Data.Append(Text, Count);
    Data.Add(0);
    return *this;
}
void FString::AppendChars(const TCHAR* Array, int32 Count) {
    check(Count >= 0);
    Append(Array, Count);
}
FString& FString::operator+=(const TCHAR* Str) { return Append(Str, FCString::Strlen(Str)); }
FString& FString::AppendChar(const TCHAR InChar) { return InChar ? Append(&InChar, 1) : *this; } // a 0 would end the string early

int32 FString::Compare(const FString& Other, ESearchCase::Type SearchCase) const {
    return SearchCase == ESearchCase::CaseSensitive ? FCString::Strcmp(**this, *Other) : FCString::Stricmp(**this, *Other);
}
bool FString::Equals(const FString& Other, ESearchCase::Type SearchCase) const {
    return Len() == Other.Len() && Compare(Other, SearchCase) == 0;
}
bool FString::StartsWith(const FString& Prefix, ESearchCase::Type SearchCase) const {
    if (Prefix.Len() > Len()) return false;
    for (int32 I = 0; I < Prefix.Len(); ++I) if (!CharsEqual((*this)[I], Prefix[I], SearchCase)) return false;
    return true;
}
bool FString::EndsWith(const FString& Suffix, ESearchCase::Type SearchCase) const {
    if (Suffix.Len() > Len()) return false;
    int32 Off = Len() - Suffix.Len();
    for (int32 I = 0; I < Suffix.Len(); ++I) if (!CharsEqual((*this)[Off + I], Suffix[I], SearchCase)) return false;
    return true;
}
int32 FString::Find(const FString& Sub, ESearchCase::Type SearchCase, ESearchDir::Type Dir, int32 Start) const {
    if (Sub.Len() > Len()) return INDEX_NONE;
    auto MatchAt = [&](int32 P) {
        for (int32 I = 0; I < Sub.Len(); ++I) if (!CharsEqual((*this)[P + I], Sub[I], SearchCase)) return false;
        return true;
    };
    if (Dir == ESearchDir::FromStart) {
        for (int32 P = Start == INDEX_NONE ? 0 : Start; P + Sub.Len() <= Len(); ++P) if (MatchAt(P)) return P;
    } else {
        int32 P = Len() - Sub.Len();
        if (Start != INDEX_NONE && Start - Sub.Len() < P) P = Start - Sub.Len();
        for (; P >= 0; --P) if (MatchAt(P)) return P;
    }
    return INDEX_NONE;
}
bool FString::FindChar(TCHAR Ch, int32& Index) const {
    for (int32 I = 0; I < Len(); ++I) if ((*this)[I] == Ch) { Index = I; return true; }
    Index = INDEX_NONE;
    return false;
}
bool FString::FindLastChar(TCHAR Ch, int32& Index) const {
    for (int32 I = Len() - 1; I >= 0; --I) if ((*this)[I] == Ch) { Index = I; return true; }
    Index = INDEX_NONE;
    return false;
}
bool FString::Split(const FString& InS, FString* LeftS, FString* RightS, ESearchCase::Type SearchCase, ESearchDir::Type Dir) const {
    int32 P = Find(InS, SearchCase, Dir);
    if (P == INDEX_NONE) return false;
    if (LeftS) *LeftS = Left(P);
    if (RightS) *RightS = Mid(P + InS.Len());
    return true;
}
FString FString::Left(int32 Count) const { return FString(std::max(0, std::min(Count, Len())), **this); }
FString FString::Right(int32 Count) const { int32 N = std::max(0, std::min(Count, Len())); return FString(N, **this + Len() - N); }
FString FString::Mid(int32 Start, int32 Count) const {
    Start = std::max(0, std::min(Start, Len()));
    int64 End = std::min<int64>(int64(Start) + std::max(0, Count), Len());
    return FString(int32(End - Start), **this + Start);
}
FString FString::ToLower() const { FString R(*this); for (int32 I = 0; I < R.Len(); ++I) R[I] = FChar::ToLower(R[I]); return R; }
FString FString::ToUpper() const { FString R(*this); for (int32 I = 0; I < R.Len(); ++I) R[I] = FChar::ToUpper(R[I]); return R; }
FString FString::TrimStartAndEnd() const {
    int32 B = 0, E = Len();
    while (B < E && FChar::IsWhitespace((*this)[B])) ++B;
    while (E > B && FChar::IsWhitespace((*this)[E - 1])) --E;
    return Mid(B, E - B);
}
FString FString::Replace(const TCHAR* From, const TCHAR* To, ESearchCase::Type SearchCase) const {
    FString FromS(From);
    if (FromS.IsEmpty()) return *this;
    FString Result;
    int32 Pos = 0;
    for (int32 Hit; (Hit = Find(FromS, SearchCase, ESearchDir::FromStart, Pos)) != INDEX_NONE; Pos = Hit + FromS.Len()) {
        Result += Mid(Pos, Hit - Pos);
        Result += To;
    }
    Result += Mid(Pos);
    return Result;
}
int32 FString::ParseIntoArray(TArray<FString>& Out, const TCHAR* Delimiter, bool bCullEmpty) const {
    Out.Reset();
    FString Delim(Delimiter);
    int32 Pos = 0;
    while (true) {
        int32 Hit = Delim.IsEmpty() ? INDEX_NONE : Find(Delim, ESearchCase::CaseSensitive, ESearchDir::FromStart, Pos);
        FString Piece = Mid(Pos, (Hit == INDEX_NONE ? Len() : Hit) - Pos);
        if (!bCullEmpty || !Piece.IsEmpty()) Out.Add(Piece);
        if (Hit == INDEX_NONE) break;
        Pos = Hit + Delim.Len();
    }
    return Out.Num();
}
int32 FString::ParseIntoArrayWS(TArray<FString>& Out) const {
    Out.Reset();
    FString Piece;
    for (int32 I = 0; I <= Len(); ++I) {
        if (I == Len() || FChar::IsWhitespace((*this)[I])) {
            if (!Piece.IsEmpty()) Out.Add(Piece);
            Piece.Empty();
        } else {
            Piece.AppendChar((*this)[I]);
        }
    }
    return Out.Num();
}
bool FString::IsNumeric() const {
    if (IsEmpty()) return false;
    int32 I = ((*this)[0] == TEXT('-') || (*this)[0] == TEXT('+')) ? 1 : 0;
    bool Digits = false, Dot = false;
    for (; I < Len(); ++I) {
        if (FChar::IsDigit((*this)[I])) Digits = true;
        else if ((*this)[I] == TEXT('.') && !Dot) Dot = true;
        else return false;
    }
    return Digits;
}
FString FString::FromInt(int32 Num) { return FString(std::to_string(Num).c_str()); }
FString FString::SanitizeFloat(double InFloat) {
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%f", InFloat);
    std::string S(Buf);
    while (S.size() > 1 && S.back() == '0' && S[S.size() - 2] != '.') S.pop_back();
    return FString(S.c_str());
}

FString FString::Printf(const TCHAR* Fmt, ...) {
    va_list Args;
    va_start(Args, Fmt);
    FString Out;
    for (const TCHAR* P = Fmt; *P; ++P) {
        if (*P != TEXT('%')) { Out.AppendChar(*P); continue; }
        // Gather one conversion directive: flags, width, precision, length, type.
        std::string Directive = "%";
        ++P;
        while (*P && std::strchr("-+ #0123456789.*", char(*P)) && *P < 0x80) Directive.push_back(char(*P++));
        std::string Length;
        while (*P == TEXT('l') || *P == TEXT('h') || *P == TEXT('z') || *P == TEXT('j') || *P == TEXT('t')) Length.push_back(char(*P++));
        TCHAR Type = *P;
        char Buf[128];
        switch (Type) {
        case TEXT('%'): Out.AppendChar(TEXT('%')); break;
        case TEXT('s'): { const TCHAR* S = va_arg(Args, const TCHAR*); Out += S ? S : TEXT("(null)"); break; }
        case TEXT('c'): Out.AppendChar(TCHAR(va_arg(Args, int))); break;
        case TEXT('d'): case TEXT('i'): case TEXT('u'): case TEXT('x'): case TEXT('X'): case TEXT('o'): {
            Directive += Length;
            Directive.push_back(char(Type));
            if (Length == "ll" || Length == "j") std::snprintf(Buf, sizeof Buf, Directive.c_str(), va_arg(Args, long long));
            else if (Length == "l" || Length == "z" || Length == "t") std::snprintf(Buf, sizeof Buf, Directive.c_str(), va_arg(Args, long));
            else std::snprintf(Buf, sizeof Buf, Directive.c_str(), va_arg(Args, int));
            Out += Buf;
            break;
        }
        case TEXT('f'): case TEXT('g'): case TEXT('e'): case TEXT('G'): case TEXT('E'):
            Directive.push_back(char(Type));
            std::snprintf(Buf, sizeof Buf, Directive.c_str(), va_arg(Args, double));
            Out += Buf;
            break;
        case TEXT('p'): std::snprintf(Buf, sizeof Buf, "%p", va_arg(Args, void*)); Out += Buf; break;
        case 0: --P; break; // a lone % at the end
        default: Out.AppendChar(TEXT('%')); Out.AppendChar(Type); break;
        }
    }
    va_end(Args);
    return Out;
}

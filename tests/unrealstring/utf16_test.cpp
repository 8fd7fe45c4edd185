// A material name crosses between Maya's UTF-16 and the editor's FString unit for unit, on
// the character type of each platform: wchar_t on Windows, char16_t on Linux.
#include "Utf16String.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <type_traits>

namespace {

const std::u16string kChineseName = u"/Game/材质/M_红";
const std::u16string kSurrogateName = u"/Game/M_\U0001F3A8"; // one code point, two units

#if defined(_WIN32)
static_assert(std::is_same<TCHAR, wchar_t>::value, "TCHAR is wchar_t on Windows");
#else
static_assert(std::is_same<TCHAR, char16_t>::value, "TCHAR is char16_t on Linux");
#endif

std::u16string UnitsOf(const FString& String) {
    std::u16string Units;
    for (int32 I = 0; I < String.Len(); ++I) Units.push_back(char16_t(String[I]));
    return Units;
}

TEST(Utf16String, ANonAsciiNameBecomesTheSameUnitsInAnFStringAndComesBack) {
    const FString Name = Utf16ToFString(kChineseName);
    EXPECT_EQ(Name.Len(), 12);
    EXPECT_EQ(UnitsOf(Name), kChineseName);
    EXPECT_EQ((*Name)[Name.Len()], TCHAR(0));
    // The engine's own spelling of the name, and its UTF-8, are the same string.
    EXPECT_TRUE(Name.Equals(FString(TEXT("/Game/材质/M_红")), ESearchCase::CaseSensitive));
    EXPECT_STREQ(TCHAR_TO_UTF8(*Name), "/Game/\xE6\x9D\x90\xE8\xB4\xA8/M_\xE7\xBA\xA2");
    EXPECT_EQ(FStringToUtf16(Name), kChineseName);
    EXPECT_EQ(FStringToUtf16(FString("/Game/\xE6\x9D\x90\xE8\xB4\xA8/M_\xE7\xBA\xA2")), kChineseName);
}

TEST(Utf16String, ASurrogatePairStaysTwoUnits) {
    const FString Name = Utf16ToFString(kSurrogateName.data(), kSurrogateName.size());
    ASSERT_EQ(Name.Len(), 10);
    EXPECT_EQ(Name[8], TCHAR(0xD83C));
    EXPECT_EQ(Name[9], TCHAR(0xDFA8));
    EXPECT_STREQ(TCHAR_TO_UTF8(*Name), "/Game/M_\xF0\x9F\x8E\xA8");
    EXPECT_EQ(FStringToUtf16(Name), kSurrogateName);
}

TEST(Utf16String, EmptyNamesAndTheEndOfAName) {
    EXPECT_TRUE(Utf16ToFString(std::u16string()).IsEmpty());
    EXPECT_TRUE(FStringToUtf16(FString()).empty());
    // An FString ends at its first 0: units after one are not part of the name.
    const char16_t WithZero[] = {u'M', u'_', 0, u'x'};
    EXPECT_EQ(UnitsOf(Utf16ToFString(WithZero, 4)), u"M_");
    // Only Count units are read.
    EXPECT_EQ(UnitsOf(Utf16ToFString(kChineseName.data(), 8)), u"/Game/材质");
}

} // namespace

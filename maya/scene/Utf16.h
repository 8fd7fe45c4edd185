#pragma once
// Maya strings to and from the UTF-16 text of the regions. MString::asWChar gives
// wchar_t, which is UTF-16 on Windows and UTF-32 elsewhere.

#include <maya/MString.h>

#include <string>

inline std::u16string toUtf16(const MString& text)
{
    std::u16string out;
    for (const wchar_t* p = text.asWChar(); p && *p; ++p) {
        char32_t c = static_cast<char32_t>(*p);
        if (sizeof(wchar_t) == 4) {
            if (c >= 0x10000) {
                c -= 0x10000;
                out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
                out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
                continue;
            }
        }
        out.push_back(static_cast<char16_t>(c));
    }
    return out;
}

inline MString fromUtf16(const std::u16string& text)
{
    std::wstring wide;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (sizeof(wchar_t) == 4) {
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
                c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        wide.push_back(static_cast<wchar_t>(c));
    }
    MString out;
    out.setWChar(wide.c_str());
    return out;
}

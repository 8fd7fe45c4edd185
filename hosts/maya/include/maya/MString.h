#pragma once
#include <maya/MStatus.h>
#include <string>

// UTF-8 text; the wide form is produced on demand and lives until the next change.
class OPENMAYA_EXPORT MString {
public:
    MString() = default;
    MString(const char* text) : fText(text ? text : "") {}
    MString(const char* text, int length) : fText(text ? std::string(text, length) : std::string()) {}
    MString(const wchar_t* text) { setWChar(text); }
    MString(const MString&) = default;
    MString& operator=(const MString&) = default;
    MString& operator=(const char* text) { fText = text ? text : ""; return *this; }

    const char* asChar() const { return fText.c_str(); }
    const char* asUTF8() const { return fText.c_str(); }
    const wchar_t* asWChar() const;
    const wchar_t* asWChar(int& length) const;
    MString& setWChar(const wchar_t* text);
    MString& setWChar(const wchar_t* text, int length);
    unsigned int length() const { return static_cast<unsigned int>(fText.size()); }
    unsigned int numChars() const;
    int asInt() const;
    double asDouble() const;

    bool operator==(const MString& other) const { return fText == other.fText; }
    bool operator==(const char* other) const { return fText == (other ? other : ""); }
    bool operator!=(const MString& other) const { return fText != other.fText; }
    bool operator!=(const char* other) const { return !(*this == other); }
    MString& operator+=(const MString& other) { fText += other.fText; return *this; }
    MString& operator+=(const char* other) { fText += other ? other : ""; return *this; }
    MString operator+(const MString& other) const { MString r(*this); r += other; return r; }
    MString operator+(const char* other) const { MString r(*this); r += other; return r; }

private:
    std::string fText;
    mutable std::wstring fWide;
};

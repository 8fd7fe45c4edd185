#pragma once
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <string>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// UTF-8 text; the wide form is produced on demand and lives until the next call.
class OPENMAYA_EXPORT MString {
public:
    MString() = default;
    MString(const char* charString) : fText(charString ? charString : "") {}
    MString(const wchar_t* charString) { setWChar(charString); }
    MString(const char* charString, int charLength)
        : fText(charString ? std::string(charString, static_cast<std::size_t>(charLength)) : std::string()) {}
    MString(const wchar_t* charString, int wcharLength) { setWChar(charString, wcharLength); }
    MString(const MString& other) = default;
    ~MString() = default;

    MString& operator+=(const MString& other) { fText += other.fText; return *this; }
    MString& operator+=(const char* other) { fText += other ? other : ""; return *this; }
    MString& operator=(const MString& other) = default;
    MString& operator=(const char* other) { fText = other ? other : ""; return *this; }
    bool operator==(const MString& other) const { return fText == other.fText; }
    bool operator==(const char* other) const { return fText == (other ? other : ""); }
    bool operator!=(const MString& other) const { return fText != other.fText; }
    bool operator!=(const char* other) const { return !(*this == other); }
    MString operator+(const MString& other) const { MString r(*this); r += other; return r; }
    MString operator+(const char* other) const { MString r(*this); r += other; return r; }

    MStatus setWChar(const wchar_t* wcharString);
    MStatus setWChar(const wchar_t* wcharString, int wcharLength);
    const char* asChar() const { return fText.c_str(); }
    const char* asUTF8() const { return fText.c_str(); }
    const wchar_t* asWChar() const;
    const wchar_t* asWChar(int& numChars) const;
    unsigned int length() const { return static_cast<unsigned int>(fText.size()); }
    unsigned int numChars() const;
    int asInt() const;
    double asDouble() const;

private:
    std::string fText;
    mutable std::wstring fWide;
};

OPENMAYA_NAMESPACE_CLOSE

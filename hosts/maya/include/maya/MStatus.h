#pragma once
#include <maya/MTypes.h>

class MString;

class OPENMAYA_EXPORT MStatus {
public:
    enum MStatusCode {
        kSuccess = 0,
        kFailure,
        kInsufficientMemory,
        kInvalidParameter,
        kLicenseFailure,
        kUnknownParameter,
        kNotImplemented,
        kNotFound,
        kEndOfFile
    };
    MStatus() = default;
    MStatus(MStatusCode code) : fStatusCode(code) {}
    bool operator==(const MStatus& other) const { return fStatusCode == other.fStatusCode; }
    bool operator==(MStatusCode code) const { return fStatusCode == code; }
    bool operator!=(const MStatus& other) const { return fStatusCode != other.fStatusCode; }
    bool operator!=(MStatusCode code) const { return fStatusCode != code; }
    operator bool() const { return fStatusCode == kSuccess; }
    bool error() const { return fStatusCode != kSuccess; }
    void clear() { fStatusCode = kSuccess; }
    MStatusCode statusCode() const { return fStatusCode; }
    MString errorString() const;
    // Prints "<text>: <error string>" to standard error, as Maya does.
    void perror(const char* text = nullptr) const;
    void perror(const MString& text) const;

private:
    MStatusCode fStatusCode = kSuccess;
};

typedef MStatus MS;

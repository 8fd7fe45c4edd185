#pragma once
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

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
    MStatus(const MStatus&) = default;
    MStatus& operator=(const MStatus& rhs) = default;
    bool operator==(const MStatus& rhs) const { return fStatusCode == rhs.fStatusCode; }
    bool operator==(const MStatusCode rhs) const { return fStatusCode == rhs; }
    bool operator!=(const MStatus& rhs) const { return fStatusCode != rhs.fStatusCode; }
    bool operator!=(const MStatusCode rhs) const { return fStatusCode != rhs; }
    operator bool() const { return fStatusCode == kSuccess; }
    bool error() const { return fStatusCode != kSuccess; }
    void clear() { fStatusCode = kSuccess; }
    MStatusCode statusCode() const { return fStatusCode; }
    MString errorString() const;
    // Prints "<text>: <error string>" to standard error, as Maya does.
    void perror(const char* text) const;
    void perror(const MString& text) const;

    friend inline bool operator==(const MStatus::MStatusCode code, const MStatus& status) {
        return status.fStatusCode == code;
    }
    friend inline bool operator!=(const MStatus::MStatusCode code, const MStatus& status) {
        return status.fStatusCode != code;
    }

private:
    MStatusCode fStatusCode = kSuccess;
};

OPENMAYA_NAMESPACE_CLOSE

typedef MStatus MS;

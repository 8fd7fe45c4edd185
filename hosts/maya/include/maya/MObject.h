#pragma once
#include <maya/MFn.h>
#include <maya/MTypes.h>
#include <memory>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// A handle to an internal Maya object. The first member is the object's identity
// pointer, as in Maya. Exported by Maya's Foundation library, not OpenMaya.
class FND_EXPORT MObject {
public:
    MObject() = default;
    MObject(const MObject&) = default;
    ~MObject() = default;
    MObject& operator=(const MObject&) = default;
    bool hasFn(MFn::Type fs) const;
    bool isNull() const { return ptr == nullptr; }
    MFn::Type apiType() const;
    const char* apiTypeStr() const;
    bool operator==(const MObject& other) const { return ptr == other.ptr; }
    bool operator!=(const MObject& other) const { return ptr != other.ptr; }
    static MObject kNullObj;

private:
    friend struct mayahost::Bridge;
    void* ptr = nullptr;
    MFn::Type fType = MFn::kInvalid;
    std::shared_ptr<const void> fKeep; // keeps component data alive
};

OPENMAYA_NAMESPACE_CLOSE

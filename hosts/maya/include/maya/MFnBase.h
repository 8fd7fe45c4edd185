#pragma once
#include <maya/MObject.h>
#include <maya/MStatus.h>

// Base of the function sets: holds the object it is attached to.
class OPENMAYA_EXPORT MFnBase {
public:
    virtual ~MFnBase() = default;
    virtual MFn::Type type() const { return MFn::kBase; }
    bool hasObj(MFn::Type type) const;
    bool hasObj(const MObject& object) const;
    MObject object(MStatus* status = nullptr) const;
    virtual MStatus setObject(MObject& object);
    virtual MStatus setObject(const MObject& object);

protected:
    MObject fObject;
};

#pragma once
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Base of the function sets: holds the object it is attached to. Function sets are not
// copied, assigned or addressed, as in Maya.
class OPENMAYA_EXPORT MFnBase {
public:
    virtual ~MFnBase() = default;
    virtual MFn::Type type() const { return MFn::kBase; }
    bool hasObj(MFn::Type) const;
    bool hasObj(const MObject&) const;
    MObject object(MStatus* ReturnStatus = NULL) const;
    virtual MStatus setObject(MObject& object);
    virtual MStatus setObject(const MObject& object);

protected:
    MFnBase() = default;
    MObject fObject;

private:
    MFnBase(const MFnBase& rhs) = delete;
    MFnBase& operator=(const MFnBase&) = delete;
    MFnBase* operator&() const = delete;
};

OPENMAYA_NAMESPACE_CLOSE

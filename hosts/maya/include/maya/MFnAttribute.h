#pragma once
#include <maya/MFnBase.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnAttribute : public MFnBase {
public:
    MFn::Type type() const override { return MFn::kAttribute; }
    MFnAttribute() {}
    MFnAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    bool isStorable(MStatus* ReturnStatus = NULL) const;
    MStatus setStorable(bool state);
    MString name(MStatus* ReturnStatus = NULL) const;
    MString shortName(MStatus* ReturnStatus = NULL) const;

    MFnAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

#pragma once
#include <maya/MFnBase.h>
#include <maya/MString.h>

class OPENMAYA_EXPORT MFnAttribute : public MFnBase {
public:
    MFnAttribute() = default;
    MFnAttribute(MObject& object, MStatus* status = nullptr);
    MFnAttribute(const MObject& object, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kAttribute; }
    MString name(MStatus* status = nullptr) const;
    MString shortName(MStatus* status = nullptr) const;
    bool isStorable(MStatus* status = nullptr) const;
    MStatus setStorable(bool state);
};

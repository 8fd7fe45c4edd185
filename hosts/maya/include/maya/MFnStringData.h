#pragma once
#include <maya/MFnBase.h>
#include <maya/MString.h>

class OPENMAYA_EXPORT MFnStringData : public MFnBase {
public:
    MFnStringData() = default;
    MFnStringData(MObject& object, MStatus* status = nullptr);
    MFnStringData(const MObject& object, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kStringData; }
    MObject create(const MString& value, MStatus* status = nullptr);
    MObject create(MStatus* status = nullptr) { return create(MString(), status); }
    MString string(MStatus* status = nullptr) const;
    MStatus set(const MString& value);
};

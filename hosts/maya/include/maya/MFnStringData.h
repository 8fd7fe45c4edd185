#pragma once
#include <maya/MFnData.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnStringData : public MFnData {
public:
    MFn::Type type() const override { return MFn::kStringData; }
    MFnStringData() {}
    MFnStringData(MObject& object, MStatus* ReturnStatus = NULL);
    MString string(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MString& newString);
    MObject create(const MString& str, MStatus* ReturnStatus = NULL);
    MObject create(MStatus* ReturnStatus = NULL);

    MFnStringData(const MObject& object, MStatus* ReturnStatus = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

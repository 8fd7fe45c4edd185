#pragma once
#include <maya/MFnAttribute.h>
#include <maya/MFnData.h>
#include <maya/MObject.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnTypedAttribute : public MFnAttribute {
public:
    MFn::Type type() const override { return MFn::kTypedAttribute; }
    MFnTypedAttribute() {}
    MFnTypedAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MObject create(const MString& fullName, const MString& briefName, MFnData::Type type,
                   MObject defaultData = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MFnData::Type attrType(MStatus* ReturnStatus = NULL) const;

    MFnTypedAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

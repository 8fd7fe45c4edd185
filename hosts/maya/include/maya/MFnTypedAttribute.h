#pragma once
#include <maya/MFnAttribute.h>
#include <maya/MFnData.h>

class OPENMAYA_EXPORT MFnTypedAttribute : public MFnAttribute {
public:
    MFnTypedAttribute() = default;
    MFnTypedAttribute(MObject& object, MStatus* status = nullptr);
    MFnTypedAttribute(const MObject& object, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kTypedAttribute; }
    MObject create(const MString& fullName, const MString& briefName, MFnData::Type type,
                   const MObject& defaultData = MObject::kNullObj, MStatus* status = nullptr);
    MFnData::Type attrType(MStatus* status = nullptr) const;
};

#pragma once
#include <maya/MFnNonExtendedLight.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnPointLight : public MFnNonExtendedLight {
public:
    MFn::Type type() const override { return MFn::kPointLight; }
    MFnPointLight() {}
    MFnPointLight(MObject& object, MStatus* ret = NULL);
    MFnPointLight(const MDagPath& object, MStatus* ret = NULL);

    MFnPointLight(const MObject& object, MStatus* ret = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

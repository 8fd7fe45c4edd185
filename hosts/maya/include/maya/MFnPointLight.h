#pragma once
#include <maya/MFnNonExtendedLight.h>

class OPENMAYA_EXPORT MFnPointLight : public MFnNonExtendedLight {
public:
    MFn::Type type() const override { return MFn::kPointLight; }
    MFnPointLight() {}
    MFnPointLight(MObject& object, MStatus* ret = NULL);
    MFnPointLight(const MDagPath& object, MStatus* ret = NULL);

    MFnPointLight(const MObject& object, MStatus* ret = NULL);
};

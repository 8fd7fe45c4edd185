#pragma once
#include <maya/MFnNonExtendedLight.h>

class OPENMAYA_EXPORT MFnDirectionalLight : public MFnNonExtendedLight {
public:
    MFn::Type type() const override { return MFn::kDirectionalLight; }
    MFnDirectionalLight() {}
    MFnDirectionalLight(MObject& object, MStatus* ret = NULL);
    MFnDirectionalLight(const MDagPath& object, MStatus* ret = NULL);

    MFnDirectionalLight(const MObject& object, MStatus* ret = NULL);
};

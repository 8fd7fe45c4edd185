#pragma once
#include <maya/MFnNonExtendedLight.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnDirectionalLight : public MFnNonExtendedLight {
public:
    MFn::Type type() const override { return MFn::kDirectionalLight; }
    MFnDirectionalLight() {}
    MFnDirectionalLight(MObject& object, MStatus* ret = NULL);
    MFnDirectionalLight(const MDagPath& object, MStatus* ret = NULL);

    MFnDirectionalLight(const MObject& object, MStatus* ret = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

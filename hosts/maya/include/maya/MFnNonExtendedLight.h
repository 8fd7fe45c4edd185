#pragma once
#include <maya/MFnNonAmbientLight.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnNonExtendedLight : public MFnNonAmbientLight {
public:
    MFn::Type type() const override { return MFn::kNonExtendedLight; }
    MFnNonExtendedLight() {}
    MFnNonExtendedLight(MObject& object, MStatus* ret = NULL);
    MFnNonExtendedLight(const MDagPath& object, MStatus* ret = NULL);

    MFnNonExtendedLight(const MObject& object, MStatus* ret = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

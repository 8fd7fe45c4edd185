#pragma once
#include <maya/MFnNonExtendedLight.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnSpotLight : public MFnNonExtendedLight {
public:
    MFn::Type type() const override { return MFn::kSpotLight; }
    MFnSpotLight() {}
    MFnSpotLight(MObject& object, MStatus* ret = NULL);
    MFnSpotLight(const MDagPath& object, MStatus* ret = NULL);
    double coneAngle(MStatus* ReturnStatus = NULL) const; // radians
    MStatus setConeAngle(const double& coneAngle);
    double penumbraAngle(MStatus* ReturnStatus = NULL) const; // radians
    MStatus setPenumbraAngle(const double& penumbraAngle);

    MFnSpotLight(const MObject& object, MStatus* ret = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

#pragma once
#include <maya/MFnLight.h>

class OPENMAYA_EXPORT MFnSpotLight : public MFnLight {
public:
    MFnSpotLight() = default;
    MFnSpotLight(MObject& object, MStatus* status = nullptr);
    MFnSpotLight(const MObject& object, MStatus* status = nullptr);
    MFnSpotLight(const MDagPath& path, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kSpotLight; }
    double coneAngle(MStatus* status = nullptr) const;      // radians
    MStatus setConeAngle(const double& angle);
    double penumbraAngle(MStatus* status = nullptr) const;  // radians
    MStatus setPenumbraAngle(const double& angle);
};

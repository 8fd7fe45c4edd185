#pragma once
#include <maya/MFnLight.h>

class OPENMAYA_EXPORT MFnDirectionalLight : public MFnLight {
public:
    MFnDirectionalLight() = default;
    MFnDirectionalLight(MObject& object, MStatus* status = nullptr);
    MFnDirectionalLight(const MObject& object, MStatus* status = nullptr);
    MFnDirectionalLight(const MDagPath& path, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kDirectionalLight; }
};

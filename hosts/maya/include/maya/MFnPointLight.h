#pragma once
#include <maya/MFnLight.h>

class OPENMAYA_EXPORT MFnPointLight : public MFnLight {
public:
    MFnPointLight() = default;
    MFnPointLight(MObject& object, MStatus* status = nullptr);
    MFnPointLight(const MObject& object, MStatus* status = nullptr);
    MFnPointLight(const MDagPath& path, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kPointLight; }
};

#pragma once
#include <maya/MFnLight.h>

class OPENMAYA_EXPORT MFnAmbientLight : public MFnLight {
public:
    MFnAmbientLight() = default;
    MFnAmbientLight(MObject& object, MStatus* status = nullptr);
    MFnAmbientLight(const MObject& object, MStatus* status = nullptr);
    MFnAmbientLight(const MDagPath& path, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kAmbientLight; }
};

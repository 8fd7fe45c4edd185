#pragma once
#include <maya/MFnLight.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnNonAmbientLight : public MFnLight {
public:
    MFn::Type type() const override { return MFn::kNonAmbientLight; }
    MFnNonAmbientLight() {}
    MFnNonAmbientLight(MObject& object, MStatus* ret = NULL);
    MFnNonAmbientLight(const MDagPath& object, MStatus* ret = NULL);

    MFnNonAmbientLight(const MObject& object, MStatus* ret = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

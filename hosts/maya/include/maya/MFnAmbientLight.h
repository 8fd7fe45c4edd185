#pragma once
#include <maya/MFnLight.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnAmbientLight : public MFnLight {
public:
    MFn::Type type() const override { return MFn::kAmbientLight; }
    MFnAmbientLight() {}
    MFnAmbientLight(MObject& object, MStatus* ret = NULL);
    MFnAmbientLight(const MDagPath& object, MStatus* ret = NULL);

    MFnAmbientLight(const MObject& object, MStatus* ret = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

#pragma once
#include <maya/MColor.h>
#include <maya/MFnDagNode.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnLight : public MFnDagNode {
public:
    MFn::Type type() const override { return MFn::kLight; }
    MFnLight() {}
    MFnLight(MObject& object, MStatus* ret = NULL);
    MFnLight(const MDagPath& object, MStatus* ret = NULL);
    MColor color(MStatus* ReturnStatus = NULL) const;
    MStatus setColor(const MColor& col);
    float intensity(MStatus* ReturnStatus = NULL) const;
    MStatus setIntensity(const float& intens);

    MFnLight(const MObject& object, MStatus* ret = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

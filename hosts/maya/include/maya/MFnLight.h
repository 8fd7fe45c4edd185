#pragma once
#include <maya/MColor.h>
#include <maya/MFnDagNode.h>

class OPENMAYA_EXPORT MFnLight : public MFnDagNode {
public:
    MFnLight() = default;
    MFnLight(MObject& object, MStatus* status = nullptr);
    MFnLight(const MObject& object, MStatus* status = nullptr);
    MFnLight(const MDagPath& path, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kLight; }
    MColor color(MStatus* status = nullptr) const;
    MStatus setColor(const MColor& color);
    float intensity(MStatus* status = nullptr) const;
    MStatus setIntensity(const float& intensity);

protected:
    MStatus attach(const MObject& object, MFn::Type wanted);
};

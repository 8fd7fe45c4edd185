#pragma once
#include <maya/MFnDagNode.h>

class OPENMAYA_EXPORT MFnNurbsSurface : public MFnDagNode {
public:
    MFnNurbsSurface() = default;
    MFnNurbsSurface(MObject& object, MStatus* status = nullptr);
    MFnNurbsSurface(const MObject& object, MStatus* status = nullptr);
    MFnNurbsSurface(const MDagPath& path, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kNurbsSurface; }
    int numUVs(MStatus* status = nullptr) const;
};

#pragma once
#include <maya/MFnDagNode.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnNurbsSurface : public MFnDagNode {
public:
    MFn::Type type() const override { return MFn::kNurbsSurface; }
    MFnNurbsSurface() {}
    MFnNurbsSurface(MObject& object, MStatus* ret = NULL);
    MFnNurbsSurface(const MDagPath& object, MStatus* ret = NULL);
    int numUVs(MStatus* ReturnStatus = NULL) const;

    MFnNurbsSurface(const MObject& object, MStatus* ret = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

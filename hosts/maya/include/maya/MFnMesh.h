#pragma once
#include <maya/MFnDagNode.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnMesh : public MFnDagNode {
public:
    MFn::Type type() const override { return MFn::kMesh; }
    MFnMesh() {}
    MFnMesh(MObject& object, MStatus* ret = NULL);
    MFnMesh(const MDagPath& object, MStatus* ret = NULL);
    int numVertices(MStatus* ReturnStatus = NULL) const;
    int numPolygons(MStatus* ReturnStatus = NULL) const;
    int numUVs(MStatus* ReturnStatus = NULL) const;
    MStatus getUVSetNames(MStringArray& setNames) const;
    MStatus getColorSetNames(MStringArray& setNames) const;

    MFnMesh(const MObject& object, MStatus* ret = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

#pragma once
#include <maya/MFnDagNode.h>
#include <maya/MStringArray.h>

class OPENMAYA_EXPORT MFnMesh : public MFnDagNode {
public:
    MFnMesh() = default;
    MFnMesh(MObject& object, MStatus* status = nullptr);
    MFnMesh(const MObject& object, MStatus* status = nullptr);
    MFnMesh(const MDagPath& path, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kMesh; }
    int numVertices(MStatus* status = nullptr) const;
    int numPolygons(MStatus* status = nullptr) const;
    int numUVs(MStatus* status = nullptr) const;
    MStatus getUVSetNames(MStringArray& setNames) const;
    MStatus getColorSetNames(MStringArray& colorSetNames) const;
};

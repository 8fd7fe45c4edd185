#pragma once
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MObjectArray.h>

class OPENMAYA_EXPORT MFnDagNode : public MFnDependencyNode {
public:
    MFnDagNode() = default;
    MFnDagNode(MObject& object, MStatus* status = nullptr);
    MFnDagNode(const MObject& object, MStatus* status = nullptr);
    MFnDagNode(const MDagPath& path, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kDagNode; }
    MStatus getPath(MDagPath& path) const;
    MStatus getAllPaths(MDagPathArray& paths) const;
    MDagPath dagPath(MStatus* status = nullptr) const;
    unsigned int parentCount(MStatus* status = nullptr) const;
    MObject parent(unsigned int i, MStatus* status = nullptr) const;
    unsigned int childCount(MStatus* status = nullptr) const;
    MObject child(unsigned int i, MStatus* status = nullptr) const;
    bool isInstanced(bool indirect = true, MStatus* status = nullptr) const;
    MString fullPathName(MStatus* status = nullptr) const;
    MStatus getConnectedSetsAndMembers(unsigned int instanceNumber, MObjectArray& sets,
                                       MObjectArray& comps, bool renderableSetsOnly) const;

protected:
    MDagPath fPath; // set when attached through a path
};

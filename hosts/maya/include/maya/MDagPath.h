#pragma once
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <vector>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// A path from the world down to a DAG node. The world itself is the empty path.
class OPENMAYA_EXPORT MDagPath {
public:
    MDagPath() = default;
    MDagPath(const MDagPath& src) = default;
    virtual ~MDagPath() = default;

    static MStatus getAllPathsTo(const MObject& node, MDagPathArray& pathArray);
    static MStatus getAPathTo(const MObject& node, MDagPath& path);
    bool hasFn(MFn::Type type, MStatus* ReturnStatus = NULL) const;
    MFn::Type apiType(MStatus* ReturnStatus = NULL) const;
    bool isValid(MStatus* ReturnStatus = NULL) const;
    MObject node(MStatus* ReturnStatus = NULL) const;
    MObject transform(MStatus* ReturnStatus = NULL) const;
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MStatus push(const MObject& child);
    MStatus pop(unsigned int num = 1);
    unsigned int childCount(MStatus* ReturnStatus = NULL) const;
    MObject child(unsigned int i, MStatus* ReturnStatus = NULL) const;
    MMatrix inclusiveMatrix(MStatus* ReturnStatus = NULL) const;
    MMatrix exclusiveMatrix(MStatus* ReturnStatus = NULL) const;
    MDagPath& operator=(const MDagPath& src) = default;
    bool operator==(const MDagPath& src) const { return fNodes == src.fNodes && fValid == src.fValid; }
    MString fullPathName(MStatus* ReturnStatus = NULL) const;
    MString partialPathName(MStatus* ReturnStatus = NULL) const;
    bool isInstanced(MStatus* ReturnStatus = NULL) const;
    unsigned int instanceNumber(MStatus* ReturnStatus = NULL) const;
    bool isVisible(MStatus* ReturnStatus = NULL) const;

private:
    friend struct mayahost::Bridge;
    std::vector<void*> fNodes; // below the world, top first
    bool fValid = false;
};

OPENMAYA_NAMESPACE_CLOSE

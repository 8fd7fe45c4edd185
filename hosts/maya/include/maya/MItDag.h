#pragma once
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <vector>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Walks every DAG path from the world (first item) down, depth first or breadth first.
class OPENMAYA_EXPORT MItDag {
public:
    enum TraversalType { kInvalidType, kDepthFirst, kBreadthFirst };
    MItDag(TraversalType type = kDepthFirst, MFn::Type filter = MFn::kInvalid, MStatus* ReturnStatus = NULL);
    virtual ~MItDag() = default;
    MStatus reset();
    MObject currentItem(MStatus* ReturnStatus = NULL);
    MObject item(MStatus* ReturnStatus = NULL) { return currentItem(ReturnStatus); }
    MStatus next();
    bool isDone(MStatus* ReturnStatus = NULL) const;
    unsigned int depth(MStatus* ReturnStatus = NULL) const;
    MStatus getPath(MDagPath& path) const;
    MString fullPathName(MStatus* ReturnStatus = NULL) const;

private:
    TraversalType fType;
    MFn::Type fFilter;
    std::vector<MDagPath> fPaths;
    unsigned int fIndex = 0;
};

OPENMAYA_NAMESPACE_CLOSE

#pragma once
#include <maya/MDagPath.h>
#include <vector>

// Walks every DAG path from the world (first item) down, depth first or breadth first.
class OPENMAYA_EXPORT MItDag {
public:
    enum TraversalType { kInvalidType, kDepthFirst, kBreadthFirst };
    MItDag(TraversalType type = kDepthFirst, MFn::Type filter = MFn::kInvalid, MStatus* status = nullptr);
    MStatus reset();
    MObject currentItem(MStatus* status = nullptr) const;
    MObject item(MStatus* status = nullptr) const { return currentItem(status); }
    MStatus getPath(MDagPath& path) const;
    MString fullPathName(MStatus* status = nullptr) const;
    MStatus next();
    bool isDone(MStatus* status = nullptr) const;
    unsigned int depth(MStatus* status = nullptr) const;

private:
    TraversalType fType;
    MFn::Type fFilter;
    std::vector<MDagPath> fPaths;
    unsigned int fIndex = 0;
};

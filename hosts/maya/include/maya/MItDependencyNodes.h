#pragma once
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <vector>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Walks the live dependency nodes in creation order, optionally of one function-set type.
class OPENMAYA_EXPORT MItDependencyNodes {
public:
    MItDependencyNodes(MFn::Type filter = MFn::kInvalid, MStatus* ReturnStatus = NULL);
    virtual ~MItDependencyNodes() = default;
    MStatus reset(MFn::Type filter = MFn::kInvalid);
    MObject thisNode(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    bool isDone(MStatus* ReturnStatus = NULL) const;
    // Obsolete
    MObject item(MStatus* ReturnStatus = NULL) const { return thisNode(ReturnStatus); }

private:
    std::vector<MObject> fNodes;
    unsigned int fIndex = 0;
};

OPENMAYA_NAMESPACE_CLOSE

#pragma once
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <vector>

// Walks the live dependency nodes in creation order, optionally of one function-set type.
class OPENMAYA_EXPORT MItDependencyNodes {
public:
    MItDependencyNodes(MFn::Type filter = MFn::kInvalid, MStatus* status = nullptr);
    MStatus reset(MFn::Type filter = MFn::kInvalid);
    MObject thisNode(MStatus* status = nullptr) const;
    MObject item(MStatus* status = nullptr) const { return thisNode(status); }
    MStatus next();
    bool isDone(MStatus* status = nullptr) const;

private:
    std::vector<MObject> fNodes;
    unsigned int fIndex = 0;
};

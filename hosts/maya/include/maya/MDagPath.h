#pragma once
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <vector>

class MDagPathArray;

// A path from the world down to a DAG node. The world itself is the empty path.
class OPENMAYA_EXPORT MDagPath {
public:
    MDagPath() = default;
    static MStatus getAPathTo(const MObject& node, MDagPath& path);
    static MStatus getAllPathsTo(const MObject& node, MDagPathArray& paths);

    MObject node(MStatus* status = nullptr) const;
    MObject transform(MStatus* status = nullptr) const;
    unsigned int length(MStatus* status = nullptr) const;
    MStatus push(const MObject& child);
    MStatus pop(unsigned int num = 1);
    unsigned int childCount(MStatus* status = nullptr) const;
    MObject child(unsigned int i, MStatus* status = nullptr) const;
    MFn::Type apiType(MStatus* status = nullptr) const;
    bool hasFn(MFn::Type type, MStatus* status = nullptr) const;
    bool isValid(MStatus* status = nullptr) const;
    bool isVisible(MStatus* status = nullptr) const;
    MMatrix inclusiveMatrix(MStatus* status = nullptr) const;
    MMatrix exclusiveMatrix(MStatus* status = nullptr) const;
    unsigned int instanceNumber(MStatus* status = nullptr) const;
    bool isInstanced(MStatus* status = nullptr) const;
    MString fullPathName(MStatus* status = nullptr) const;
    MString partialPathName(MStatus* status = nullptr) const;
    bool operator==(const MDagPath& other) const { return fNodes == other.fNodes && fValid == other.fValid; }
    bool operator!=(const MDagPath& other) const { return !(*this == other); }

private:
    friend struct mayahost::Bridge;
    std::vector<void*> fNodes; // below the world, top first
    bool fValid = false;
};

#pragma once
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <vector>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MSelectionList {
public:
    enum MergeStrategy { kMergeNormal = 0, kXORWithList, kRemoveFromList };
    MSelectionList() = default;
    MStatus clear();
    bool isEmpty(MStatus* status = NULL) const { return length(status) == 0; }
    unsigned int length(MStatus* status = NULL) const;
    MStatus add(const MString& matchString, const bool searchChildNamespacesToo = false);
    MStatus add(const MObject& object, const bool mergeWithExisting = false);
    MStatus add(const MDagPath& path, const MObject& component = MObject::kNullObj, const bool mergeWithExisting = false);
    MStatus getDependNode(unsigned int index, MObject& depNode) const;
    MStatus getDagPath(unsigned int index, MDagPath& dagPath, MObject& component = MObject::kNullObj) const;
    MStatus getSelectionStrings(unsigned int index, MStringArray& array) const;

private:
    friend struct mayahost::Bridge;
    struct Item {
        MObject node;
        MDagPath path;
        MObject component;
        bool isDag = false;
    };
    std::vector<Item> fItems;
};

OPENMAYA_NAMESPACE_CLOSE

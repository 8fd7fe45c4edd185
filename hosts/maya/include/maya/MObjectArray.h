#pragma once
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <vector>

class OPENMAYA_EXPORT MObjectArray {
public:
    MObjectArray() = default;
    MObjectArray(const MObjectArray& other) = default;
    MObjectArray(unsigned int initialSize, const MObject& initialValue) : fItems(initialSize, initialValue) {}
    ~MObjectArray() = default;
    MObjectArray& operator=(const MObjectArray& other) = default;
    const MObject& operator[](unsigned int index) const { return fItems[index]; }
    MObject& operator[](unsigned int index) { return fItems[index]; }
    MStatus set(const MObject& element, unsigned int index) {
        if (index >= fItems.size()) return MS::kFailure;
        fItems[index] = element;
        return MS::kSuccess;
    }
    MStatus setLength(unsigned int length) { fItems.resize(length); return MS::kSuccess; }
    unsigned int length() const { return static_cast<unsigned int>(fItems.size()); }
    MStatus remove(unsigned int index) {
        if (index >= fItems.size()) return MS::kFailure;
        fItems.erase(fItems.begin() + index);
        return MS::kSuccess;
    }
    MStatus insert(const MObject& element, unsigned int index) {
        if (index > fItems.size()) return MS::kFailure;
        fItems.insert(fItems.begin() + index, element);
        return MS::kSuccess;
    }
    MStatus append(const MObject& element) { fItems.push_back(element); return MS::kSuccess; }
    MStatus clear() { fItems.clear(); return MS::kSuccess; }

private:
    std::vector<MObject> fItems;
};

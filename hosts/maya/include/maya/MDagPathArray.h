#pragma once
#include <maya/MDagPath.h>
#include <maya/MStatus.h>
#include <vector>

class OPENMAYA_EXPORT MDagPathArray {
public:
    MDagPathArray() = default;
    MDagPathArray(const MDagPathArray& other) = default;
    MDagPathArray(unsigned int initialSize, const MDagPath& initialValue) : fItems(initialSize, initialValue) {}
    ~MDagPathArray() = default;
    MDagPathArray& operator=(const MDagPathArray& other) = default;
    const MDagPath& operator[](unsigned int index) const { return fItems[index]; }
    MDagPath& operator[](unsigned int index) { return fItems[index]; }
    MStatus set(const MDagPath& element, unsigned int index) {
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
    MStatus insert(const MDagPath& element, unsigned int index) {
        if (index > fItems.size()) return MS::kFailure;
        fItems.insert(fItems.begin() + index, element);
        return MS::kSuccess;
    }
    MStatus append(const MDagPath& element) { fItems.push_back(element); return MS::kSuccess; }
    MStatus clear() { fItems.clear(); return MS::kSuccess; }

private:
    std::vector<MDagPath> fItems;
};

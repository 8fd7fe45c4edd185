#pragma once
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <vector>

class OPENMAYA_EXPORT MPlugArray {
public:
    MPlugArray() = default;
    MPlugArray(const MPlugArray& other) = default;
    MPlugArray(unsigned int initialSize, const MPlug& initialValue) : fItems(initialSize, initialValue) {}
    ~MPlugArray() = default;
    MPlugArray& operator=(const MPlugArray& other) = default;
    const MPlug& operator[](unsigned int index) const { return fItems[index]; }
    MPlug& operator[](unsigned int index) { return fItems[index]; }
    MStatus set(const MPlug& element, unsigned int index) {
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
    MStatus insert(const MPlug& element, unsigned int index) {
        if (index > fItems.size()) return MS::kFailure;
        fItems.insert(fItems.begin() + index, element);
        return MS::kSuccess;
    }
    MStatus append(const MPlug& element) { fItems.push_back(element); return MS::kSuccess; }
    MStatus clear() { fItems.clear(); return MS::kSuccess; }

private:
    std::vector<MPlug> fItems;
};

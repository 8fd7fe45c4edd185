#pragma once
#include <maya/MString.h>
#include <maya/MStatus.h>
#include <vector>

class OPENMAYA_EXPORT MStringArray {
public:
    MStringArray() = default;
    MStringArray(const MStringArray& other) = default;
    MStringArray(unsigned int initialSize, const MString& initialValue) : fItems(initialSize, initialValue) {}
    ~MStringArray() = default;
    MStringArray& operator=(const MStringArray& other) = default;
    MString operator[](unsigned int index) const { return fItems[index]; }
    MString& operator[](unsigned int index) { return fItems[index]; }
    MStatus set(const MString& element, unsigned int index) {
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
    MStatus insert(const MString& element, unsigned int index) {
        if (index > fItems.size()) return MS::kFailure;
        fItems.insert(fItems.begin() + index, element);
        return MS::kSuccess;
    }
    MStatus append(const MString& element) { fItems.push_back(element); return MS::kSuccess; }
    MStatus clear() { fItems.clear(); return MS::kSuccess; }

private:
    std::vector<MString> fItems;
};

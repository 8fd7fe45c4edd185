#pragma once
// The body the devkit's value arrays (MDagPathArray, MObjectArray, MPlugArray,
// MStringArray) have in common. Private to the stand-in: system code includes only the
// arrays' own headers, which declare the devkit's classes over this.

#include <maya/MStatus.h>

#include <vector>

namespace mayahost {

template <class T> class ValueArray {
public:
    ValueArray() = default;
    ValueArray(unsigned int initialSize, const T& initialValue) : fItems(initialSize, initialValue) {}

    const T& operator[](unsigned int index) const { return fItems[index]; }
    T& operator[](unsigned int index) { return fItems[index]; }
    MStatus set(const T& element, unsigned int index) {
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
    MStatus insert(const T& element, unsigned int index) {
        if (index > fItems.size()) return MS::kFailure;
        fItems.insert(fItems.begin() + index, element);
        return MS::kSuccess;
    }
    MStatus append(const T& element) { fItems.push_back(element); return MS::kSuccess; }
    MStatus clear() { fItems.clear(); return MS::kSuccess; }

private:
    std::vector<T> fItems;
};

} // namespace mayahost

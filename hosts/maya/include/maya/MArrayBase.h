#pragma once
// Common body of Maya's value arrays (MStringArray, MObjectArray, MDagPathArray, MPlugArray).
#include <maya/MStatus.h>
#include <vector>

template <class T>
class MArrayBase {
public:
    unsigned int length() const { return static_cast<unsigned int>(fItems.size()); }
    MStatus setLength(unsigned int n) { fItems.resize(n); return MS::kSuccess; }
    MStatus append(const T& item) { fItems.push_back(item); return MS::kSuccess; }
    MStatus remove(unsigned int i) { if (i >= fItems.size()) return MS::kFailure; fItems.erase(fItems.begin() + i); return MS::kSuccess; }
    MStatus clear() { fItems.clear(); return MS::kSuccess; }
    const T& operator[](unsigned int i) const { return fItems[i]; }
    T& operator[](unsigned int i) { return fItems[i]; }

private:
    std::vector<T> fItems;
};

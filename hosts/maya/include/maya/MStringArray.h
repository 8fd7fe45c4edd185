#pragma once
#include <maya/MString.h>
#include <mayahost/ValueArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MStringArray : public mayahost::ValueArray<MString> {
public:
    MStringArray() = default;
    MStringArray(const MStringArray& other) = default;
    MStringArray(unsigned int initialSize, const MString& initialValue) : ValueArray(initialSize, initialValue) {}
    ~MStringArray() = default;
    MStringArray& operator=(const MStringArray& other) = default;
    // The devkit's string array answers by value.
    MString operator[](unsigned int index) const { return ValueArray::operator[](index); }
    MString& operator[](unsigned int index) { return ValueArray::operator[](index); }
};

OPENMAYA_NAMESPACE_CLOSE

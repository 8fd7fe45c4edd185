#pragma once
#include <maya/MDagPath.h>
#include <mayahost/ValueArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MDagPathArray : public mayahost::ValueArray<MDagPath> {
public:
    MDagPathArray() = default;
    MDagPathArray(const MDagPathArray& other) = default;
    MDagPathArray(unsigned int initialSize, const MDagPath& initialValue) : ValueArray(initialSize, initialValue) {}
    ~MDagPathArray() = default;
    MDagPathArray& operator=(const MDagPathArray& other) = default;
};

OPENMAYA_NAMESPACE_CLOSE

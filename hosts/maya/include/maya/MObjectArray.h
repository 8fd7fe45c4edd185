#pragma once
#include <maya/MObject.h>
#include <mayahost/ValueArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MObjectArray : public mayahost::ValueArray<MObject> {
public:
    MObjectArray() = default;
    MObjectArray(const MObjectArray& other) = default;
    MObjectArray(unsigned int initialSize, const MObject& initialValue) : ValueArray(initialSize, initialValue) {}
    ~MObjectArray() = default;
    MObjectArray& operator=(const MObjectArray& other) = default;
};

OPENMAYA_NAMESPACE_CLOSE

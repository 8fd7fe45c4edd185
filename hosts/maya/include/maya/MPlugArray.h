#pragma once
#include <maya/MPlug.h>
#include <mayahost/ValueArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MPlugArray : public mayahost::ValueArray<MPlug> {
public:
    MPlugArray() = default;
    MPlugArray(const MPlugArray& other) = default;
    MPlugArray(unsigned int initialSize, const MPlug& initialValue) : ValueArray(initialSize, initialValue) {}
    ~MPlugArray() = default;
    MPlugArray& operator=(const MPlugArray& other) = default;
};

OPENMAYA_NAMESPACE_CLOSE

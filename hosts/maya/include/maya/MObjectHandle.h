#pragma once
#include <maya/MObject.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MObjectHandle {
public:
    MObjectHandle() = default;
    MObjectHandle(const MObject& object) : fObject(object) {}
    MObjectHandle(const MObjectHandle& handle) = default;
    ~MObjectHandle() = default;
    MObject object() const { return isAlive() ? fObject : MObject(); }
    const MObject& objectRef() const { return fObject; }
    unsigned int hashCode() const;
    bool isValid() const { return isAlive(); }
    bool isAlive() const;
    bool operator==(const MObject& object) const { return fObject == object; }
    bool operator==(const MObjectHandle& object) const { return fObject == object.fObject; }
    bool operator!=(const MObject& object) const { return !(fObject == object); }
    bool operator!=(const MObjectHandle& object) const { return !(fObject == object.fObject); }
    MObjectHandle& operator=(const MObject& object) { fObject = object; return *this; }
    MObjectHandle& operator=(const MObjectHandle& other) = default;

private:
    MObject fObject;
};

OPENMAYA_NAMESPACE_CLOSE

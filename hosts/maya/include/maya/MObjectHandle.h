#pragma once
#include <maya/MObject.h>

class OPENMAYA_EXPORT MObjectHandle {
public:
    MObjectHandle() = default;
    MObjectHandle(const MObject& object) : fObject(object) {}
    MObjectHandle& operator=(const MObject& object) { fObject = object; return *this; }
    MObject object() const { return isAlive() ? fObject : MObject(); }
    const MObject& objectRef() const { return fObject; }
    bool isValid() const { return isAlive(); }
    bool isAlive() const;
    unsigned int hashCode() const;
    bool operator==(const MObject& object) const { return fObject == object; }
    bool operator==(const MObjectHandle& other) const { return fObject == other.fObject; }
    bool operator!=(const MObject& object) const { return !(fObject == object); }
    bool operator!=(const MObjectHandle& other) const { return !(fObject == other.fObject); }

private:
    MObject fObject;
};

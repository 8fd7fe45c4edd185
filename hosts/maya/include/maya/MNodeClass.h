#pragma once
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

class OPENMAYA_EXPORT MNodeClass {
public:
    MNodeClass(const MString& typeName);
    MString typeName(MStatus* status = nullptr) const;
    MStatus addExtensionAttribute(const MObject& attr) const;
    MStatus removeExtensionAttribute(const MObject& attr) const;

private:
    MString fTypeName;
};

#pragma once
#include <maya/MFnBase.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Operations on a node type rather than on one node.
class OPENMAYA_EXPORT MNodeClass {
public:
    MNodeClass(const MString& nodeClassName);
    MString typeName() const;
    MStatus addExtensionAttribute(const MObject& attr) const;
    MStatus removeExtensionAttribute(const MObject& attr) const;

private:
    MString fTypeName;
};

OPENMAYA_NAMESPACE_CLOSE

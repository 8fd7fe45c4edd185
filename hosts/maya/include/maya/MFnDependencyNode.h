#pragma once
#include <maya/MFnBase.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnDependencyNode : public MFnBase {
public:
    MFn::Type type() const override { return MFn::kDependencyNode; }
    MFnDependencyNode() {}
    MFnDependencyNode(MObject& object, MStatus* ReturnStatus = NULL);
    MString typeName(MStatus* ReturnStatus = NULL) const;
    MString name(MStatus* ReturnStatus = NULL) const;
    MString setName(const MString& name, bool createNamespace = false, MStatus* ReturnStatus = NULL);
    MPlug findPlug(const MObject& attr, bool wantNetworkedPlug, MStatus* ReturnStatus = NULL) const;
    MPlug findPlug(const MString& attrName, bool wantNetworkedPlug, MStatus* ReturnStatus = NULL) const;
    // Obsolete
    MPlug findPlug(const MObject& attr, MStatus* ReturnStatus = NULL) const;
    // Obsolete
    MPlug findPlug(const MString& attrName, MStatus* ReturnStatus = NULL) const;
    bool hasAttribute(const MString& name, MStatus* ReturnStatus = NULL) const;

    MFnDependencyNode(const MObject& object, MStatus* ReturnStatus = NULL);
};

OPENMAYA_NAMESPACE_CLOSE

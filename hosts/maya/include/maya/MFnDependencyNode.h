#pragma once
#include <maya/MFnBase.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

class OPENMAYA_EXPORT MFnDependencyNode : public MFnBase {
public:
    MFnDependencyNode() = default;
    MFnDependencyNode(MObject& object, MStatus* status = nullptr);
    MFnDependencyNode(const MObject& object, MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kDependencyNode; }
    MString name(MStatus* status = nullptr) const;
    MString typeName(MStatus* status = nullptr) const;
    MString setName(const MString& name, bool createNamespace = false, MStatus* status = nullptr);
    MPlug findPlug(const MString& attrName, bool wantNetworkedPlug, MStatus* status = nullptr) const;
    MPlug findPlug(const MString& attrName, MStatus* status = nullptr) const;
    MPlug findPlug(const MObject& attr, bool wantNetworkedPlug, MStatus* status = nullptr) const;
    MPlug findPlug(const MObject& attr, MStatus* status = nullptr) const;
    bool hasAttribute(const MString& name, MStatus* status = nullptr) const;
};

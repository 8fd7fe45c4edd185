#pragma once
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// One attribute of one node (with its logical indices for array attributes).
class OPENMAYA_EXPORT MPlug {
public:
    MPlug() = default;
    MPlug(const MPlug& in) = default;
    MPlug(const MObject& node, const MObject& attribute);
    virtual ~MPlug() = default;

    MObject attribute(MStatus* ReturnStatus = NULL) const;
    MObject node(MStatus* ReturnStatus = NULL) const;
    MString name(MStatus* ReturnStatus = NULL) const;
    MString partialName(bool includeNodeName = false, bool includeNonMandatoryIndices = false,
                        bool includeInstancedIndices = false, bool useAlias = false,
                        bool useFullAttributePath = false, bool useLongNames = false,
                        MStatus* ReturnStatus = NULL) const;
    bool connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus = NULL) const;
    bool isConnected(MStatus* ReturnStatus = NULL) const;
    bool isNull(MStatus* ReturnStatus = NULL) const;

    double asDouble(MStatus* ReturnStatus = NULL) const;
    float asFloat(MStatus* ReturnStatus = NULL) const;
    int asInt(MStatus* ReturnStatus = NULL) const;
    bool asBool(MStatus* ReturnStatus = NULL) const;
    MString asString(MStatus* ReturnStatus = NULL) const;

    MPlug& operator=(const MPlug& other) = default;
    bool operator==(const MPlug& other) const;
    bool operator!=(const MPlug& other) const { return !(*this == other); }

    MStatus setValue(double value);
    MStatus setValue(float value) { return setValue(static_cast<double>(value)); }
    MStatus setValue(int value) { return setValue(static_cast<double>(value)); }
    MStatus setValue(bool value) { return setValue(value ? 1.0 : 0.0); }
    MStatus setValue(const MString& value);
    MStatus setValue(const char* value) { return setValue(MString(value)); }

private:
    friend struct mayahost::Bridge;
    void* fNode = nullptr;
    const void* fAttr = nullptr;
    int fIndex[2] = {-1, -1};
};

OPENMAYA_NAMESPACE_CLOSE

#pragma once
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

class MPlugArray;

// One attribute of one node (with its logical indices for array attributes).
class OPENMAYA_EXPORT MPlug {
public:
    MPlug() = default;
    MPlug(const MObject& node, const MObject& attribute);

    bool isNull(MStatus* status = nullptr) const;
    MObject node(MStatus* status = nullptr) const;
    MObject attribute(MStatus* status = nullptr) const;
    MString name(MStatus* status = nullptr) const;
    MString partialName(bool includeNodeName = false, bool includeNonMandatoryIndices = false,
                        bool includeInstancedIndices = false, bool useAlias = false,
                        bool useFullAttributePath = false, bool useLongNames = false,
                        MStatus* status = nullptr) const;
    MString asString(MStatus* status = nullptr) const;
    double asDouble(MStatus* status = nullptr) const;
    float asFloat(MStatus* status = nullptr) const;
    int asInt(MStatus* status = nullptr) const;
    bool asBool(MStatus* status = nullptr) const;
    MStatus setValue(const MString& value);
    MStatus setValue(const char* value) { return setValue(MString(value)); }
    MStatus setValue(double value);
    MStatus setValue(float value) { return setValue(static_cast<double>(value)); }
    MStatus setValue(int value) { return setValue(static_cast<double>(value)); }
    MStatus setValue(bool value) { return setValue(value ? 1.0 : 0.0); }
    bool connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* status = nullptr) const;
    bool isConnected(MStatus* status = nullptr) const;
    bool operator==(const MPlug& other) const;
    bool operator!=(const MPlug& other) const { return !(*this == other); }

private:
    friend struct mayahost::Bridge;
    void* fNode = nullptr;
    const void* fAttr = nullptr;
    int fIndex[2] = {-1, -1};
};

#include <maya/MArrayBase.h>
class MPlugArray : public MArrayBase<MPlug> {};

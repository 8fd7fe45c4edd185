#pragma once
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <vector>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MCommandResult {
public:
    enum Type {
        kInvalid = 0,
        kInt,
        kInt64,
        kIntArray,
        kDouble,
        kDoubleArray,
        kString,
        kStringArray,
        kVector,
        kVectorArray,
        kMatrix,
        kMatrixArray
    };
    MCommandResult(MStatus* status = NULL);
    Type resultType(MStatus* status = NULL) const;
    MStatus getResult(int& result) const;
    MStatus getResult(double& result) const;
    MStatus getResult(MString& result) const;
    MStatus getResult(MStringArray& result) const;

private:
    friend struct mayahost::Bridge;
    Type fType = kInvalid;
    double fNumber = 0;
    std::vector<double> fNumbers;
    MString fString;
    MStringArray fStrings;
};

OPENMAYA_NAMESPACE_CLOSE

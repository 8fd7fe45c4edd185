#pragma once
#include <maya/MMatrix.h>
#include <maya/MStatus.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Scale, then rotation (in the given order), then translation; no pivots or shear.
class OPENMAYA_EXPORT MTransformationMatrix {
public:
    enum RotationOrder { kInvalid, kXYZ, kYZX, kZXY, kXZY, kYXZ, kZYX, kLast };
    ~MTransformationMatrix() = default;
    MTransformationMatrix() = default;
    MTransformationMatrix(const MTransformationMatrix& src) = default;
    MTransformationMatrix& operator=(const MTransformationMatrix& src) = default;
    MMatrix asMatrix() const;
    MStatus getRotation(double rotation[3], RotationOrder& order) const;
    MStatus setRotation(const double rotation[3], RotationOrder order);

private:
    double fTranslate[3] = {0, 0, 0};
    double fRotate[3] = {0, 0, 0};
    double fScale[3] = {1, 1, 1};
    RotationOrder fOrder = kXYZ;
};

OPENMAYA_NAMESPACE_CLOSE

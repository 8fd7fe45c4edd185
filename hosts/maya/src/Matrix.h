#pragma once
#include <maya/MMatrix.h>

namespace mayahost {
// Scale, then rotation about X, Y, Z (for order kXYZ = 1), then translation; rotation in radians.
MMatrix composeMatrix(const double translate[3], const double rotate[3], const double scale[3], int order);
// The inverse of an invertible matrix (the identity for a singular one).
MMatrix inverseMatrix(const MMatrix& m);
// Translation, XYZ rotation (radians) and scale of a matrix without shear.
void decomposeMatrix(const MMatrix& m, double translate[3], double rotate[3], double scale[3]);
// Row-vector products: a point (w = 1) and a direction (w = 0).
void transformPoint(const MMatrix& m, const double in[3], double out[3]);
void transformVector(const MMatrix& m, const double in[3], double out[3]);
} // namespace mayahost

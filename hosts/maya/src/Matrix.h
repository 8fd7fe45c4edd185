#pragma once
#include <maya/MMatrix.h>

namespace mayahost {
// Scale, then rotation about X, Y, Z (for order kXYZ = 1), then translation; rotation in radians.
MMatrix composeMatrix(const double translate[3], const double rotate[3], const double scale[3], int order);
}

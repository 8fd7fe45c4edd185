#include "CameraRows.h"

namespace {

void setRow(kvt::RequestHeader& header, int row, double a, double b, double c, double d)
{
    header.cameraMatrix[row * 4 + 0] = static_cast<float>(a);
    header.cameraMatrix[row * 4 + 1] = static_cast<float>(b);
    header.cameraMatrix[row * 4 + 2] = static_cast<float>(c);
    header.cameraMatrix[row * 4 + 3] = static_cast<float>(d);
}

} // namespace

void writeCamera(kvt::RequestHeader& header, const MMatrix& c)
{
    // Maya's camera looks along its -Z axis.
    setRow(header, 0, -c[2][0], -c[2][2], -c[2][1], -c[2][3]);
    setRow(header, 1, c[0][0], c[0][2], c[0][1], c[0][3]);
    setRow(header, 2, c[1][0], c[1][2], c[1][1], c[1][3]);
    setRow(header, 3, c[3][0], c[3][2], c[3][1], c[3][3]);
}

void writeProjection(kvt::RequestHeader& header, const MMatrix& p)
{
    double out[16];
    for (int column = 0; column < 4; ++column) {
        out[column] = p[0][column];
        out[4 + column] = p[1][column];
    }
    // Row 2 multiplies view z, whose sign the responder's view space flips: an off-centre
    // projection's shift must be negated or the picture moves the wrong way.
    out[8] = -p[2][0];
    out[9] = -p[2][1];
    out[12] = p[3][0];
    out[13] = p[3][1];
    if (p[3][3] == 0.0) {
        // Perspective: clip w = view depth, clip z = Q, so the responder's depth is
        // Q / view depth, reversed and without a far plane.
        const double q = p[2][3] / (p[2][2] - 1.0);
        out[10] = 0.0;
        out[11] = 1.0;
        out[14] = q;
        out[15] = 0.0;
        header.depthBias = static_cast<float>(0.5 - 0.5 * p[2][2]);
        header.depthScale = static_cast<float>(0.5 * p[3][2] / q / kDepthSteps);
    } else {
        // Orthographic (NaN included): the responder's depth becomes 1 - Maya's window
        // depth, 0.5 - 0.5 (P22 z + P32) with Maya's z = -(responder's z).
        out[10] = 0.5 * p[2][2];
        out[11] = p[2][3];
        out[14] = 0.5 - 0.5 * p[3][2];
        out[15] = p[3][3];
        header.depthScale = static_cast<float>(-1.0 / kDepthSteps);
        header.depthBias = 1.0f;
    }
    for (int i = 0; i < 16; ++i)
        header.projection[i] = static_cast<float>(out[i]);
}

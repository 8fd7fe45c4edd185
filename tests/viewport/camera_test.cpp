// The camera rows and projection of a request, from Maya's matrices: checked by what the
// responder computes with them (its view space x right, y up, z forward; reversed depth
// in 0...1 turned back into Maya's window depth by the two factors).
#include "viewport/CameraRows.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using Vec4 = std::array<double, 4>;

MMatrix matrix(const double (&m)[4][4])
{
    MMatrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[r][c] = m[r][c];
    return out;
}

// Row vector times a 4 x 4 matrix.
Vec4 timesMaya(const Vec4& v, const MMatrix& m)
{
    Vec4 out{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out[c] += v[r] * m[r][c];
    return out;
}

Vec4 timesWire(const Vec4& v, const float* m)
{
    Vec4 out{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out[c] += v[r] * m[r * 4 + c];
    return out;
}

// Maya's perspective projection (OpenGL clip z -1...1) for a film offset of (ox, oy).
MMatrix perspective(double halfX, double halfY, double n, double f, double ox = 0, double oy = 0)
{
    const double m[4][4] = {{1 / halfX, 0, 0, 0},
                            {0, 1 / halfY, 0, 0},
                            {ox / halfX, oy / halfY, -(f + n) / (f - n), -1},
                            {0, 0, -2 * f * n / (f - n), 0}};
    return matrix(m);
}

MMatrix orthographic(double halfX, double halfY, double n, double f, double ox = 0, double oy = 0)
{
    const double m[4][4] = {{1 / halfX, 0, 0, 0},
                            {0, 1 / halfY, 0, 0},
                            {0, 0, -2 / (f - n), 0},
                            {ox, oy, -(f + n) / (f - n), 1}};
    return matrix(m);
}

struct Seen {
    double ndcX, ndcY, windowDepth;
};

// What Maya sees of a point in its view space (z backwards).
Seen maya(const MMatrix& p, double x, double y, double z)
{
    Vec4 c = timesMaya({x, y, z, 1}, p);
    return {c[0] / c[3], c[1] / c[3], 0.5 * c[2] / c[3] + 0.5};
}

// What the responder sees of the same point (its z is forward) and the Maya depth it
// writes for it from its 24-bit sample.
Seen responder(const kvt::RequestHeader& h, double x, double y, double z)
{
    Vec4 c = timesWire({x, y, -z, 1}, h.projection);
    double depth = c[2] / c[3];
    EXPECT_GE(depth, 0.0) << "clipped";
    EXPECT_LE(depth, 1.0) << "clipped";
    double d24 = std::round(depth * kDepthSteps);
    return {c[0] / c[3], c[1] / c[3], static_cast<float>(d24) * h.depthScale + h.depthBias};
}

TEST(CameraRows, CameraRowsAreForwardRightUpPositionWithYAndZExchanged)
{
    // A camera at (1, 2, 3) turned 90 degrees about Maya's Y: it looks along world -X.
    const double c[4][4] = {{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {1, 2, 3, 1}};
    kvt::RequestHeader h{};
    writeCamera(h, matrix(c));
    const float expected[16] = {-1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 1, 3, 2, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(h.cameraMatrix[i], expected[i]) << "element " << i;
}

// Near 0.1 and far 100: P22 = -(f + n) / (f - n) = -1.002, P32 = -2fn / (f - n) = -0.2002.
// Worked out by hand: q = -1 / (P22 - 1) = 1 / 2.002 = 0.4995005; Maya's window depth at
// view distance d is 0.5 - 0.5 P22 + 0.5 P32 / d = 1.001 - 0.1001 / d, and the responder's
// depth is q / d, so depthBias = 1.001 and depthScale = -0.1001 / q / 16777215
// = -0.2004002 / 16777215 = -1.1944783e-8.
TEST(CameraRows, PerspectiveProjectionBecomesReversedDepthWithFactorsWorkedOutByHand)
{
    const double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1.002, -1}, {0, 0, -0.2002, 0}};
    kvt::RequestHeader h{};
    writeProjection(h, matrix(m));
    EXPECT_FLOAT_EQ(h.projection[10], 0.0f);
    EXPECT_FLOAT_EQ(h.projection[11], 1.0f);
    EXPECT_FLOAT_EQ(h.projection[14], 0.4995005f);
    EXPECT_FLOAT_EQ(h.projection[15], 0.0f);
    EXPECT_FLOAT_EQ(h.depthBias, 1.001f);
    EXPECT_FLOAT_EQ(h.depthScale, -1.1944783e-8f);
    // At d = 10 the responder's depth is 0.04995005, sample 838023 of 16777215, which the
    // factors turn back into Maya's 1.001 - 0.01001 = 0.99099.
    EXPECT_NEAR(838023.0f * h.depthScale + h.depthBias, 0.99099, 2e-6);
}

TEST(CameraRows, ResponderSeesWhatMayaSeesThroughEachKindOfCamera)
{
    struct Case {
        const char* name;
        MMatrix p;
    };
    const Case cases[] = {
        {"perspective", perspective(0.457, 0.343, 0.1, 10000)},
        {"off-centre perspective", perspective(0.457, 0.343, 0.1, 10000, 0.145, -0.08)},
        {"orthographic", orthographic(13.3, 10, 0.1, 10000)},
        {"off-centre orthographic", orthographic(13.3, 10, 0.1, 10000, 0.2, -0.1)},
    };
    const double points[][3] = {{0, 0, -5}, {1.5, -0.7, -4}, {-30, 12, -120}, {0.3, 0.2, -2500}, {2, 1, -0.5}};
    for (const Case& c : cases) {
        kvt::RequestHeader h{};
        h.depthScale = 123.0f; // a perspective frame's factors never apply to another kind
        h.depthBias = 45.0f;
        writeProjection(h, c.p);
        for (const auto& v : points) {
            Seen m = maya(c.p, v[0], v[1], v[2]);
            Seen r = responder(h, v[0], v[1], v[2]);
            EXPECT_NEAR(r.ndcX, m.ndcX, 1e-5) << c.name << " at z " << v[2];
            EXPECT_NEAR(r.ndcY, m.ndcY, 1e-5) << c.name << " at z " << v[2];
            EXPECT_NEAR(r.windowDepth, m.windowDepth, 2e-6) << c.name << " at z " << v[2];
        }
        // Reversed: nearer points get larger responder depths.
        Vec4 nearClip = timesWire({0, 0, 1, 1}, h.projection), farClip = timesWire({0, 0, 100, 1}, h.projection);
        EXPECT_GT(nearClip[2] / nearClip[3], farClip[2] / farClip[3]) << c.name;
    }
}

TEST(CameraRows, OrthographicFactorsTurnTheSampleBackIntoMayasDepth)
{
    kvt::RequestHeader h{};
    writeProjection(h, orthographic(15, 10, 0.1, 10000));
    EXPECT_FLOAT_EQ(h.depthScale, static_cast<float>(-1.0 / 16777215.0));
    EXPECT_FLOAT_EQ(h.depthBias, 1.0f);
    EXPECT_FLOAT_EQ(h.projection[10], static_cast<float>(0.5 * -2 / (10000 - 0.1)));
    EXPECT_FLOAT_EQ(h.projection[14], static_cast<float>(0.5 - 0.5 * -(10000 + 0.1) / (10000 - 0.1)));
    EXPECT_FLOAT_EQ(h.projection[11], 0.0f);
    EXPECT_FLOAT_EQ(h.projection[15], 1.0f);
    // A NaN in P[3][3] is not a perspective either.
    MMatrix p = orthographic(15, 10, 0.1, 10000);
    p[3][3] = std::nan("");
    kvt::RequestHeader n{};
    writeProjection(n, p);
    EXPECT_FLOAT_EQ(n.depthBias, 1.0f);
}

} // namespace

// The picture end to end: the Maya plug-in's scene mirror and camera rows in this process,
// `ue4editor` with the module as its own process, through the regions. A red cube seen from
// a turned camera must come back at the pixels Maya's own projection gives, in its
// material's colour, with Maya's window depth of the surface at every pixel it covers.
#include "ChildProcess.h"
#include "RegionCleanup.h"

#include "link/Link.h"
#include "scene/MayaSceneRegistry.h"
#include "viewport/CameraRows.h"

#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MString.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

using Mat = std::array<std::array<double, 4>, 4>; // Maya's convention: row vectors, v * M
using Vec = std::array<double, 4>;

Mat multiply(const Mat& a, const Mat& b)
{
    Mat r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r[i][j] += a[i][k] * b[k][j];
    return r;
}

Vec transform(const Vec& v, const Mat& m)
{
    Vec r{};
    for (int j = 0; j < 4; ++j)
        for (int k = 0; k < 4; ++k)
            r[j] += v[k] * m[k][j];
    return r;
}

MMatrix toMaya(const Mat& m)
{
    double d[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            d[i][j] = m[i][j];
    return MMatrix(d);
}

// The camera: turned about X, then about Y (Maya's xyz rotate order), then moved, so that
// it looks at the cube around the origin from above, front and right.
struct Camera {
    Mat toWorld, toView;
};

Camera turnedCamera()
{
    const double pitch = -16.0 * M_PI / 180.0, yaw = 20.0 * M_PI / 180.0;
    const Mat rx{{{1, 0, 0, 0}, {0, std::cos(pitch), std::sin(pitch), 0}, {0, -std::sin(pitch), std::cos(pitch), 0}, {0, 0, 0, 1}}};
    const Mat ry{{{std::cos(yaw), 0, -std::sin(yaw), 0}, {0, 1, 0, 0}, {std::sin(yaw), 0, std::cos(yaw), 0}, {0, 0, 0, 1}}};
    const Mat t{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {3.0, 2.5, 8.0, 1}}};
    Camera c;
    c.toWorld = multiply(multiply(rx, ry), t);
    // The inverse of a rotation and a translation: the transposed rotation, then back.
    Mat inv{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            inv[i][j] = c.toWorld[j][i];
    for (int j = 0; j < 3; ++j)
        inv[3][j] = -(c.toWorld[3][0] * inv[0][j] + c.toWorld[3][1] * inv[1][j] + c.toWorld[3][2] * inv[2][j]);
    inv[3][3] = 1;
    c.toView = inv;
    return c;
}

// Maya's projections (OpenGL's, transposed for row vectors) over the view-space window
// [l, r] x [b, t] at the near plane (perspective) or anywhere (orthographic).
Mat perspective(double l, double r, double b, double t, double n, double f)
{
    return Mat{{{2 * n / (r - l), 0, 0, 0},
                {0, 2 * n / (t - b), 0, 0},
                {(r + l) / (r - l), (t + b) / (t - b), -(f + n) / (f - n), -1},
                {0, 0, -2 * f * n / (f - n), 0}}};
}

Mat orthographic(double l, double r, double b, double t, double n, double f)
{
    return Mat{{{2 / (r - l), 0, 0, 0},
                {0, 2 / (t - b), 0, 0},
                {0, 0, -2 / (f - n), 0},
                {-(r + l) / (r - l), -(t + b) / (t - b), -(f + n) / (f - n), 1}}};
}

Mat inverse4(const Mat& m)
{
    // Gauss-Jordan; the projections here are well conditioned.
    Mat a = m, r{};
    for (int i = 0; i < 4; ++i)
        r[i][i] = 1;
    for (int c = 0; c < 4; ++c) {
        int p = c;
        for (int i = c + 1; i < 4; ++i)
            if (std::fabs(a[i][c]) > std::fabs(a[p][c]))
                p = i;
        std::swap(a[c], a[p]);
        std::swap(r[c], r[p]);
        const double d = a[c][c];
        for (int j = 0; j < 4; ++j) {
            a[c][j] /= d;
            r[c][j] /= d;
        }
        for (int i = 0; i < 4; ++i)
            if (i != c) {
                const double k = a[i][c];
                for (int j = 0; j < 4; ++j) {
                    a[i][j] -= k * a[c][j];
                    r[i][j] -= k * r[c][j];
                }
            }
    }
    return r;
}

// Where the view ray through a window point (normalised device x, y) first meets the cube
// [-1, 1]^3 in world space: the face (0…5) and Maya's window depth there, or face -1.
struct Hit {
    int face = -1;
    double depth = 0;
    Vec world{};
};

Hit castRay(const Camera& camera, const Mat& projection, double ndcX, double ndcY)
{
    const Mat unproject = multiply(inverse4(projection), camera.toWorld);
    auto point = [&](double ndcZ) {
        Vec p = transform(Vec{ndcX, ndcY, ndcZ, 1}, unproject);
        return Vec{p[0] / p[3], p[1] / p[3], p[2] / p[3], 1};
    };
    const Vec a = point(-1), b = point(1);
    double tNear = -1e30, tFar = 1e30;
    int face = -1;
    for (int axis = 0; axis < 3; ++axis) {
        const double d = b[axis] - a[axis];
        if (std::fabs(d) < 1e-12) {
            if (a[axis] < -1 || a[axis] > 1)
                return {};
            continue;
        }
        double t0 = (-1 - a[axis]) / d, t1 = (1 - a[axis]) / d;
        int f0 = axis * 2, f1 = axis * 2 + 1;
        if (t0 > t1) {
            std::swap(t0, t1);
            std::swap(f0, f1);
        }
        if (t0 > tNear) {
            tNear = t0;
            face = f0;
        }
        tFar = std::min(tFar, t1);
    }
    if (tNear > tFar || tNear < 0 || tNear > 1)
        return {};
    Vec world{};
    for (int i = 0; i < 3; ++i)
        world[i] = a[i] + tNear * (b[i] - a[i]);
    world[3] = 1;
    const Vec clip = transform(transform(world, camera.toView), projection);
    return {face, 0.5 * clip[2] / clip[3] + 0.5, world};
}

// The responder's window depth of a world point (Maya's axes) as the request's own f32 rows
// describe it: the camera's forward, right, up and position in the responder's axes (Y and
// Z exchanged), its view space (right, up, forward), the projection, and the factors.
double wireDepth(const kvt::RequestHeader& sent, const Vec& world)
{
    const float* camera = sent.cameraMatrix;
    const double offset[3] = {world[0] - camera[12], world[2] - camera[13], world[1] - camera[14]};
    double local[3];
    for (int axis = 0; axis < 3; ++axis) {
        const float* row = camera + axis * 4;
        const double length2 = double(row[0]) * row[0] + double(row[1]) * row[1] + double(row[2]) * row[2];
        local[axis] = (offset[0] * row[0] + offset[1] * row[1] + offset[2] * row[2]) / length2;
    }
    const double view[4] = {local[1], local[2], local[0], 1};
    double clip[4] = {0, 0, 0, 0};
    for (int j = 0; j < 4; ++j)
        for (int k = 0; k < 4; ++k)
            clip[j] += view[k] * sent.projection[k * 4 + j];
    return clip[2] / clip[3] * 16777215.0 * sent.depthScale + sent.depthBias;
}

int srgb8(double linear)
{
    const double encoded = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return int(std::lround(encoded * 255));
}

std::string mel(const std::string& command)
{
    MString result;
    const MStatus status = MGlobal::executeCommand(command.c_str(), result);
    EXPECT_TRUE(status == MS::kSuccess) << "MEL failed: " << command;
    return result.asChar();
}

class EditorPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string suffix = testsupport::uniqueName("-picture");
        regions.addSuffixed(suffix);
        setenv("KVT_REGION_SUFFIX", suffix.c_str(), 1); // the editor inherits it
        names = kvt::RegionNames::suffixed(suffix);
        ASSERT_TRUE(editor.start(UE4EDITOR_PROGRAM, {std::string("-Content=") + MIRROR_EXAMPLES_CONTENT,
                                                     std::string("-Plugin=") + QUORBELL_PLUGIN_FILE}));
        maya = std::make_unique<kvt::LinkRequester>([this] { registry.resync(); }, names);
        registry.link = maya.get();
        mel("file -f -new");
        registry.registerCallbacks();
        // The editor needs a moment to start: wait for its regions (bounded, not timed).
        for (int attempt = 0; attempt < 3000 && maya->connect() != kvt::LinkRequester::ConnectResult::Connected; ++attempt)
            usleep(10000);
        ASSERT_TRUE(maya->isConnected()) << "ue4editor made no regions";

        mel("polyCube -w 2 -h 2 -d 2 -n box");
        mel("shadingNode -asShader lambert -n red");
        mel("sets -renderable true -noSurfaceShader true -empty -name redSG");
        mel("connectAttr red.outColor redSG.surfaceShader");
        mel("setAttr -type \"string\" redSG.UE4Material \"/Game/Materials/M_Red\"");
        mel("sets -e -forceElement redSG box");
        mel("ambientLight -n fill -i 0.01");
    }

    void TearDown() override
    {
        registry.link = nullptr;
        maya.reset();
        editor.kill();
        editor.wait();
        unsetenv("KVT_REGION_SUFFIX");
    }

    // One frame as Maya's frame driver makes it, with a picture of width x height.
    kvt::Optional<kvt::Reply> frame(const Camera& camera, const Mat& projection, kvt::RequestHeader* sent = nullptr)
    {
        if (maya->connect() != kvt::LinkRequester::ConnectResult::Connected || !maya->isOurTurn())
            return kvt::none;
        kvt::RequestHeader* header = maya->beginRequest();
        if (!header)
            return kvt::none;
        header->pictureWanted = 1;
        header->viewportWidth = width;
        header->viewportHeight = height;
        writeCamera(*header, toMaya(camera.toWorld));
        writeProjection(*header, toMaya(projection));
        if (sent)
            *sent = *header;
        if (!registry.writeChanges(maya->request(), maya->response(), ~0ull))
            return kvt::none;
        maya->publishRequest();
        if (maya->awaitResponse() != kvt::LinkRequester::AwaitResult::Reply)
            return kvt::none;
        kvt::Optional<kvt::Reply> reply = maya->readReply();
        if (reply)
            registry.applyHandles(*reply);
        return reply;
    }

    // Checks every pixel of the reply against the cube cast through the same camera and
    // projection: inside the cube's outline (all four corners of the pixel on one face) the
    // material's colour and the face's depth, outside it the cleared background.
    void expectCube(const Camera& camera, const Mat& projection, const char* what)
    {
        kvt::RequestHeader sent{};
        frame(camera, projection); // the first frame of the session brings the scene
        kvt::Optional<kvt::Reply> reply = frame(camera, projection, &sent);
        ASSERT_TRUE(reply.hasValue()) << what;
        ASSERT_NE(reply->colour, nullptr) << what;
        ASSERT_NE(reply->depth, nullptr) << what;
        ASSERT_EQ(reply->width, width);
        ASSERT_EQ(reply->height, height);
        const double step = 1.0 / 16777215.0;
        int inside = 0, outside = 0, worstColumn = -1, worstRow = -1;
        double worst = 0, worstWire = 0;
        for (int row = 0; row < height; ++row) { // counted from the bottom, as the reply is
            for (int column = 0; column < width; ++column) {
                auto ndc = [&](double x, double y) { return std::make_pair(2 * x / width - 1, 2 * y / height - 1); };
                const auto c = ndc(column + 0.5, row + 0.5);
                const Hit centre = castRay(camera, projection, c.first, c.second);
                int corners = 0, sameFace = 0;
                for (int k = 0; k < 4; ++k) {
                    const auto p = ndc(column + (k & 1), row + (k >> 1));
                    const Hit h = castRay(camera, projection, p.first, p.second);
                    corners += h.face >= 0;
                    sameFace += h.face >= 0 && h.face == centre.face;
                }
                const std::size_t at = (std::size_t(row) * width + column) * 4;
                const std::uint8_t* bgrx = reply->colour + at;
                float depth;
                std::memcpy(&depth, reply->depth + at, 4);
                if (centre.face >= 0 && sameFace == 4) {
                    ++inside;
                    // M_Red's base colour lit by the ambient light (0.01 in Maya, 1 in the
                    // editor), sRGB-encoded, then through the watermark: 2 x floor(c x m / 256)
                    // for a mask value m from 115 to 128.
                    for (int channel = 0; channel < 3; ++channel) {
                        const int c = srgb8(channel == 2 ? 0.8 : 0.05);
                        EXPECT_GE(bgrx[channel], 2 * (c * 115 / 256)) << what << " at column " << column << ", row " << row;
                        EXPECT_LE(bgrx[channel], 2 * (c * 128 / 256)) << what << " at column " << column << ", row " << row;
                    }
                    EXPECT_EQ(bgrx[3], 0);
                    const double error = std::fabs(depth - centre.depth);
                    worstWire = std::max(worstWire, std::fabs(depth - wireDepth(sent, centre.world)));
                    if (error > worst) {
                        worst = error;
                        worstColumn = column;
                        worstRow = row;
                    }
                } else if (corners == 0) {
                    ++outside;
                    EXPECT_EQ(std::uint32_t(bgrx[0] | bgrx[1] << 8 | bgrx[2] << 16 | bgrx[3] << 24), 0u)
                        << what << " at column " << column << ", row " << row;
                    EXPECT_EQ(depth, sent.depthBias) << what << " at column " << column << ", row " << row;
                }
            }
        }
        // A 24-bit depth sample is within half a step of the surface and the f32 reply within
        // half a step of the sample; the rasteriser's own arithmetic adds a little. The f32
        // rows of the request (the orthographic bias beside numbers near 1, a translated
        // camera) add up to two and a half steps more against Maya's own projection in double precision.
        // A row out of place, a flipped sign or a wrong factor is off by thousands of steps.
        EXPECT_LE(worstWire, 2 * step) << what << ": depth off by " << worstWire / step
                                       << " steps from the request's own rows";
        EXPECT_LE(worst, 4 * step) << what << ": depth off by " << worst / step << " steps at column " << worstColumn
                                   << ", row " << worstRow;
        // The cube fills a good part of the view and leaves background around it.
        EXPECT_GT(inside, width * height / 15) << what;
        EXPECT_GT(outside, width * height / 4) << what;
    }

    static constexpr int width = 120, height = 80;
    // Removes the names the killed editor leaves (declared first, so it goes last).
    testsupport::RegionCleanup regions;
    testsupport::ChildProcess editor;
    kvt::RegionNames names;
    std::unique_ptr<kvt::LinkRequester> maya;
    MayaSceneRegistry& registry = MayaSceneRegistry::start();
};

TEST_F(EditorPicture, PerspectiveCentredAndOffCentreAndOrthographic)
{
    const Camera camera = turnedCamera();
    const double aspect = double(width) / height, near = 0.5, far = 100.0;
    const double top = near * std::tan(0.5 * 38.0 * M_PI / 180.0), right = top * aspect;
    expectCube(camera, perspective(-right, right, -top, top, near, far), "perspective");
    // A film offset: the window slides right and up, the cube moves left and down.
    expectCube(camera, perspective(-0.6 * right, 1.4 * right, -0.8 * top, 1.2 * top, near, far), "off-centre perspective");
    expectCube(camera, orthographic(-3.3 * aspect, 3.3 * aspect, -3.3, 3.3, 1.0, 40.0), "orthographic");
}

} // namespace

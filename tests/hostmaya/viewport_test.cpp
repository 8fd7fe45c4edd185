// Viewport 2.0: Maya's default renderer, render overrides and their operations, the frame
// context's matrices, the presented picture. Pixels are checked where the geometry lands
// through an independent model of Maya's camera.
#include "Picture.h"
#include "Support.h"

#include "../../hosts/maya/src/Host.h"
#include "../../hosts/maya/src/Mel.h"
#include "../../hosts/maya/src/Viewport.h"

#include <maya/M3dView.h>
#include <maya/MDrawContext.h>
#include <maya/MFrameContext.h>
#include <maya/MViewport2Renderer.h>

#include <functional>
#include <sstream>

namespace {

using MHWRender::MFrameContext;

// Captures what MEL and plug-ins print for the length of a test.
struct Output {
    std::string text;
    Output() {
        mayahost::mel::setOutput([this](const std::string& s) { text += s; });
    }
    ~Output() {
        mayahost::mel::setOutput([](const std::string& s) { std::fputs(s.c_str(), stdout); });
    }
    std::vector<std::string> lines(const std::string& prefix) const {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(prefix, 0) == 0) out.push_back(line.substr(prefix.size()));
        return out;
    }
};

// Every test starts from a new scene in a 640 x 480 panel looking through persp with
// Maya's default renderer and nothing hidden.
class Viewport : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        mel("modelEditor -e -rendererOverrideName \"\" -allObjects 1 -grid 1 -manipulators 1 -camera persp "
            "modelPanel4");
        mel("control -e -w 640 -h 480 modelPanel4");
    }
};

const Rgb kBackground = {92, 92, 92};     // 0.36 grey
const Rgb kGridLine = {135, 135, 135};    // 0.53 grey
const Rgb kGridAxis = {0, 0, 0};
const Rgb kLead = {66, 255, 163};         // wireframe of the last selected object

// lambert1 (colour 0.5, diffuse 0.8) lit by Maya's headlight, shining along the view.
Rgb headlit(const Vec& normal, const Vec& eye = {28, 21, 28}) {
    int v = byte(0.4 * std::fmax(dot(unit(normal), unit(eye)), 0.0));
    return {v, v, v};
}

void expectColor(const Picture& p, std::array<int, 2> at, const Rgb& want, const char* what, int tolerance = 2) {
    Rgb got = p.at(at[0], at[1]);
    EXPECT_TRUE(close(got, want, tolerance)) << what << " at (" << at[0] << ", " << at[1] << "): " << text(got)
                                             << ", expected " << text(want);
}

TEST_F(Viewport, DefaultRendererShowsALitCubeInFrontOfTheGrid) {
    mel("polyCube -w 4 -h 4 -d 4; select -cl; refresh");
    Picture p = Picture::presented();
    ASSERT_EQ(p.width, 640);
    ASSERT_EQ(p.height, 480);
    Projector cam = defaultPersp();
    // The three faces that face the camera, each lit by how squarely it faces it.
    expectColor(p, cam.pixel({0, 2, 0.5}), headlit({0, 1, 0}), "top face");
    expectColor(p, cam.pixel({2, 0.5, -0.5}), headlit({1, 0, 0}), "+X face");
    expectColor(p, cam.pixel({-0.5, 0.5, 2}), headlit({0, 0, 1}), "+Z face");
    // The grid: its lines every unit, the axes through the origin black, the background
    // between them.
    EXPECT_TRUE(near(p, cam.pixel({8, 0, 0}), kGridAxis, 2)) << "X axis line";
    EXPECT_TRUE(near(p, cam.pixel({0, 0, -8}), kGridAxis, 2)) << "Z axis line";
    EXPECT_TRUE(near(p, cam.pixel({6, 0, 6.5}), kGridLine, 2)) << "grid line x = 6";
    expectColor(p, cam.pixel({6.5, 0, 6.5}), kBackground, "between grid lines");
    expectColor(p, cam.pixel({0, 0, 20}), kBackground, "beyond the grid");
    // Where the grid runs through the cube, the nearer +X face hides it.
    expectColor(p, cam.pixel({1, 0, -1}), headlit({1, 0, 0}), "grid line x = 1 inside the cube");
}

TEST_F(Viewport, ShaderColoursAndSceneLightsShadeTheSurfaces) {
    mel("polyCube -w 4 -h 4 -d 4 -n box;"
        "string $red = `shadingNode -asShader lambert`; setAttr ($red + \".color\") -type double3 1 0 0;"
        "select -r box; hyperShade -assign $red;"
        "directionalLight -i 1; rotate -90 0 0;" // shines straight down
        "ambientLight -i 0.25 -rgb 0 0 1; select -cl; refresh");
    Picture p = Picture::presented();
    Projector cam = defaultPersp();
    // Colour 1 0 0 times diffuse 0.8; the top takes the whole directional light, the
    // sides none of it; the blue ambient light reaches every side but red reflects none.
    expectColor(p, cam.pixel({0, 2, 0.5}), {byte(0.8), 0, 0}, "top face");
    expectColor(p, cam.pixel({2, 0.5, -0.5}), {0, 0, 0}, "+X face");
    mel("setAttr ambientLightShape1.color -type double3 1 1 1; refresh");
    p = Picture::presented();
    expectColor(p, cam.pixel({2, 0.5, -0.5}), {byte(0.8 * 0.25), 0, 0}, "+X face in white ambient light");
    expectColor(p, cam.pixel({0, 2, 0.5}), {byte(0.8 * 1.25), 0, 0}, "top face in both lights");
    // A point light above the +X side lights it by the angle it arrives at.
    mel("delete directionalLight1 ambientLight1; pointLight -i 1; move 6 0.5 -0.5; refresh");
    p = Picture::presented();
    expectColor(p, cam.pixel({2, 0.5, -0.5}), {byte(0.8), 0, 0}, "+X face facing the point light");
    expectColor(p, cam.pixel({0, 2, 0.5}), {0, 0, 0}, "top face, above the point light");
    // A spot light 8 units above the top face with a 20 degree cone lights a circle of
    // radius 8 tan 10 = 1.41 on it.
    mel("delete pointLight1; spotLight -i 1 -ca 20; move 0 10 0; rotate -90 0 0; select -cl; refresh");
    p = Picture::presented();
    expectColor(p, cam.pixel({0, 2, 0.5}), {byte(0.8 * std::cos(std::atan(0.5 / 8))), 0, 0}, "inside the cone");
    expectColor(p, cam.pixel({1.8, 2, -1.8}), {0, 0, 0}, "outside the cone");
}

TEST_F(Viewport, SelectionShowsItsWireframeAndMoveManipulator) {
    mel("polyCube -w 4 -h 4 -d 4; refresh");
    Picture p = Picture::presented();
    Projector cam = defaultPersp();
    EXPECT_TRUE(near(p, cam.pixel({2, 2, 0}), kLead, 3)) << "top edge of the lead selection";
    EXPECT_TRUE(near(p, cam.pixel({0, 2, 2}), kLead, 3)) << "front top edge";
    // The manipulator's Y arm rises out of the top face; hidden edges stay hidden.
    EXPECT_TRUE(near(p, cam.pixel({0, 2.6, 0}), {0, 255, 0}, 3)) << "Y arm";
    EXPECT_FALSE(near(p, cam.pixel({0, -2, -2}), kLead, 30)) << "the hidden bottom back edge";
    mel("select -cl; refresh");
    p = Picture::presented();
    EXPECT_FALSE(near(p, cam.pixel({2, 2, 0}), kLead, 30)) << "no wireframe without a selection";
    EXPECT_FALSE(near(p, cam.pixel({0, 2.6, 0}), {0, 255, 0}, 30)) << "no manipulator without a selection";
}

TEST_F(Viewport, LookThruTopShowsTheOrthographicViewFromAbove) {
    mel("polyCube -w 4 -h 4 -d 4; select -cl; lookThru top; refresh");
    Picture p = Picture::presented();
    // Orthographic width 30 over the 36 x 24 film back, fitted by height: 20 units tall.
    Projector top({0, 1000.1, 0}, {0, 0, 0}, {0, 0, -1}, 10.0 * 640 / 480, 10, true, 640, 480);
    expectColor(p, top.pixel({0.5, 2, 0.5}), headlit({0, 1, 0}, {0, 1, 0}), "top face, square to the view");
    expectColor(p, top.pixel({1.9, 2, 1.9}), headlit({0, 1, 0}, {0, 1, 0}), "near the top face's corner");
    EXPECT_TRUE(near(p, top.pixel({8, 0, 0}), kGridAxis, 2)) << "X axis line";
    EXPECT_TRUE(near(p, top.pixel({0, 0, 7}), kGridAxis, 2)) << "Z axis line";
    EXPECT_TRUE(near(p, top.pixel({5, 0, 6.5}), kGridLine, 2)) << "grid line x = 5";
    expectColor(p, top.pixel({2.5, 0, 2.5}), kBackground, "just outside the cube");
}

// Runs one frame through an override defined here that looks at its frame context.
struct ContextProbe : MHWRender::MRenderOverride {
    std::function<void(const MFrameContext&)> look;
    MHWRender::MPresentTarget present{"probePresent"};
    int current = 0, setups = 0;
    ContextProbe() : MRenderOverride("hostmayaContextProbe") {}
    MHWRender::DrawAPI supportedDrawAPIs() const override { return MHWRender::kAllDevices; }
    MStatus setup(const MString&) override {
        ++setups;
        const MFrameContext* frame = getFrameContext();
        EXPECT_NE(frame, nullptr);
        if (frame) look(*frame);
        return MS::kSuccess;
    }
    bool startOperationIterator() override { return (current = 0) == 0; }
    MHWRender::MRenderOperation* renderOperation() override { return current == 0 ? &present : nullptr; }
    bool nextRenderOperation() override { return ++current < 1; }
};

void probe(const std::function<void(const MFrameContext&)>& look) {
    ContextProbe o;
    o.look = look;
    MHWRender::MRenderer* renderer = MHWRender::MRenderer::theRenderer();
    ASSERT_NE(renderer, nullptr);
    ASSERT_TRUE(renderer->registerOverride(&o));
    mel("modelEditor -e -rendererOverrideName hostmayaContextProbe modelPanel4; refresh");
    EXPECT_EQ(o.setups, 1) << "the frame did not run through the override";
    EXPECT_EQ(o.getFrameContext(), nullptr) << "a frame context outside the frame";
    EXPECT_TRUE(renderer->deregisterOverride(&o));
}

void expectMatrix(const MMatrix& got, const double want[4][4], double tolerance, const char* what) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got.matrix[r][c], want[r][c], tolerance) << what << " [" << r << "][" << c << "]";
}

TEST_F(Viewport, FrameContextGivesMayasViewAndProjection) {
    // 885 x 541 is wider than the film back: the width fits. Maya reports x and y
    // scales of 1.94444 and 3.18084 for this panel.
    mel("control -e -w 885 -h 541 modelPanel4");
    const double n = 0.1, f = 10000, sx = 70.0 / 36, sy = 70.0 / 36 * 885 / 541;
    probe([&](const MFrameContext& frame) {
        int x, y, w, h;
        ASSERT_TRUE(frame.getViewportDimensions(x, y, w, h));
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);
        EXPECT_EQ(w, 885);
        EXPECT_EQ(h, 541);
        MStatus status;
        MMatrix p = frame.getMatrix(MFrameContext::kProjectionMtx, &status);
        ASSERT_TRUE(status);
        const double want[4][4] = {{sx, 0, 0, 0}, {0, sy, 0, 0}, {0, 0, -(f + n) / (f - n), -1},
                                   {0, 0, -2 * f * n / (f - n), 0}};
        expectMatrix(p, want, 1e-9, "persp projection");
        EXPECT_NEAR(p.matrix[0][0], 1.94444, 5e-6);
        EXPECT_NEAR(p.matrix[1][1], 3.18084, 5e-6);
        // The view inverse is persp's world matrix: at (28, 21, 28), looking at the origin.
        MMatrix vi = frame.getMatrix(MFrameContext::kViewInverseMtx, &status);
        ASSERT_TRUE(status);
        Vec back = unit({28, 21, 28});
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(vi.matrix[3][i], (i == 1 ? 21 : 28), 1e-9);
            EXPECT_NEAR(vi.matrix[2][i], back[i], 1e-9);
        }
        EXPECT_TRUE((frame.getMatrix(MFrameContext::kViewMtx) * vi).isEquivalent(MMatrix::identity, 1e-9));
        EXPECT_TRUE(frame.getMatrix(MFrameContext::kViewProjMtx)
                        .isEquivalent(frame.getMatrix(MFrameContext::kViewMtx) * p, 1e-9));
        frame.getMatrix(MFrameContext::kWorldMtx, &status);
        EXPECT_FALSE(status) << "no object matrix for a whole frame";
    });
    // A film offset shifts the view: the terms that multiply view z.
    mel("setAttr perspShape.horizontalFilmOffset 0.1; setAttr perspShape.verticalFilmOffset -0.05");
    probe([&](const MFrameContext& frame) {
        MMatrix p = frame.getMatrix(MFrameContext::kProjectionMtx);
        const double want[4][4] = {{sx, 0, 0, 0},
                                   {0, sy, 0, 0},
                                   {0.1 * 25.4 / 35 * sx, -0.05 * 25.4 / 35 * sy, -(f + n) / (f - n), -1},
                                   {0, 0, -2 * f * n / (f - n), 0}};
        expectMatrix(p, want, 1e-9, "persp projection with film offset");
    });
    // The orthographic top view: 30 units wide across the panel, clip z linear.
    mel("setAttr perspShape.horizontalFilmOffset 0; setAttr perspShape.verticalFilmOffset 0; lookThru top");
    probe([&](const MFrameContext& frame) {
        MMatrix p = frame.getMatrix(MFrameContext::kProjectionMtx);
        const double want[4][4] = {{1.0 / 15, 0, 0, 0}, {0, 885.0 / 541 / 15, 0, 0}, {0, 0, -2 / (f - n), 0},
                                   {0, 0, -(f + n) / (f - n), 1}};
        expectMatrix(p, want, 1e-12, "top projection");
    });
    // Focal length and clipping planes reach the projection.
    mel("lookThru persp; setAttr perspShape.focalLength 70; setAttr perspShape.nearClipPlane 1;"
        "setAttr perspShape.farClipPlane 100");
    probe([&](const MFrameContext& frame) {
        MMatrix p = frame.getMatrix(MFrameContext::kProjectionMtx);
        EXPECT_NEAR(p.matrix[0][0], 2 * sx, 1e-9);
        EXPECT_NEAR(p.matrix[2][2], -101.0 / 99, 1e-12);
        EXPECT_NEAR(p.matrix[3][2], -200.0 / 99, 1e-12);
    });
}

TEST_F(Viewport, ObjectTypeExclusionsFollowTheModelEditor) {
    mel("polyCube -w 4 -h 4 -d 4; select -cl");
    MUint64 seen = ~MUint64(0);
    probe([&](const MFrameContext& frame) { seen = frame.objectTypeExclusions(); });
    EXPECT_EQ(seen, MFrameContext::kExcludeNone);
    mel("modelEditor -e -polymeshes false -grid false modelPanel4");
    probe([&](const MFrameContext& frame) { seen = frame.objectTypeExclusions(); });
    EXPECT_EQ(seen, MFrameContext::kExcludeMeshes | MFrameContext::kExcludeGrid);
    EXPECT_EQ(melString("modelEditor -q -polymeshes modelPanel4"), MString("0"));
    // Maya's own renderer leaves out what is hidden.
    mel("modelEditor -e -rendererOverrideName \"\" modelPanel4; refresh");
    Picture p = Picture::presented();
    Projector cam = defaultPersp();
    expectColor(p, cam.pixel({0, 2, 0.5}), kBackground, "hidden mesh");
    EXPECT_FALSE(near(p, cam.pixel({8, 0, 0}), kGridAxis, 10)) << "hidden grid";
    mel("modelEditor -e -allObjects true modelPanel4");
    probe([&](const MFrameContext& frame) { seen = frame.objectTypeExclusions(); });
    EXPECT_EQ(seen, MFrameContext::kExcludeGrid) << "allObjects leaves the grid alone";
}

TEST_F(Viewport, ARefreshAskedForDuringAFrameIsThatFrame) {
    size_t before = mayahost::vp2::frameSeconds().size();
    probe([&](const MFrameContext&) { EXPECT_TRUE(MGlobal::executeCommand("refresh")); });
    EXPECT_EQ(mayahost::vp2::frameSeconds().size(), before + 1);
}

// Maya forbids scene edits while Viewport 2.0 draws: each is reported as an error naming it
// and the override; queries are not edits. Commands queued for idle run after the frame,
// in order.
TEST_F(Viewport, SceneEditsWhileAnOverrideDrawsAreReportedAndIdleCommandsWait) {
    Output out;
    mel("polyCube -n box");
    const int before = mayahost::vp2::editsWhileDrawing();
    probe([&](const MFrameContext&) {
        MString value;
        EXPECT_TRUE(MGlobal::executeCommand("getAttr box.tx", value));
        EXPECT_EQ(mayahost::vp2::editsWhileDrawing(), before) << "a query is no edit";
        EXPECT_TRUE(MGlobal::executeCommand("move -r 1 0 0 box"));
        MSelectionList none;
        MGlobal::setActiveSelectionList(none);
        EXPECT_TRUE(MGlobal::executeCommandOnIdle("move -r 0 2 0 box"));
        EXPECT_TRUE(MGlobal::executeCommandOnIdle("move -r 0 0 3 box"));
    });
    EXPECT_GE(mayahost::vp2::editsWhileDrawing(), before + 2);
    EXPECT_NE(out.text.find("plug box.tx set while the render override 'hostmayaContextProbe' draws"),
              std::string::npos)
        << out.text;
    EXPECT_NE(out.text.find("active selection changed while the render override"), std::string::npos) << out.text;
    EXPECT_EQ(std::string(melString("getAttr box.ty").asChar()), "0") << "an idle command ran during the frame";
    const int reported = mayahost::vp2::editsWhileDrawing();
    mayahost::host::idle(0);
    EXPECT_EQ(std::string(melString("xform -q -t box").asChar()), "1 2 3");
    EXPECT_EQ(mayahost::vp2::editsWhileDrawing(), reported) << "the idle commands ran outside the frame";
}

TEST_F(Viewport, PluginOverrideRunsItsOperationsInOrderOnTheBoundTarget) {
    Output out;
    mel("loadPlugin \"" VIEWPORT_PLUGIN "\"");
    mel("polyCube -w 4 -h 4 -d 4; select -cl; modelEditor -e -rendererOverrideName hostmayaTestOverride modelPanel4");
    mel("refresh");
    std::vector<std::string> calls = out.lines("override: ");
    // The override is asked for its operations first, then they run in order.
    std::vector<std::string> order;
    for (const auto& c : calls)
        if (c.rfind("framebuffer", 0) && c.rfind("colour", 0) && c.rfind("depth", 0) && c.rfind("viewport", 0))
            order.push_back(c);
    const std::vector<std::string> expected = {
        "setup modelPanel4",           "startOperationIterator",         "renderOperation 0",
        "nextRenderOperation",         "renderOperation 1",              "nextRenderOperation",
        "renderOperation 2",           "nextRenderOperation",            "renderOperation 3",
        "nextRenderOperation",         "clearOperation testClear",       "renderFilterOverride testClear",
        "execute testUpload",          "clearOperation testInterface",   "renderFilterOverride testInterface",
        "cleanup"};
    EXPECT_EQ(order, expected) << out.text;
    auto line = [&](const std::string& prefix) {
        for (const auto& c : calls)
            if (c.rfind(prefix, 0) == 0) return c;
        return std::string();
    };
    EXPECT_EQ(line("viewport"), "viewport 0 0 640 480");
    // The user operation finds the target bound for drawing: an RGBA8 colour texture and
    // a depth texture of the panel's size.
    EXPECT_NE(line("framebuffer"), "framebuffer 0");
    EXPECT_NE(line("framebuffer"), "");
    EXPECT_NE(line("colour").find("format=0x8058 size=640x480"), std::string::npos) << line("colour");
    EXPECT_NE(line("depth").find("format=0x81a6 size=640x480"), std::string::npos) << line("depth");
    EXPECT_EQ(line("gl error"), "");

    // The interface pass draws the grid only where it is nearer than the depth the user
    // operation wrote: far on the right half, near on the left.
    Picture p = Picture::presented();
    Projector cam = defaultPersp();
    const Rgb user = {200, 40, 30};
    auto right = cam.pixel({8, 0, 0}), left = cam.pixel({0, 0, 8});
    ASSERT_GT(right[0], 320);
    ASSERT_LT(left[0], 320);
    EXPECT_TRUE(near(p, right, kGridAxis, 2)) << "X axis line over the far depth";
    EXPECT_TRUE(near(p, cam.pixel({6, 0, -6.5}), kGridLine, 2)) << "grid line over the far depth";
    for (const Vec& v : std::vector<Vec>{{0, 0, 8}, {-6, 0, 6.5}, {-5, 0, 10}}) {
        auto at = cam.pixel(v);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                EXPECT_TRUE(close(p.at(at[0] + dx, at[1] + dy), user, 0)) << "grid behind the near depth";
    }
    // Shaded items are the override's to draw: the cube is not there.
    expectColor(p, cam.pixel({0, 2, 0.5}), user, "where the cube would be", 0);
    mel("unloadPlugin \"" VIEWPORT_PLUGIN "\"");
    EXPECT_EQ(MHWRender::MRenderer::theRenderer()->findRenderOverride("hostmayaTestOverride"), nullptr);
}

TEST_F(Viewport, OverrideWithoutTheDrawApiFallsBackToMayasRenderer) {
    struct LegacyOnly : MHWRender::MRenderOverride {
        int asked = 0;
        LegacyOnly() : MRenderOverride("hostmayaLegacyOnly") {}
        bool startOperationIterator() override { return ++asked > 0; }
        MHWRender::MRenderOperation* renderOperation() override { return nullptr; }
        bool nextRenderOperation() override { return false; }
    } o; // supportedDrawAPIs() is the base class's: legacy OpenGL only
    Output out;
    ASSERT_TRUE(MHWRender::MRenderer::theRenderer()->registerOverride(&o));
    EXPECT_FALSE(MHWRender::MRenderer::theRenderer()->registerOverride(&o));
    mel("polyCube -w 4 -h 4 -d 4; select -cl; modelEditor -e -rendererOverrideName hostmayaLegacyOnly modelPanel4");
    mel("refresh");
    EXPECT_EQ(o.asked, 0);
    EXPECT_NE(out.text.find("does not support the current drawing API"), std::string::npos) << out.text;
    expectColor(Picture::presented(), defaultPersp().pixel({0, 2, 0.5}), headlit({0, 1, 0}), "default renderer");
    EXPECT_TRUE(MHWRender::MRenderer::theRenderer()->deregisterOverride(&o));
}

TEST_F(Viewport, RefreshWritesThePresentedPictureToAPngOfThePanelsSize) {
    std::string path = tempFile("viewport.png");
    std::remove(path.c_str());
    mel("control -e -w 320 -h 200 modelPanel4; polyCube -w 4 -h 4 -d 4; move 0 6 0; select -cl");
    mel("refresh -fe png -fn \"" + path + "\"");
    Picture file;
    ASSERT_TRUE(Picture::read(path, file));
    EXPECT_EQ(file.width, 320);
    EXPECT_EQ(file.height, 200);
    Picture p = Picture::presented();
    EXPECT_EQ(file.rgb, p.rgb);
    // Top row first: the raised cube is in the upper part of the file.
    auto at = defaultPersp(320, 200).pixel({0, 8, 0.5});
    ASSERT_LT(at[1], 100);
    expectColor(file, at, headlit({0, 1, 0}), "raised cube's top face in the file");
    EXPECT_FALSE(MGlobal::executeCommand("refresh -fe jpg -fn \"/tmp/x.jpg\""));
    EXPECT_FALSE(MGlobal::executeCommand("refresh -fe png -fn \"/nonexistent/dir/x.png\""));
}

TEST_F(Viewport, IdleLoopDrawsTheRedrawsAskedForOnce) {
    mayahost::host::idle(0);
    size_t before = mayahost::vp2::frameSeconds().size();
    mayahost::host::idle(0);
    EXPECT_EQ(mayahost::vp2::frameSeconds().size(), before) << "nothing asked, nothing drawn";
    ASSERT_TRUE(M3dView::active3dView().refresh(false, true));
    ASSERT_TRUE(M3dView::active3dView().refresh());
    EXPECT_TRUE(mayahost::vp2::redrawPending());
    EXPECT_EQ(mayahost::vp2::frameSeconds().size(), before) << "not drawn before Maya is idle";
    mayahost::host::idle(0);
    EXPECT_EQ(mayahost::vp2::frameSeconds().size(), before + 1);
    EXPECT_FALSE(mayahost::vp2::redrawPending());
    EXPECT_GT(mayahost::vp2::frameSeconds().back(), 0);
}

} // namespace

// Whole frames: the link claimed, the request's camera and scene, Unreal's picture and
// depth in Maya's target with Maya's interface drawn over it where nearer, busy frames,
// remote handles and material assignments.
#include "FrameFixture.h"

#include "scene/MayaSceneRegistry.h"

#include "link/Headers.h"

#include "../../hosts/maya/src/Mel.h"

#include <maya/MSelectionList.h>

#include <cmath>
#include <cstring>

namespace {

const Rgb kGridLine = {135, 135, 135};
const Rgb kGridAxis = {0, 0, 0};

// Maya's persp camera with a film offset of (hfo, vfo) inches: the picture moves by
// -(offset x 25.4 / focal length) / half extent in normalised device coordinates.
struct OffsetProjector {
    Projector base;
    double shiftX, shiftY;
    std::array<int, 2> pixel(const Vec& p) const
    {
        Vec d = sub(p, base.eye);
        double x = dot(d, base.right), y = dot(d, base.up), z = dot(d, base.back);
        double nx = x / -z / base.halfX - shiftX, ny = y / -z / base.halfY - shiftY;
        return {static_cast<int>(std::floor((nx + 1) / 2 * base.width)),
                static_cast<int>(std::floor((1 - ny) / 2 * base.height))};
    }
};

// Points just inside and just outside the responder's quad (y = 0.5, |x|, |z| < 4).
template <class Camera>
void expectQuadWhereMayaProjectsIt(const Picture& p, const Camera& cam, const TestResponder& u, const char* what)
{
    const Rgb quad = rgbOf(u.quadColour), back = rgbOf(u.backColour);
    for (const Vec& v : std::vector<Vec>{{3.6, 0.5, 3.6}, {-3.6, 0.5, 3.6}, {3.6, 0.5, -3.6}, {-3.6, 0.5, -3.6}}) {
        auto at = cam.pixel(v);
        EXPECT_TRUE(close(p.at(at[0], at[1]), quad, 1))
            << what << ": inside corner " << v[0] << ", " << v[2] << " at " << at[0] << ", " << at[1] << " is "
            << text(p.at(at[0], at[1]));
    }
    for (const Vec& v : std::vector<Vec>{{4.5, 0.5, 4.5}, {-4.5, 0.5, 4.5}, {4.5, 0.5, -4.5}, {-4.5, 0.5, -4.5}}) {
        auto at = cam.pixel(v);
        EXPECT_FALSE(close(p.at(at[0], at[1]), quad, 1))
            << what << ": outside corner " << v[0] << ", " << v[2] << " at " << at[0] << ", " << at[1];
    }
    (void)back;
}

// Maya's window depth of a point at view distance z through a perspective of near n, far f.
double perspectiveWindowDepth(double z, double n = 0.1, double f = 10000)
{
    double ndc = (f + n) / (f - n) - 2 * f * n / (f - n) / z;
    return 0.5 * ndc + 0.5;
}

TEST_F(Frames, LinkDownShowsMayasSceneAndTheFirstClaimSendsTheWholeScene)
{
    MayaSceneRegistry& registry = MayaSceneRegistry::instance();
    registry.lastDriverTick = 0;
    mel("polyCube -w 4 -h 4 -d 4 -n box; select -cl; refresh");
    // Every frame tells the idle timer that one was just drawn, link or not.
    EXPECT_NE(registry.lastDriverTick, 0u);
    Picture own = Picture::presented();
    Projector cam = defaultPersp(kWidth, kHeight);
    // Without Unreal the override draws Maya's own shaded scene: the cube's top face.
    Rgb top = own.at(cam.pixel({0.5, 2, 0.5})[0], cam.pixel({0.5, 2, 0.5})[1]);
    EXPECT_GT(top[0], 40) << text(top);
    EXPECT_TRUE(close(top, {top[0], top[0], top[0]}, 1)) << "grey lambert: " << text(top);

    TestResponder& u = startUnreal();
    mel("refresh");
    ASSERT_EQ(u.frameCount(), 1u);
    AnsweredFrame f = u.frames()[0];
    EXPECT_EQ(f.header.newSession, 1);
    EXPECT_EQ(f.header.pictureWanted, 1);
    EXPECT_EQ(f.header.viewportWidth, kWidth);
    EXPECT_EQ(f.header.viewportHeight, kHeight);
    int shapes = 0, transforms = 0;
    for (const kvt::Record& r : f.records) {
        EXPECT_TRUE(r.isNew());
        shapes += r.kind == kvt::RecordKind::Mesh;
        transforms += r.kind == kvt::RecordKind::Transform;
    }
    EXPECT_EQ(shapes, 1);
    EXPECT_EQ(transforms, 1);
    EXPECT_EQ(f.header.newCount, f.records.size());

    // The camera at (28, 21, 28) looking at the origin, in the responder's axes.
    const double l = std::sqrt(28.0 * 28 + 21 * 21 + 28 * 28);
    const float forward[4] = {float(-28 / l), float(-28 / l), float(-21 / l), 0};
    const float position[4] = {28, 28, 21, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(f.header.cameraMatrix[i], forward[i], 1e-5) << i;
        EXPECT_NEAR(f.header.cameraMatrix[12 + i], position[i], 1e-4) << i;
    }
    // Up is Maya's +Y tilted back: its Maya y (responder z) is positive, and it is square
    // to the view.
    EXPECT_GT(f.header.cameraMatrix[10], 0.5f);
    double dotUp = 0;
    for (int i = 0; i < 3; ++i)
        dotUp += f.header.cameraMatrix[8 + i] * f.header.cameraMatrix[i];
    EXPECT_NEAR(dotUp, 0, 1e-5);

    // The picture replaced Maya's scene in that same frame.
    Picture p = Picture::presented();
    expectQuadWhereMayaProjectsIt(p, cam, u, "claim frame");
    EXPECT_FALSE(close(p.at(cam.pixel({0.5, 2, 0.5})[0], cam.pixel({0.5, 2, 0.5})[1]), top, 3)) << "cube still drawn";

    // The next frame is no new session and carries nothing that did not change.
    mel("refresh");
    ASSERT_EQ(u.frameCount(), 2u);
    EXPECT_EQ(u.frames()[1].header.newSession, 0);
    EXPECT_TRUE(u.frames()[1].records.empty());
}

TEST_F(Frames, SavedPictureIsTheResponderPictureWithTheGridOverItWhereNearer)
{
    TestResponder& u = startUnreal();
    mel("refresh");
    const std::string path = ::testing::TempDir() + "viewport_mirror.png";
    mel("refresh -fe png -fn \"" + path + "\"");
    Picture p;
    ASSERT_TRUE(Picture::read(path, p));
    ASSERT_EQ(p.width, kWidth);
    ASSERT_EQ(p.height, kHeight);
    Projector cam = defaultPersp(kWidth, kHeight);
    expectQuadWhereMayaProjectsIt(p, cam, u, "saved picture");
    // Outside the quad the responder's depth is as far as it goes: the grid shows.
    EXPECT_TRUE(near(p, cam.pixel({8, 0, 0}), kGridAxis, 2)) << "X axis beyond the quad";
    EXPECT_TRUE(near(p, cam.pixel({6, 0, -6.5}), kGridLine, 2)) << "grid line beyond the quad";
    // Under the quad (0.5 above the grid) the grid is farther: the quad covers it.
    for (const Vec& v : std::vector<Vec>{{0, 0, 2}, {2, 0, 0}, {1, 0, -2}}) {
        auto at = cam.pixel(v);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                EXPECT_TRUE(close(p.at(at[0] + dx, at[1] + dy), rgbOf(u.quadColour), 1))
                    << "grid drawn through the nearer quad at " << v[0] << ", " << v[2];
    }
}

TEST_F(Frames, DepthInTheTargetIsMayasOwnDepthForEachKindOfCamera)
{
    TestResponder& u = startUnreal();
    mel("refresh");
    TestResponder::Sample s = u.centreSample();
    ASSERT_GT(s.viewZ, 0);
    EXPECT_NEAR(s.depth, perspectiveWindowDepth(s.viewZ), 2e-6) << "perspective at view z " << s.viewZ;

    // Orthographic from above: window depth is (z - near) / (far - near); the quad lies
    // 1000.1 - 0.5 units below the camera.
    mel("lookThru top; refresh");
    s = u.centreSample();
    ASSERT_GT(s.viewZ, 0) << "nothing of the quad in the top view";
    EXPECT_NEAR(s.viewZ, 999.6, 1e-3);
    EXPECT_NEAR(s.depth, (999.6 - 0.1) / (10000 - 0.1), 2e-6);
    Picture p = Picture::presented();
    Projector top({0, 1000.1, 0}, {0, 0, 0}, {0, 0, -1}, 10.0 * kWidth / kHeight, 10, true, kWidth, kHeight);
    expectQuadWhereMayaProjectsIt(p, top, u, "top view");
    // The grid (XZ plane, below the quad) is hidden under it and shows beyond it.
    EXPECT_TRUE(near(p, top.pixel({8, 0, 0}), kGridAxis, 2)) << "X axis beyond the quad";
    auto under = top.pixel({2, 0, 0});
    EXPECT_TRUE(close(p.at(under[0], under[1]), rgbOf(u.quadColour), 1)) << "X axis under the quad";

    // Back to perspective: its own factors again.
    mel("lookThru persp; refresh");
    s = u.centreSample();
    EXPECT_NEAR(s.depth, perspectiveWindowDepth(s.viewZ), 2e-6);
}

TEST_F(Frames, OffCentrePerspectiveLandsWhereMayaDrawsIt)
{
    mel("setAttr perspShape.horizontalFilmOffset 0.2; setAttr perspShape.verticalFilmOffset -0.1");
    TestResponder& u = startUnreal();
    mel("refresh");
    Picture p = Picture::presented();
    Projector base = defaultPersp(kWidth, kHeight);
    OffsetProjector cam{base, 0.2 * 25.4 / 35 / base.halfX, -0.1 * 25.4 / 35 / base.halfY};
    // The shift is large enough to matter: ~30 pixels.
    EXPECT_GT(std::abs(cam.pixel({0, 0, 0})[0] - base.pixel({0, 0, 0})[0]), 20);
    expectQuadWhereMayaProjectsIt(p, cam, u, "film offset");
    EXPECT_TRUE(near(p, cam.pixel({8, 0, 0}), kGridAxis, 2)) << "Maya's grid beyond the quad";
    mel("setAttr perspShape.horizontalFilmOffset 0; setAttr perspShape.verticalFilmOffset 0");
}

TEST_F(Frames, BusyFramesWriteNothingAndUploadNothing)
{
    TestResponder& u = startUnreal();
    mel("polyCube -n box; select -cl; refresh");
    ASSERT_EQ(u.frameCount(), 1u);
    Picture before = Picture::presented();

    // A request still outstanding: the counters differ when the frame starts.
    u.paused = true;
    auto* req = reinterpret_cast<kvt::RequestHeader*>(u.link().request().view);
    auto* rsp = reinterpret_cast<kvt::ResponseHeader*>(u.link().response().view);
    const std::uint64_t counter = kvt::loadCounter(req) + 1;
    req->viewportWidth = 7;
    kvt::storeCounter(req, counter);
    MayaSceneRegistry::instance().lastDriverTick = 0;
    mel("move -r 1 0 0 box; lookThru top; refresh");
    EXPECT_NE(MayaSceneRegistry::instance().lastDriverTick, 0u) << "a busy frame is a frame too";
    EXPECT_EQ(kvt::loadCounter(req), counter) << "a busy frame published";
    EXPECT_EQ(req->viewportWidth, 7) << "a busy frame wrote its header";
    Picture busy = Picture::presented();
    Projector cam = defaultPersp(kWidth, kHeight);
    auto at = cam.pixel({3.6, 0.5, 3.6});
    EXPECT_TRUE(close(busy.at(at[0], at[1]), before.at(at[0], at[1]), 0)) << "the target was drawn over";

    // Answered: the next frame sends what changed meanwhile.
    kvt::storeCounter(rsp, counter);
    u.paused = false;
    mel("refresh");
    ASSERT_EQ(u.frameCount(), 2u);
    AnsweredFrame f = u.frames()[1];
    ASSERT_EQ(f.records.size(), 1u);
    EXPECT_EQ(f.records[0].kind, kvt::RecordKind::Transform);
    mel("lookThru persp");
}

TEST_F(Frames, RemoteHandlesFromTheReplyAreTheIdentitiesOfLaterRecords)
{
    TestResponder& u = startUnreal();
    mel("polyCube -n box; select -cl; refresh");
    ASSERT_EQ(u.frameCount(), 1u);
    // The responder hands out 0x5000, 0x5001, ... in record order.
    std::vector<kvt::Record> sent = u.frames()[0].records;
    ASSERT_EQ(sent.size(), 2u);
    mel("move -r 1 0 0 box; polyColorPerVertex -rgb 1 0 0 box; refresh");
    ASSERT_EQ(u.frameCount(), 2u);
    std::vector<kvt::Record> later = u.frames()[1].records;
    ASSERT_EQ(later.size(), 2u);
    for (const kvt::Record& r : later) {
        EXPECT_FALSE(r.isNew());
        bool matched = false;
        for (std::size_t i = 0; i < sent.size(); ++i)
            if (sent[i].kind == r.kind)
                matched = r.identity == 0x5000 + i;
        EXPECT_TRUE(matched) << kvt::recordKindName(r.kind) << " sent as " << std::hex << r.identity;
    }
}

std::vector<std::u16string> materialsOfTransform(const AnsweredFrame& f)
{
    for (std::size_t i = 0; i < f.records.size(); ++i)
        if (f.records[i].kind == kvt::RecordKind::Transform)
            return f.materials[i];
    return {};
}

// Transforms told apart by their world x (the wire keeps Maya's x).
std::vector<std::u16string> namesAt(const AnsweredFrame& f, double x, bool* found)
{
    *found = false;
    for (std::size_t i = 0; i < f.records.size(); ++i)
        if (f.records[i].kind == kvt::RecordKind::Transform &&
            std::fabs(f.records[i].transform.worldMatrix[12] - x) < 1e-4) {
            *found = true;
            return f.materials[i];
        }
    return {};
}

TEST_F(Frames, MaterialFromUnrealIsAssignedToTheSelection)
{
    TestResponder& u = startUnreal();
    mel("polyCube -n box; polySphere -n ball; move 5 0 0; instance -n ballCopy ball; move -5 0 0; "
        "polyPlane -n floor; move 10 0 0; select -cl; refresh");
    mel("shadingNode -asShader lambert -n gold");
    mel("sets -renderable true -noSurfaceShader true -empty -name goldSG");
    mel("connectAttr gold.outColor goldSG.surfaceShader");
    mel("setAttr -type \"string\" goldSG.UE4Material \"/Game/M_Gold\"");
    mel("refresh");
    const std::size_t start = u.frameCount();

    // Through the shading engine that carries the name.
    mel("select -r box ballCopy");
    u.sendMaterial(u"/Game/M_Gold");
    mel("refresh");
    // Not while the frame drew (the fixture fails on that): from the idle timer after it.
    mel("pause -sec 0.05");
    auto* rsp = reinterpret_cast<kvt::ResponseHeader*>(u.link().response().view);
    EXPECT_EQ(rsp->assignMaterial, 0) << "the request was not cleared";
    MSelectionList selection;
    MGlobal::getActiveSelectionList(selection);
    EXPECT_EQ(selection.length(), 2u) << "the selection was changed";
    mel("refresh");
    // The frame after the assignment: the idle timer may have drawn it before the refresh.
    ASSERT_GE(u.frameCount(), start + 2);
    AnsweredFrame f = u.frames()[start + 1];
    for (double x : {0.0, -5.0}) {
        bool found = false;
        std::vector<std::u16string> names = namesAt(f, x, &found);
        EXPECT_TRUE(found) << "selected transform at x " << x << " not re-sent";
        ASSERT_EQ(names.size(), 1u) << x;
        EXPECT_TRUE(names[0] == u"/Game/M_Gold") << x;
    }
    bool ballSent = false;
    for (const auto& name : namesAt(f, 5.0, &ballSent))
        EXPECT_FALSE(name == u"/Game/M_Gold") << "the unselected instance was assigned";
    int shapes = 0;
    for (const kvt::Record& r : f.records)
        shapes += r.kind == kvt::RecordKind::Mesh;
    EXPECT_EQ(shapes, 2) << "the cube's and the sphere's shapes";
    EXPECT_EQ(melString("ls -type lambert").find("lambert2"), std::string::npos) << "a shader was made needlessly";

    // Through a new lambert, whose shading engine takes the name as it is made.
    mel("select -r floor");
    u.sendMaterial(u"/Game/M_Concrete");
    const std::size_t concrete = u.frameCount();
    mel("refresh; pause -sec 0.05");
    EXPECT_EQ(rsp->assignMaterial, 0);
    mel("refresh");
    // The first frame after the one that named the material re-sends the floor.
    ASSERT_GE(u.frameCount(), concrete + 2);
    AnsweredFrame g = u.frames()[concrete + 1];
    bool found = false;
    std::vector<std::u16string> names = namesAt(g, 10.0, &found);
    EXPECT_TRUE(found);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0] == u"/Game/M_Concrete");
}

TEST_F(Frames, AShaderNameTooLongForTheCommandIsNotAssigned)
{
    TestResponder& u = startUnreal();
    mel("polyCube -n box; select -cl; refresh");
    const std::string longName(2100, 's');
    mel("shadingNode -asShader lambert -n " + longName);
    mel("sets -renderable true -noSurfaceShader true -empty -name longSG");
    mel("connectAttr " + longName + ".outColor longSG.surfaceShader");
    mel("setAttr -type \"string\" longSG.UE4Material \"/Game/M_Long\"");
    mel("select -r box; refresh");
    u.sendMaterial(u"/Game/M_Long");
    std::string printed;
    mayahost::mel::setOutput([&](const std::string& s) { printed += s; });
    mel("refresh; pause -sec 0.05");
    mayahost::mel::setOutput([](const std::string& s) { std::fputs(s.c_str(), stdout); });
    EXPECT_EQ(printed.find("Error"), std::string::npos) << "a cut command ran: " << printed.substr(0, 200);
    auto* rsp = reinterpret_cast<kvt::ResponseHeader*>(u.link().response().view);
    EXPECT_EQ(rsp->assignMaterial, 0);
    mel("refresh");
    for (const auto& name : materialsOfTransform(u.frames().back()))
        EXPECT_FALSE(name == u"/Game/M_Long") << "assigned through a cut command";
}

} // namespace

namespace {

TEST_F(Frames, ALinkOwnedByAnotherLiveMayaIsLeftAlone)
{
    TestResponder& u = startUnreal();
    // Process 1 always runs: another Maya holding the link.
    auto* req = reinterpret_cast<kvt::RequestHeader*>(u.link().request().view);
    req->ownerPid = 1;
    mel("polyCube -w 4 -h 4 -d 4 -n box; select -cl; refresh; refresh");
    EXPECT_EQ(u.frameCount(), 0u) << "a request went out on a link another Maya owns";
    EXPECT_EQ(req->ownerPid, 1u);
    // Maya's own scene shows instead.
    Picture p = Picture::presented();
    Projector cam = defaultPersp(kWidth, kHeight);
    auto top = cam.pixel({0.5, 2, 0.5});
    EXPECT_GT(p.at(top[0], top[1])[0], 40) << text(p.at(top[0], top[1]));
    // Once the owner has gone (its pid cleared here), the link is claimed.
    req->ownerPid = 0;
    mel("refresh");
    ASSERT_EQ(u.frameCount(), 1u);
    EXPECT_EQ(u.frames()[0].header.newSession, 1);
    EXPECT_NE(req->ownerPid, 1u);
}

} // namespace

namespace {

// The world x of the first transform record of a frame, or NaN when it has none.
double transformX(const AnsweredFrame& f)
{
    for (const kvt::Record& r : f.records)
        if (r.kind == kvt::RecordKind::Transform && r.hasData())
            return r.transform.worldMatrix[12];
    return std::nan("");
}

// Playback under Maya's parallel evaluation moves keyed transforms without dirty or
// world-matrix messages; the time change still reaches the plug-in, so every played frame
// carries the animated transform where the curve puts it.
TEST_F(Frames, PlaybackSendsTheKeyedTransformInEveryFrame)
{
    TestResponder& u = startUnreal();
    mel("polyCube -n box; select -cl");
    mel("setKeyframe -at tx -t 1 -v 0 -itt linear -ott linear box");
    mel("setKeyframe -at tx -t 5 -v 8 -itt linear -ott linear box");
    mel("currentTime 1; refresh; refresh");
    const std::size_t start = u.frameCount();
    mel("playbackOptions -min 2 -max 5; play -wait");
    // Frames the idle timer drew in between carry nothing; the played ones carry the box.
    std::vector<double> xs;
    for (std::size_t i = start; i < u.frameCount(); ++i)
        if (!std::isnan(transformX(u.frames()[i])))
            xs.push_back(transformX(u.frames()[i]));
    ASSERT_EQ(xs.size(), 4u);
    for (int frame = 2; frame <= 5; ++frame)
        EXPECT_NEAR(xs[std::size_t(frame - 2)], 2.0 * (frame - 1), 1e-4) << "frame " << frame;
    // A time set by command is a time change too.
    mel("currentTime 3; refresh");
    EXPECT_NEAR(transformX(u.frames().back()), 4.0, 1e-4);
}

} // namespace

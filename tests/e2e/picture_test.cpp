// Maya's saved picture, drawn through "Mirror" by the real editor: tagged objects in their
// Unreal material's colour where Maya's own projection puts them, right side up, for a
// perspective, an off-centre perspective and an orthographic camera; Maya's grid and the
// selection's wireframe depth-tested against the picture's depth.
#include "Mirror.h"

using namespace e2e;

namespace {

class Pictures : public SharedProgramsTest {
protected:
    void SetUp() override
    {
        SharedProgramsTest::SetUp();
        if (HasFatalFailure())
            return;
        std::string out = maya->mel(newSceneMel() + taggedMaterialMel("red", kRed) + taggedMaterialMel("grey", kGrey) +
                                    taggedMaterialMel("blue", kBlue));
        ASSERT_EQ(out.find("Error"), std::string::npos) << out;
    }
    // A red and a grey cube on the ground, a blue one above and behind them, and a grey
    // one sunk below the ground where the ray through grid point (1, 0, 7) meets its top.
    void buildScene()
    {
        std::string out = maya->mel(cubeMel("redBox", {-2.5, 1, 0}, 2, "redSG") + cubeMel("greyBox", {2.5, 1, 0}, 2, "greySG") +
                                    cubeMel("blueBox", {0, 4, -2}, 2, "blueSG") +
                                    cubeMel("sunkBox", {1.5, -3, 3.5}, 2, "greySG"));
        ASSERT_EQ(out.find("Error"), std::string::npos) << out;
    }
    Picture shot(const CameraAttributes& cam, const std::string& camera, const std::string& name)
    {
        std::string out = maya->mel(cam.mel(camera, camera + "Shape") + " lookThru " + camera + ";");
        EXPECT_EQ(out.find("Error"), std::string::npos) << out;
        maya->mel("refresh");
        return readPicture(maya->picture(name));
    }
    static CameraAttributes perspective()
    {
        CameraAttributes c;
        c.translate = {0, 4, 14};
        c.rotate = {-15, 0, 0};
        return c;
    }
    // Face centres of the three cubes above the ground in their material colours.
    void expectCubes(const Picture& p, const MayaCamera& cam, bool fromAbove)
    {
        struct Face {
            Vec3 at;
            const Material* m;
        };
        std::vector<Face> faces = fromAbove ? std::vector<Face>{{{-2.5, 2, 0}, &kRed}, {{2.5, 2, 0}, &kGrey}, {{0, 5, -2}, &kBlue}}
                                            : std::vector<Face>{{{-2.5, 1, 1}, &kRed}, {{2.5, 1, 1}, &kGrey}, {{0, 4, -1}, &kBlue}};
        for (const Face& f : faces) {
            PixelPos at = cam.project(f.at);
            EXPECT_TRUE(blockShows(p, at, unrealColour(*f.m))) << f.m->path << " expected " << text(unrealColour(*f.m))
                                                               << ": " << describe(p, at);
            // Right side up: the blue cube, far from the middle row, is not at its mirrored row.
            PixelPos mirrored{at.x, kHeight - 1 - at.y, 0};
            if (f.m == &kBlue) {
                EXPECT_GT(std::abs(mirrored.y - at.y), 20);
                EXPECT_FALSE(blockShows(p, mirrored, unrealColour(*f.m))) << f.m->path << " also at the mirrored row";
            }
        }
    }
};

TEST_F(Pictures, PerspectiveShowsEachMaterialWhereMayaProjectsItWithTheGridDepthTested)
{
    buildScene();
    CameraAttributes c = perspective();
    Picture p = shot(c, "persp", "perspective");
    MayaCamera cam(c, kWidth, kHeight);
    expectCubes(p, cam, false);

    // Above the horizon nothing is drawn: Unreal's cleared black.
    EXPECT_TRUE(close(p.at(3, 2), {0, 0, 0}, 3)) << text(p.at(3, 2));
    // The blue cube is above the others in the picture.
    EXPECT_LT(cam.project({0, 4, -1}).y + 10, cam.project({-2.5, 1, 1}).y);

    // Grid line x = -2 runs under the red cube: hidden by its front face, drawn in front of it.
    PixelPos under = cam.project({-2, 0, 0});
    EXPECT_TRUE(blockShows(p, under, unrealColour(kRed))) << "grid drawn through the red cube: " << describe(p, under);
    EXPECT_FALSE(near(p, {under.ix(), under.iy()}, kGridLine, 3, 0)) << describe(p, under);
    PixelPos before = cam.project({-2, 0, 5});
    EXPECT_TRUE(near(p, {before.ix(), before.iy()}, kGridLine, 3)) << "grid missing over the background: " << describe(p, before);
    // Grid point (1, 0, 7) lies in front of the sunken cube: drawn over it, the cube around it.
    PixelPos over = cam.project({1, 0, 7});
    EXPECT_TRUE(near(p, {over.ix(), over.iy()}, kGridLine, 3)) << "grid hidden by a farther surface: " << describe(p, over);
    PixelPos beside = cam.project({1.9, -2, 3.9});
    EXPECT_TRUE(showsColour(p.at(beside.ix(), beside.iy()), unrealColour(kGrey))) << "sunken cube: " << describe(p, beside);
}

TEST_F(Pictures, OffCentrePerspectiveMovesThePictureByTheFilmOffset)
{
    buildScene();
    CameraAttributes c = perspective();
    c.filmOffset[0] = 0.15;
    c.filmOffset[1] = -0.1;
    Picture p = shot(c, "persp", "offcentre");
    MayaCamera cam(c, kWidth, kHeight), centred(perspective(), kWidth, kHeight);
    // The offset moves the picture far enough that the centred places would be wrong.
    PixelPos shifted = cam.project({-2.5, 1, 1}), plain = centred.project({-2.5, 1, 1});
    ASSERT_GT(std::abs(shifted.x - plain.x), 10);
    ASSERT_GT(std::abs(shifted.y - plain.y), 6);
    expectCubes(p, cam, false);
    EXPECT_FALSE(blockShows(p, plain, unrealColour(kRed))) << "the film offset was not applied: " << describe(p, plain);

    PixelPos under = cam.project({-2, 0, 0});
    EXPECT_TRUE(blockShows(p, under, unrealColour(kRed))) << describe(p, under);
    PixelPos over = cam.project({1, 0, 7});
    EXPECT_TRUE(near(p, {over.ix(), over.iy()}, kGridLine, 3)) << describe(p, over);
}

TEST_F(Pictures, OrthographicTopViewShowsTheMaterialsWithTheGridDepthTested)
{
    buildScene();
    CameraAttributes c;
    c.translate = {0, 100, 0};
    c.rotate = {-90, 0, 0};
    c.orthographic = true;
    c.orthographicWidth = 16;
    c.farClip = 1000;
    Picture p = shot(c, "top", "orthographic");
    MayaCamera cam(c, kWidth, kHeight);
    expectCubes(p, cam, true);
    // Seen from above, -Z is up in the picture: the blue cube (z = -2) above the red one.
    EXPECT_LT(cam.project({0, 5, -2}).y + 10, cam.project({-2.5, 2, 0}).y);

    // Grid line x = -2 under the red cube's top: hidden; line x = 1 over the sunken cube: drawn.
    PixelPos under = cam.project({-2, 0, 0.5});
    EXPECT_TRUE(blockShows(p, under, unrealColour(kRed))) << describe(p, under);
    EXPECT_FALSE(near(p, {under.ix(), under.iy()}, kGridLine, 3, 0)) << describe(p, under);
    PixelPos over = cam.project({1, 0, 3.5});
    EXPECT_TRUE(near(p, {over.ix(), over.iy()}, kGridLine, 3)) << "grid hidden by a farther surface: " << describe(p, over);
    PixelPos beside = cam.project({1.5, -2, 3.5});
    EXPECT_TRUE(showsColour(p.at(beside.ix(), beside.iy()), unrealColour(kGrey))) << describe(p, beside);
}

TEST_F(Pictures, SelectionWireframeHiddenBehindANearerSurfaceAndDrawnElsewhere)
{
    // A red cube in front of a larger grey one; the grey one selected.
    std::string out = maya->mel(cubeMel("nearBox", {0, 1, 2}, 2, "redSG") + cubeMel("farBox", {1, 1.5, -2}, 3, "greySG") +
                                "select -r farBox;");
    ASSERT_EQ(out.find("Error"), std::string::npos) << out;
    CameraAttributes c = perspective();
    Picture p = shot(c, "persp", "selection");
    MayaCamera cam(c, kWidth, kHeight);
    // The grey cube's front bottom edge (y = 0, z = -0.5): behind the red cube at x = 0,
    // in the open at x = 2.3; its front left edge (x = -0.5) behind it at y = 1, free at 2.8.
    for (Vec3 hidden : {Vec3{0, 0, -0.5}, Vec3{-0.5, 1, -0.5}}) {
        PixelPos at = cam.project(hidden);
        EXPECT_TRUE(blockShows(p, at, unrealColour(kRed))) << describe(p, at);
        EXPECT_FALSE(near(p, {at.ix(), at.iy()}, kLeadWire, 40)) << "wireframe drawn through the nearer cube: "
                                                                  << describe(p, at);
    }
    for (Vec3 shown : {Vec3{2.3, 0, -0.5}, Vec3{-0.5, 2.8, -0.5}}) {
        PixelPos at = cam.project(shown);
        EXPECT_TRUE(near(p, {at.ix(), at.iy()}, kLeadWire, 40)) << "wireframe missing: " << describe(p, at);
    }
    // Between the edges the grey cube's face shows in its material.
    PixelPos face = cam.project({2.0, 2.5, -0.5});
    EXPECT_TRUE(blockShows(p, face, unrealColour(kGrey))) << describe(p, face);
}

} // namespace

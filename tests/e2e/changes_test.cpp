// Edits in Maya (and a material chosen in the editor) reaching Unreal's mirror, each seen
// in Maya's saved picture at the pixels Maya's projection gives, and where cheap in
// Maya's scene through MEL.
#include "Mirror.h"

#include <unistd.h>

using namespace e2e;

namespace {

class Changes : public SharedProgramsTest {
protected:
    void SetUp() override
    {
        SharedProgramsTest::SetUp();
        if (HasFatalFailure())
            return;
        camera.translate = {0, 4, 14};
        camera.rotate = {-15, 0, 0};
        std::string out = maya->mel(newSceneMel() + taggedMaterialMel("red", kRed) + taggedMaterialMel("grey", kGrey) +
                                    camera.mel("persp", "perspShape") + " lookThru persp;");
        ASSERT_EQ(out.find("Error"), std::string::npos) << out;
    }
    void run(const std::string& mel)
    {
        std::string out = maya->mel(mel);
        ASSERT_EQ(out.find("Error"), std::string::npos) << mel << "\n" << out;
    }
    Picture shot(const std::string& name)
    {
        maya->mel("refresh");
        return readPicture(maya->picture(name));
    }
    // The centre of the front face (+Z) of a cube of edge 2 centred at `c`.
    PixelPos front(Vec3 c) const { return MayaCamera(camera, kWidth, kHeight).project({c[0], c[1], c[2] + 1}); }
    bool shows(const Picture& p, Vec3 c, const Material& m) const { return blockShows(p, front(c), unrealColour(m)); }

    CameraAttributes camera;
};

TEST_F(Changes, MovedHiddenShownAndDeletedObjectsFollowInThePicture)
{
    const Vec3 a{-2.5, 1, 0}, b{2.5, 1.5, 1};
    run(cubeMel("box", a, 2, "redSG"));
    Picture p = shot("moved0");
    EXPECT_TRUE(shows(p, a, kRed)) << describe(p, front(a));
    EXPECT_FALSE(shows(p, b, kRed)) << describe(p, front(b));

    run("setAttr box.translate 2.5 1.5 1;");
    EXPECT_NE(maya->mel("xform -q -ws -t box").find("2.5 1.5 1"), std::string::npos) << maya->mel("xform -q -ws -t box");
    p = shot("moved1");
    EXPECT_TRUE(shows(p, b, kRed)) << "not at its new place: " << describe(p, front(b));
    EXPECT_FALSE(shows(p, a, kRed)) << "still at its old place: " << describe(p, front(a));

    run("hide box;");
    p = shot("hidden");
    EXPECT_FALSE(shows(p, b, kRed)) << "hidden but drawn: " << describe(p, front(b));
    run("showHidden box;");
    p = shot("shown");
    EXPECT_TRUE(shows(p, b, kRed)) << "shown again but missing: " << describe(p, front(b));

    run("delete box;");
    EXPECT_EQ(maya->mel("ls box").find("box"), std::string::npos);
    p = shot("deleted");
    EXPECT_FALSE(shows(p, b, kRed)) << "deleted but drawn: " << describe(p, front(b));
}

// Every vertex moved in component mode: the transform stays, the mesh goes. Looking at the
// new place with the old one out of view, the mesh must be drawn (not culled by where it was).
TEST_F(Changes, MeshMovedInComponentModeIsDrawnAtItsNewPlace)
{
    const Vec3 a{0, 1, 0}, b{50, 1, 0};
    run(cubeMel("box", a, 2, "redSG"));
    Picture p = shot("component0");
    EXPECT_TRUE(shows(p, a, kRed)) << describe(p, front(a));

    run("move -r 50 0 0 \"box.vtx[0:7]\";");
    EXPECT_NE(maya->mel("getAttr box.translate").find("0 1 0"), std::string::npos) << maya->mel("getAttr box.translate");
    camera.translate = {50, 4, 14};
    run(camera.mel("persp", "perspShape"));
    p = shot("component1");
    EXPECT_TRUE(shows(p, b, kRed)) << "culled by its old bounds: " << describe(p, front(b));
}

// A keyed cube played back: Maya's parallel evaluation moves it without dirty or
// world-matrix messages, and each frame's picture still shows it where the curve puts it.
TEST_F(Changes, KeyedObjectPlayedBackIsWhereItsCurvePutsItInEveryFrame)
{
    run(cubeMel("box", {-3, 1, 0}, 2, "redSG") +
        "setKeyframe -at tx -t 1 -v -3 -itt linear -ott linear box; "
        "setKeyframe -at tx -t 4 -v 3 -itt linear -ott linear box; currentTime 1;");
    for (int frame = 1; frame <= 4; ++frame) {
        const Vec3 at{-3.0 + 2.0 * (frame - 1), 1, 0}, away{at[0] > 0 ? -3.0 : 3.0, 1, 0};
        run("currentTime " + std::to_string(frame) + ";");
        Picture p = shot("played" + std::to_string(frame));
        EXPECT_TRUE(shows(p, at, kRed)) << "frame " << frame << ": " << describe(p, front(at));
        EXPECT_FALSE(shows(p, away, kRed)) << "frame " << frame << ": " << describe(p, front(away));
    }
    run("playbackOptions -min 1 -max 3; play -wait;");
    Picture p = shot("playedRange");
    EXPECT_TRUE(shows(p, {1, 1, 0}, kRed)) << "after play: " << describe(p, front({1, 1, 0}));
    EXPECT_FALSE(shows(p, {3, 1, 0}, kRed)) << "after play: " << describe(p, front({3, 1, 0}));
}

TEST_F(Changes, InstancesAndReparentedObjectsStandWhereTheirDagPathsPutThem)
{
    const Vec3 a{-2.5, 1, 0}, second{2.5, 1, 0};
    run(cubeMel("box", a, 2, "redSG"));
    run("instance -n twin box; setAttr twin.translate 2.5 1 0;");
    Picture p = shot("instanced");
    EXPECT_TRUE(shows(p, a, kRed)) << describe(p, front(a));
    EXPECT_TRUE(shows(p, second, kRed)) << "instance missing: " << describe(p, front(second));

    // Under a group raised by 3 and moved back by 2, the first keeps its local place.
    run("createNode transform -n lift; setAttr lift.translate 0 3 -2; parent -r box lift; select -cl;");
    const Vec3 lifted{a[0], a[1] + 3, a[2] - 2};
    EXPECT_NE(maya->mel("xform -q -ws -t box").find("-2.5 4 -2"), std::string::npos) << maya->mel("xform -q -ws -t box");
    p = shot("reparented");
    EXPECT_TRUE(shows(p, lifted, kRed)) << "not below its new parent: " << describe(p, front(lifted));
    EXPECT_FALSE(shows(p, a, kRed)) << "still at its old place: " << describe(p, front(a));
    EXPECT_TRUE(shows(p, second, kRed)) << "the other instance moved with it: " << describe(p, front(second));

    // Moving the parent moves the child; deleting one instance leaves the other.
    run("setAttr lift.translate 0 3 -4;");
    const Vec3 farther{a[0], a[1] + 3, a[2] - 4};
    p = shot("parentmoved");
    EXPECT_TRUE(shows(p, farther, kRed)) << describe(p, front(farther));
    run("delete twin;");
    p = shot("onedeleted");
    EXPECT_FALSE(shows(p, second, kRed)) << describe(p, front(second));
    EXPECT_TRUE(shows(p, farther, kRed)) << describe(p, front(farther));
}

TEST_F(Changes, InstanceOfAHiddenObjectAndTheObjectShowWhenShownAgain)
{
    const Vec3 a{-2.5, 1, 0}, second{2.5, 1, 0};
    run(cubeMel("box", a, 2, "redSG"));
    Picture p = shot("hiddeninstance0");
    ASSERT_TRUE(shows(p, a, kRed)) << describe(p, front(a));
    run("hide box;");
    shot("hiddeninstance1");
    // Maya copies the hidden transform's visibility into the instance.
    run("instance -n twin box; setAttr twin.translate 2.5 1 0; select -cl;");
    EXPECT_NE(maya->mel("getAttr twin.visibility").find("0"), std::string::npos);
    p = shot("hiddeninstance2");
    EXPECT_FALSE(shows(p, a, kRed)) << describe(p, front(a));
    EXPECT_FALSE(shows(p, second, kRed)) << describe(p, front(second));
    run("showHidden box; showHidden twin;");
    p = shot("hiddeninstance3");
    EXPECT_TRUE(shows(p, a, kRed)) << "shown again but missing: " << describe(p, front(a));
    EXPECT_TRUE(shows(p, second, kRed)) << "instance shown but missing: " << describe(p, front(second));
}

TEST_F(Changes, MaterialChangedWhileHiddenShowsWhenShownAgain)
{
    const Vec3 a{0, 1, 0};
    run(cubeMel("box", a, 2, "redSG"));
    Picture p = shot("hiddenmaterial0");
    ASSERT_TRUE(shows(p, a, kRed)) << describe(p, front(a));
    run("hide box;");
    shot("hiddenmaterial1");
    run("sets -e -forceElement greySG box;");
    shot("hiddenmaterial2");
    run("sets -e -forceElement redSG box; showHidden box;");
    p = shot("hiddenmaterial3");
    EXPECT_TRUE(shows(p, a, kRed)) << "shown again but missing: " << describe(p, front(a));
}

TEST_F(Changes, EditedMeshAndChangedLightShowInTheColours)
{
    const Vec3 a{0, 1, 0};
    run(cubeMel("box", a, 2, "greySG"));
    Picture p = shot("mesh0");
    EXPECT_TRUE(shows(p, a, kGrey)) << describe(p, front(a));

    // Vertex colours multiply the base colour: grey (0.5) times green.
    run("select -r box; polyColorPerVertex -rgb 0 1 0; select -cl;");
    p = shot("mesh1");
    const Material greyGreen{"grey x green", {0, 0.5, 0}};
    EXPECT_TRUE(shows(p, a, greyGreen)) << "expected " << text(unrealColour(greyGreen)) << ": " << describe(p, front(a));

    // The sky light at half the intensity, then tinted red.
    run("setAttr skyShape.intensity 0.005;");
    p = shot("light1");
    const Material dim{"half", {0, 0.25, 0}};
    EXPECT_TRUE(shows(p, a, dim)) << "expected " << text(unrealColour(dim)) << ": " << describe(p, front(a));
    run("select -r box; polyColorPerVertex -rgb 1 1 1; select -cl; setAttr skyShape.color -type double3 1 0 0;");
    p = shot("light2");
    const Material tinted{"red light", {0.25, 0, 0}};
    EXPECT_TRUE(shows(p, a, tinted)) << "expected " << text(unrealColour(tinted)) << ": " << describe(p, front(a));
}

TEST_F(Changes, MaterialChosenInTheEditorIsAssignedToMayasSelection)
{
    const Vec3 a{-2, 1, 0}, b{2, 1, 0};
    // Only the red tag exists in this scene: the assignment makes Maya's shading engine for grey.
    run("file -f -new; ambientLight -i 0.01 -n sky;" + taggedMaterialMel("red", kRed) + camera.mel("persp", "perspShape") +
        " lookThru persp;" + cubeMel("left", a, 2, "redSG") + cubeMel("right", b, 2, "redSG") + "select -r left;");
    Picture p = shot("assign0");
    ASSERT_TRUE(shows(p, a, kRed)) << describe(p, front(a));

    std::string said = editor->command("menurun \"Assign To Maya Object\" /Game/Materials/M_Grey", "\n");
    EXPECT_NE(said.find("done"), std::string::npos) << said;
    // Maya performs it in one of its next frames.
    bool tagged = false;
    std::string engines;
    for (int attempt = 0; attempt < 200 && !tagged; ++attempt) {
        maya->mel("refresh");
        engines = maya->mel("ls -type shadingEngine");
        for (size_t at = 0; (at = engines.find_first_not_of(" \t\r\n/", at)) != std::string::npos;) {
            size_t end = engines.find_first_of(" \t\r\n", at);
            std::string name = engines.substr(at, end - at);
            at = end;
            if (name == "Result:" || name.empty()) continue;
            if (maya->mel("getAttr " + name + ".ue4mt").find(kGrey.path) != std::string::npos) tagged = true;
        }
        if (!tagged) usleep(20000);
    }
    EXPECT_TRUE(tagged) << "no shading engine tagged " << kGrey.path << " among: " << engines;
    p = shot("assign1");
    EXPECT_TRUE(shows(p, a, kGrey)) << "the selected object keeps its material: " << describe(p, front(a));
    EXPECT_TRUE(shows(p, b, kRed)) << "an unselected object changed: " << describe(p, front(b));
}

TEST_F(Changes, ShowMenuWithoutMeshesHidesThemAndBringsThemBack)
{
    const Vec3 a{0, 1, 0};
    run(cubeMel("box", a, 2, "redSG"));
    Picture p = shot("show0");
    ASSERT_TRUE(shows(p, a, kRed)) << describe(p, front(a));
    run("modelEditor -e -polymeshes 0 modelPanel4;");
    p = shot("show1");
    EXPECT_FALSE(shows(p, a, kRed)) << "meshes shown although the show menu hides them: " << describe(p, front(a));
    run("modelEditor -e -polymeshes 1 modelPanel4;");
    p = shot("show2");
    EXPECT_TRUE(shows(p, a, kRed)) << describe(p, front(a));
}

} // namespace

// MEL that scene scripts use to place and query things: xform in object and world space,
// ls, getAttr (cameras included), the panel's size.
#include "Support.h"

#include "../../hosts/maya/src/Host.h"
#include "../../hosts/maya/src/Mel.h"

#include <maya/M3dView.h>

#include <cmath>

namespace {

using MelQuery = SceneTest;

std::vector<double> numbers(const std::string& command) {
    int errors = 0;
    mayahost::mel::Value v = mayahost::mel::run(command, "", &errors);
    EXPECT_EQ(errors, 0) << command;
    return v.isArray() ? v.numbers : std::vector<double>{v.asNumber()};
}

std::vector<std::string> strings(const std::string& command) {
    int errors = 0;
    mayahost::mel::Value v = mayahost::mel::run(command, "", &errors);
    EXPECT_EQ(errors, 0) << command;
    return v.asStrings();
}

void expectTriple(const std::vector<double>& got, double x, double y, double z, const std::string& what) {
    ASSERT_EQ(got.size(), 3u) << what;
    EXPECT_NEAR(got[0], x, 1e-9) << what;
    EXPECT_NEAR(got[1], y, 1e-9) << what;
    EXPECT_NEAR(got[2], z, 1e-9) << what;
}

TEST_F(MelQuery, XformPlacesInWorldOrObjectSpaceAndAnswersQueries) {
    // Under a parent moved to (1, 2, 3) and turned 90 degrees about Y, a world position
    // of (10, 20, 30) is (-27, 18, 9) in the parent's space.
    mel("polyPlane -n sheet; group -n holder sheet; move 1 2 3 holder; rotate 0 90 0 holder");
    mel("xform -ws -t 10 20 30 sheet");
    expectTriple(numbers("xform -q -ws -t sheet"), 10, 20, 30, "world translation");
    expectTriple(numbers("xform -q -t sheet"), -27, 18, 9, "object translation");
    expectTriple(numbers("getAttr sheet.translate"), -27, 18, 9, "translate attribute");
    mel("xform -r -ws -t 0 -20 0 sheet");
    expectTriple(numbers("xform -q -ws -t sheet"), 10, 0, 30, "relative world move");
    mel("xform -os -t 1 1 1 sheet; xform -r -t 1 0 0 sheet");
    expectTriple(numbers("xform -q -os -t sheet"), 2, 1, 1, "object-space moves");
    // Rotation in degrees: none in world space means the parent's turn undone locally.
    mel("xform -ws -ro 0 0 0 sheet");
    expectTriple(numbers("xform -q -ro sheet"), 0, -90, 0, "object rotation");
    expectTriple(numbers("xform -q -ws -ro sheet"), 0, 0, 0, "world rotation");
    mel("xform -a -ro 30 0 0 sheet; xform -r -ro 10 0 0 sheet");
    expectTriple(numbers("xform -q -ro sheet"), 40, 0, 0, "relative rotation adds");
    // A relative scale multiplies; a world scale divides out the parent's.
    mel("xform -s 2 2 2 sheet; xform -r -s 2 1 0.5 sheet");
    expectTriple(numbers("xform -q -s sheet"), 4, 2, 1, "relative scale");
    mel("scale 2 2 2 holder; xform -ws -s 1 1 1 sheet");
    expectTriple(numbers("xform -q -s sheet"), 0.5, 0.5, 0.5, "object scale");
    expectTriple(numbers("xform -q -ws -s sheet"), 1, 1, 1, "world scale");
    mel("scale -r 3 1 1 holder");
    expectTriple(numbers("getAttr holder.scale"), 6, 2, 2, "scale -r multiplies");
    // The selection when no object is named; errors for contradictions.
    mel("select -r sheet; xform -ws -t 5 5 5");
    expectTriple(numbers("xform -q -ws -t"), 5, 5, 5, "selected object");
    EXPECT_FALSE(MGlobal::executeCommand("xform -ws -os -t 1 2 3 sheet"));
    EXPECT_FALSE(MGlobal::executeCommand("xform -q -t -ro sheet"));
    EXPECT_FALSE(MGlobal::executeCommand("xform -t 1 2 sheet"));
}

// Components move their points, as in Maya: the transform stays where it is.
TEST_F(MelQuery, MovingVerticesEditsThePointsAndLeavesTheTransform) {
    // Under a parent moved to (1, 2, 3) and turned 90 degrees about Y, world +X is the
    // cube's +Z.
    mel("polyCube -n box; group -n holder box; move 1 2 3 holder; rotate 0 90 0 holder");
    const std::vector<double> before = numbers("xform -q -t \"box.vtx[0:7]\"");
    ASSERT_EQ(before.size(), 24u);
    auto expectPoints = [&](const std::vector<double>& offset, const std::string& what) {
        std::vector<double> got = numbers("xform -q -t \"box.vtx[0:7]\"");
        ASSERT_EQ(got.size(), 24u) << what;
        for (size_t i = 0; i < 24; ++i) EXPECT_NEAR(got[i], before[i] + offset[i % 3], 1e-9) << what << " " << i;
    };

    mel("move -r 50 0 0 \"box.vtx[0:7]\"");
    expectTriple(numbers("getAttr box.translate"), 0, 0, 0, "the transform after move -r");
    expectPoints({0, 0, 50}, "move -r in world space");
    mel("xform -r -t 0 1 0 \"box.vtx[0:7]\"");
    expectPoints({0, 1, 50}, "xform -r in object space");
    mel("xform -r -ws -t 0 0 2 \"box.vtx[0:7]\"");
    expectPoints({-2, 1, 50}, "xform -r -ws");
    expectTriple(numbers("getAttr box.translate"), 0, 0, 0, "the transform after xform");

    // Absolute: every named point goes to the position; the others stay.
    mel("xform -ws -t 10 20 30 \"box.vtx[0]\"");
    expectTriple(numbers("xform -q -ws -t \"box.vtx[0]\""), 10, 20, 30, "xform -ws on one vertex");
    expectTriple(numbers("xform -q -t \"box.vtx[0]\""), -27, 18, 9, "the same vertex in object space");
    mel("move 1 2 3 \"box.vtx[1:2]\"");
    expectTriple(numbers("xform -q -t \"box.vtx[1]\""), 0, 0, 0, "move to the parent's origin");
    expectTriple(numbers("xform -q -t \"box.vtx[2]\""), 0, 0, 0, "both vertices go there");
    std::vector<double> third = numbers("xform -q -t \"box.vtx[3]\"");
    expectTriple(third, before[9] - 2, before[10] + 1, before[11] + 50, "an unnamed vertex");

    // A face moves its own four vertices, each once.
    const std::vector<double> unmoved = numbers("xform -q -t \"box.vtx[0:7]\"");
    mel("move -r 0 5 0 \"box.f[0]\"");
    const std::vector<double> after = numbers("xform -q -t \"box.vtx[0:7]\"");
    ASSERT_EQ(after.size(), 24u);
    int raised = 0;
    for (size_t i = 0; i < 24; ++i) {
        const double by = after[i] - unmoved[i];
        if (i % 3 == 1 && std::fabs(by - 5) < 1e-9) ++raised;
        else EXPECT_NEAR(by, 0, 1e-9) << "coordinate " << i;
    }
    EXPECT_EQ(raised, 4) << "vertices of the face";
    expectTriple(numbers("getAttr box.translate"), 0, 0, 0, "the transform after a face move");
    EXPECT_FALSE(MGlobal::executeCommand("rotate 0 45 0 \"box.vtx[0]\""));
    EXPECT_FALSE(MGlobal::executeCommand("xform -ro 0 45 0 \"box.vtx[0]\""));
}

TEST_F(MelQuery, PrintShowsQueriedValuesAsMayaDoes) {
    std::string printed;
    mayahost::mel::setOutput([&](const std::string& s) { printed += s; });
    mayahost::mel::run("polyCube -n box; move 1.5 -2 0.25 box;"
                       "print `xform -q -ws -t box`;"
                       "print (`getAttr perspShape.focalLength` + \"\\n\");"
                       "print (`getAttr box.visibility` + \"\\n\");",
                       "");
    mayahost::mel::setOutput([](const std::string& s) { std::fputs(s.c_str(), stdout); });
    EXPECT_EQ(printed, "1.5\n-2\n0.25\n35\n1\n");
    // The command line shows results to six significant digits.
    EXPECT_EQ(mayahost::mel::run("getAttr perspShape.horizontalFilmAperture", "").resultText(), "1.41732");
    EXPECT_EQ(mayahost::mel::run("getAttr persp.translate", "").resultText(), "28 21 28");
}

TEST_F(MelQuery, LsListsTheSelectionAndNodesByType) {
    mel("polyCube -n box; polySphere -n ball; group -n grp ball; nurbsPlane -n patch; pointLight");
    mel("select -r ball box.f[1:3] box.f[5]");
    EXPECT_EQ(strings("ls -sl"), (std::vector<std::string>{"ball", "box.f[1:3]", "box.f[5]"}));
    EXPECT_EQ(strings("ls -type mesh"), (std::vector<std::string>{"boxShape", "ballShape"}));
    EXPECT_EQ(strings("ls -l -type mesh"), (std::vector<std::string>{"|box|boxShape", "|grp|ball|ballShape"}));
    EXPECT_EQ(strings("ls -type nurbsSurface -type pointLight"),
              (std::vector<std::string>{"patchShape", "pointLightShape1"}));
    EXPECT_EQ(strings("ls -type camera"),
              (std::vector<std::string>{"perspShape", "topShape", "frontShape", "sideShape"}));
    auto transforms = strings("ls -type transform");
    EXPECT_EQ(transforms.size(), 4u + 5u); // the cameras' and the five made here
    EXPECT_EQ(strings("ls -sl -type transform"), (std::vector<std::string>{"ball"}));
    EXPECT_EQ(strings("ls \"b*\""), (std::vector<std::string>{"box", "boxShape", "ball", "ballShape"}));
    EXPECT_EQ(strings("ls -type shape \"*Shape\""),
              (std::vector<std::string>{"perspShape", "topShape", "frontShape", "sideShape", "boxShape", "ballShape",
                                        "patchShape"}));
    EXPECT_FALSE(MGlobal::executeCommand("ls -type noSuchType"));
    mel("select -cl");
    EXPECT_TRUE(strings("ls -sl").empty());
}

TEST_F(MelQuery, CameraAttributesAreSetAndQueriedLikeOthers) {
    EXPECT_DOUBLE_EQ(numbers("getAttr perspShape.focalLength")[0], 35);
    EXPECT_NEAR(numbers("getAttr perspShape.horizontalFilmAperture")[0], 1.417, 5e-4);
    EXPECT_NEAR(numbers("getAttr perspShape.verticalFilmAperture")[0], 0.945, 5e-4);
    EXPECT_DOUBLE_EQ(numbers("getAttr perspShape.nearClipPlane")[0], 0.1);
    EXPECT_DOUBLE_EQ(numbers("getAttr perspShape.farClipPlane")[0], 10000);
    EXPECT_DOUBLE_EQ(numbers("getAttr perspShape.orthographic")[0], 0);
    EXPECT_DOUBLE_EQ(numbers("getAttr topShape.orthographic")[0], 1);
    EXPECT_DOUBLE_EQ(numbers("getAttr topShape.orthographicWidth")[0], 30);
    EXPECT_NEAR(numbers("getAttr perspShape.centerOfInterest")[0], std::sqrt(2009.0), 1e-9);
    expectTriple(numbers("getAttr persp.translate"), 28, 21, 28, "persp position");
    auto r = numbers("getAttr persp.rotate");
    EXPECT_NEAR(r[0], -27.938352729602379, 1e-9);
    EXPECT_NEAR(r[1], 45, 1e-9);
    expectTriple(numbers("getAttr top.translate"), 0, 1000.1, 0, "top position");
    expectTriple(numbers("getAttr side.rotate"), 0, 90, 0, "side rotation");
    mel("setAttr perspShape.focalLength 50; setAttr perspShape.fl 85; setAttr perspShape.hfo 0.2;"
        "setAttr perspShape.filmFit 2; setAttr topShape.ow 12.5; setAttr perspShape.o true");
    EXPECT_DOUBLE_EQ(numbers("getAttr perspShape.focalLength")[0], 85);
    EXPECT_DOUBLE_EQ(numbers("getAttr perspShape.horizontalFilmOffset")[0], 0.2);
    EXPECT_DOUBLE_EQ(numbers("getAttr perspShape.filmFit")[0], 2);
    EXPECT_DOUBLE_EQ(numbers("getAttr topShape.orthographicWidth")[0], 12.5);
    EXPECT_EQ(strings("getAttr -type perspShape.orthographic"), (std::vector<std::string>{"bool"}));
    EXPECT_EQ(strings("getAttr -type persp.translate"), (std::vector<std::string>{"double3"}));
    EXPECT_EQ(strings("getAttr -type persp.rotateX"), (std::vector<std::string>{"doubleAngle"}));
    // A new scene puts the cameras back.
    mel("move 1 1 1 persp; file -f -new");
    EXPECT_DOUBLE_EQ(numbers("getAttr perspShape.focalLength")[0], 35);
    EXPECT_DOUBLE_EQ(numbers("getAttr perspShape.orthographic")[0], 0);
    expectTriple(numbers("getAttr persp.translate"), 28, 21, 28, "persp after a new scene");
    EXPECT_DOUBLE_EQ(numbers("getAttr topShape.orthographic")[0], 1);
}

TEST_F(MelQuery, ThePanelTakesTheSizeItsControlIsGiven) {
    mel("control -e -w 1280 -h 720 modelPanel4");
    EXPECT_EQ(numbers("control -q -w modelPanel4")[0], 1280);
    EXPECT_EQ(numbers("control -q -h modelPanel4")[0], 720);
    EXPECT_EQ(M3dView::active3dView().portWidth(), 1280);
    EXPECT_EQ(M3dView::active3dView().portHeight(), 720);
    EXPECT_FALSE(MGlobal::executeCommand("control -e -w 0 modelPanel4"));
    EXPECT_FALSE(MGlobal::executeCommand("control -e -w 10 modelPanel9"));
    EXPECT_EQ(numbers("control -ex modelPanel9")[0], 0);
    mel("control -e -w 640 -h 480 modelPanel4");
}

} // namespace

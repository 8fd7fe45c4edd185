// The MEL subset: syntax, errors that do not stop a script, the scene commands' results.
#include "Support.h"

#include "../../hosts/maya/src/Host.h"
#include "../../hosts/maya/src/Mel.h"

#include <maya/MDagPathArray.h>
#include <maya/MCommandResult.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MMatrix.h>

#include <fstream>

namespace {

// Captures what MEL prints for the length of a test.
struct Output {
    std::string text;
    Output() {
        mayahost::mel::setOutput([this](const std::string& s) { text += s; });
    }
    ~Output() {
        mayahost::mel::setOutput([](const std::string& s) { std::fputs(s.c_str(), stdout); });
    }
};

using Mel = SceneTest;

TEST_F(Mel, ScriptWithErrorsPrintsThemAndGoesOn) {
    Output out;
    int errors = 0;
    mayahost::mel::run("polyCube;\n"
                       "fooBar -x 1;\n"
                       "polyCube -nonsense 3;\n"
                       "move 1 2;\n"
                       "setAttr pCube1.nothere 1;\n"
                       "print (\"still here \" + `getAttr pCube1.tx`);\n",
                       "scene.mel", &errors);
    EXPECT_EQ(errors, 4);
    EXPECT_NE(out.text.find("// Error: file: scene.mel line 2: Cannot find procedure \"fooBar\". //"),
              std::string::npos)
        << out.text;
    EXPECT_NE(out.text.find("line 3: Invalid flag '-nonsense'"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("line 5: No object matches name: pCube1.nothere"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("still here 0"), std::string::npos) << out.text;
}

TEST_F(Mel, VariablesLoopsAndBackQuotes) {
    Output out;
    mayahost::mel::run(
        "string $made[];\n"
        "for ($i = 0; $i < 3; $i++) { string $c[] = `polyCube -n (\"box\" + $i)`; $made[$i] = $c[0]; }\n"
        "int $n = 0;\n"
        "for ($m in $made) { move -r 0 ($n * 2) 0 $m; $n += 1; }\n"
        "float $y[] = `getAttr box2.t`;\n"
        "if ($y[1] != 4 || $n != 3) print \"wrong\"; else print (\"y=\" + $y[1] + \";\");\n"
        "int $q = 7 / 2; float $f = 7 / 2.0;\n"
        "print ($q + \" \" + $f + \" \" + (2 + 3 * 4) + \" \" + !0);\n"
        "/* a comment */ // and another\n"
        "while ($n > 0) $n--;\n"
        "print (\" n=\" + $n);\n",
        "");
    EXPECT_NE(out.text.find("y=4;"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("3 3.5 14 1"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find(" n=0"), std::string::npos) << out.text;
    EXPECT_EQ(MFnDagNode(nodeOf("box2")).childCount(), 1u);
}

TEST_F(Mel, FunctionSyntaxStringsAndElseIf) {
    Output out;
    mayahost::mel::run("string $made[] = polyCube(\"-w\", 3, \"-n\", \"fnBox\");\n"
                       "float $w = 3;\n"
                       "if ($w < 1) print \"small\"; else if ($w < 5) print (\"mid\\t\\\"\" + $made[0] + \"\\\"\\n\"); else print \"big\";\n"
                       "print(`getAttr fnBox.sx` * 2);\n",
                       "");
    EXPECT_NE(out.text.find("mid\t\"fnBox\"\n2"), std::string::npos) << out.text;
    MFnMesh mesh(nodeOf("fnBoxShape"));
    EXPECT_EQ(mesh.numPolygons(), 6);
}

TEST_F(Mel, ObjExistsNamesNodesPathsAndPlugs) {
    Output out;
    mayahost::mel::run("polyCube -n there; group -n holder there;\n"
                       "if (`objExists there`) print \"node \";\n"
                       "if (`objExists \"|holder|there\"`) print \"path \";\n"
                       "if (`objExists there.translateX`) print \"plug \";\n"
                       "if (!`objExists nowhere`) print \"none \";\n"
                       "if (!`objExists there.noSuchAttr`) print \"noattr \";\n"
                       "if (!`objExists \"|there\"`) print \"moved \";\n",
                       "");
    EXPECT_NE(out.text.find("node path plug none noattr moved "), std::string::npos) << out.text;
    EXPECT_EQ(out.text.find("Error"), std::string::npos) << out.text;
}

TEST_F(Mel, TopLevelVariablesLiveOnBetweenCommands) {
    mel("string $kept = \"yes\"; { string $inner = \"no\"; }");
    EXPECT_STREQ(melString("$kept").asChar(), "yes");
    EXPECT_FALSE(MGlobal::executeCommand("print $inner"));
}

TEST_F(Mel, CommandResultsReachTheApi) {
    MCommandResult result;
    ASSERT_TRUE(MGlobal::executeCommand("shadingNode -asShader lambert", result));
    MString name;
    ASSERT_TRUE(result.getResult(name));
    EXPECT_STREQ(name.asChar(), "lambert2");
    ASSERT_TRUE(MGlobal::executeCommand("pointLight -i 3", result));
    MStringArray names;
    ASSERT_TRUE(result.getResult(names));
    EXPECT_STREQ(names[0].asChar(), "pointLightShape1");
    ASSERT_TRUE(MGlobal::executeCommand("getAttr pointLightShape1.intensity", result));
    double intensity = 0;
    ASSERT_TRUE(result.getResult(intensity));
    EXPECT_DOUBLE_EQ(intensity, 3);
    EXPECT_FALSE(MGlobal::executeCommand("colorManagementPrefs -edit -popupOnError true -cmEnabled 0 -bogus"));
    EXPECT_TRUE(MGlobal::executeCommand("colorManagementPrefs -edit -popupOnError true -cmEnabled 0"));
    EXPECT_TRUE(MGlobal::executeCommand("setAttr \"hardwareRenderingGlobals.multiSampleEnable\" 0"));
}

TEST_F(Mel, SelectionIsSharedWithTheApi) {
    mel("polyCube; polySphere; select -r pCube1 pSphere1.f[0:3]");
    MSelectionList sel;
    ASSERT_TRUE(MGlobal::getActiveSelectionList(sel));
    ASSERT_EQ(sel.length(), 2u);
    MDagPath path;
    MObject component;
    ASSERT_TRUE(sel.getDagPath(1, path, component));
    EXPECT_STREQ(path.fullPathName().asChar(), "|pSphere1|pSphereShape1");
    EXPECT_EQ(component.apiType(), MFn::kMeshPolygonComponent);
    MSelectionList other;
    other.add(pathOf("pSphere1"));
    ASSERT_TRUE(MGlobal::setActiveSelectionList(other));
    mel("hide");
    EXPECT_FALSE(pathOf("pSphereShape1").isVisible());
    EXPECT_TRUE(pathOf("pCubeShape1").isVisible());
    mel("select -cl; delete pSphere1");
    MGlobal::setActiveSelectionList(other);
    ASSERT_TRUE(MGlobal::getActiveSelectionList(sel));
    EXPECT_EQ(sel.length(), 0u); // deleted nodes drop out of the selection
}

TEST_F(Mel, CreationSelectsTheNewObjectForTheNextCommand) {
    mel("polyCube; polySphere; move 0 5 0; spotLight; rotate -90 0 0");
    EXPECT_DOUBLE_EQ(pathOf("pSphereShape1").inclusiveMatrix()[3][1], 5);
    EXPECT_DOUBLE_EQ(pathOf("pCubeShape1").inclusiveMatrix()[3][1], 0);
    // The light's -90° about X turns its local -Z (where it shines) to -Y.
    MMatrix m = pathOf("spotLightShape1").inclusiveMatrix();
    EXPECT_NEAR(m[2][1], 1, 1e-12);
}

TEST_F(Mel, ModelPanelKeepsObjectTypeExclusionsAndCamera) {
    auto& view = mayahost::host::viewport();
    view.exclusions = 0;
    mel("modelEditor -e -polymeshes false -lights 0 -nurbsSurfaces true modelPanel4");
    EXPECT_EQ(view.exclusions, 4u | 16u);
    mel("modelEditor -e -polymeshes true -nurbsSurfaces off -rendererOverrideName \"Mirror\" modelPanel4");
    EXPECT_EQ(view.exclusions, 2u | 16u);
    EXPECT_EQ(view.rendererOverride, "Mirror");
    mel("modelEditor -e -allObjects true modelPanel4");
    EXPECT_EQ(view.exclusions, 0u);
    EXPECT_FALSE(MGlobal::executeCommand("modelEditor -e -polymeshes false modelPanel9"));
    EXPECT_FALSE(MGlobal::executeCommand("modelEditor -e -polymeshes modelPanel4")); // value missing
    mel("lookThru modelPanel4 top");
    EXPECT_EQ(view.camera, "top");
    mel("lookThru perspShape");
    EXPECT_EQ(view.camera, "persp");
    EXPECT_FALSE(MGlobal::executeCommand("polyCube; lookThru pCube1"));
    EXPECT_EQ(view.camera, "persp");
}

TEST_F(Mel, ParentingRejectsCyclesAndKeepsInstancesWithAdd) {
    mel("polyCube; group -n outer pCube1");
    EXPECT_FALSE(MGlobal::executeCommand("parent outer pCube1"));
    mel("group -em -n spare; parent -add pCube1 spare");
    MDagPathArray paths;
    MFnDagNode(nodeOf("pCubeShape1")).getAllPaths(paths);
    EXPECT_EQ(paths.length(), 2u);
    mel("parent -w spare|pCube1");
    MFnDagNode(nodeOf("pCubeShape1")).getAllPaths(paths);
    ASSERT_EQ(paths.length(), 1u);
    EXPECT_STREQ(paths[0].fullPathName().asChar(), "|pCube1|pCubeShape1");
}

TEST_F(Mel, FileOpenRunsTheSceneAndAnnouncesIt) {
    std::string file = tempFile("scene.ma");
    std::ofstream(file) << "polyCube -n fromFile;\nmove 0 3 0 fromFile;\n";
    mel("polySphere");
    mel("file -f -o \"" + file + "\"");
    EXPECT_FALSE(MGlobal::executeCommand("select pSphere1"));
    EXPECT_DOUBLE_EQ(pathOf("fromFileShape").inclusiveMatrix()[3][1], 3);
    EXPECT_STREQ(melString("file -q -sn").asChar(), file.c_str());
    EXPECT_FALSE(MGlobal::executeCommand("file -f -o \"/nonexistent/x.ma\""));
    EXPECT_FALSE(MGlobal::executeCommand("file -import \"/nonexistent/x.obj\""));
}

} // namespace

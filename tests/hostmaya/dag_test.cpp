// DAG paths, instancing, matrices, visibility, plugs and extension attributes.
#include "Support.h"

#include "../../hosts/maya/src/Host.h"

#include <maya/MDagPathArray.h>
#include <maya/M3dView.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnSpotLight.h>
#include <maya/MFnStringData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MItDag.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MNodeClass.h>
#include <maya/MObjectArray.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlugArray.h>
#include <maya/MTransformationMatrix.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using Dag = SceneTest;

TEST_F(Dag, InstancedShapeHasOnePathPerParentWithItsInstanceNumber) {
    mel("polyCube; instance pCube1; group -n grp pCube2; instance -n pCube3 grp");
    MFnDagNode shape(nodeOf("pCubeShape1"));
    MDagPathArray paths;
    ASSERT_TRUE(shape.getAllPaths(paths));
    ASSERT_EQ(paths.length(), 3u);
    EXPECT_STREQ(paths[0].fullPathName().asChar(), "|pCube1|pCubeShape1");
    EXPECT_STREQ(paths[1].fullPathName().asChar(), "|grp|pCube2|pCubeShape1");
    EXPECT_STREQ(paths[2].fullPathName().asChar(), "|pCube3|pCube2|pCubeShape1");
    for (unsigned int i = 0; i < paths.length(); ++i) {
        EXPECT_EQ(paths[i].instanceNumber(), i);
        EXPECT_TRUE(paths[i].isInstanced());
        EXPECT_EQ(paths[i].apiType(), MFn::kMesh);
    }
    EXPECT_NE(paths[0], paths[1]);
    EXPECT_EQ(paths[1], pathOf("grp|pCube2|pCubeShape1"));
    // The sets follow the instances: each has its own membership.
    MObjectArray sets, comps;
    ASSERT_TRUE(shape.getConnectedSetsAndMembers(2, sets, comps, true));
    ASSERT_EQ(sets.length(), 1u);
    EXPECT_EQ(nameOf(sets[0]), "initialShadingGroup");
    EXPECT_TRUE(comps[0].isNull());
}

TEST_F(Dag, PathsPushPopAndEndAtTheWorld) {
    mel("polyCube; group -n grp pCube1");
    MDagPath path = pathOf("pCubeShape1");
    EXPECT_EQ(path.length(), 3u);
    MDagPath up = path;
    ASSERT_TRUE(up.pop());
    EXPECT_EQ(nameOf(up.node()), "pCube1");
    EXPECT_EQ(up.childCount(), 1u);
    MDagPath down = up;
    ASSERT_TRUE(down.push(up.child(0)));
    EXPECT_EQ(down, path);
    ASSERT_TRUE(up.pop(up.length()));
    EXPECT_EQ(up.length(), 0u);
    EXPECT_EQ(up.apiType(), MFn::kWorld);
    EXPECT_FALSE(up.pop()); // nothing above the world
    EXPECT_FALSE(down.push(nodeOf("persp"))); // not a child of the shape
}

TEST_F(Dag, InclusiveMatrixComposesScaleRotateTranslateDownThePath) {
    mel("polyCube; group -n grp pCube1");
    mel("move 10 0 0 grp; rotate 0 90 0 pCube1; scale 2 2 2 pCube1");
    MMatrix m = pathOf("pCubeShape1").inclusiveMatrix();
    // Row-vector convention: a point at local (1, 0, 0) is scaled to 2, turned by 90° about Y
    // to (0, 0, -2), then moved by the group to (10, 0, -2).
    double p[3] = {m[0][0] + m[3][0], m[0][1] + m[3][1], m[0][2] + m[3][2]};
    EXPECT_NEAR(p[0], 10, 1e-9);
    EXPECT_NEAR(p[1], 0, 1e-9);
    EXPECT_NEAR(p[2], -2, 1e-9);
    EXPECT_DOUBLE_EQ(m[3][0], 10);
    // The light turn the mirror applies: a quarter turn about Y in XYZ order.
    MTransformationMatrix turn;
    double r[3] = {0, std::numbers::pi / 2, 0};
    ASSERT_TRUE(turn.setRotation(r, MTransformationMatrix::kXYZ));
    MMatrix q = turn.asMatrix();
    EXPECT_NEAR(q[0][2], -1, 1e-12);
    EXPECT_NEAR(q[2][0], 1, 1e-12);
}

TEST_F(Dag, VisibilityFollowsAncestorsAndDrawOverride) {
    mel("polyCube; group -n grp pCube1");
    MDagPath shape = pathOf("pCubeShape1");
    EXPECT_TRUE(shape.isVisible());
    mel("hide grp");
    EXPECT_FALSE(shape.isVisible());
    mel("showHidden grp; setAttr pCube1.overrideEnabled 1; setAttr pCube1.overrideVisibility 0");
    EXPECT_FALSE(shape.isVisible());
    mel("setAttr pCube1.overrideEnabled 0");
    EXPECT_TRUE(shape.isVisible());
}

TEST_F(Dag, DepthFirstWalkStartsAtTheWorld) {
    mel("polyCube; group -n grp pCube1; pointLight");
    MItDag it(MItDag::kDepthFirst);
    MDagPath first;
    ASSERT_TRUE(it.getPath(first));
    EXPECT_EQ(first.apiType(), MFn::kWorld);
    std::vector<std::string> seen;
    for (; !it.isDone(); it.next()) seen.push_back(it.fullPathName().asChar());
    auto at = [&](const std::string& p) { return std::find(seen.begin(), seen.end(), p) - seen.begin(); };
    EXPECT_LT(at("|grp"), at("|grp|pCube1"));
    EXPECT_EQ(at("|grp|pCube1") + 1, at("|grp|pCube1|pCubeShape1"));
    EXPECT_LT(at("|grp|pCube1|pCubeShape1"), at("|pointLight1|pointLightShape1"));
    EXPECT_LT(at("|pointLight1|pointLightShape1"), static_cast<long>(seen.size()));
    int meshes = 0;
    for (MItDependencyNodes nodes(MFn::kMesh); !nodes.isDone(); nodes.next()) ++meshes;
    EXPECT_EQ(meshes, 1);
}

TEST_F(Dag, LightFunctionSetsReadTheLightAttributes) {
    mel("spotLight -n lamp -rgb 1 0.5 0.25 -intensity 2 -coneAngle 40 -penumbra -5");
    MFnSpotLight spot(nodeOf("lampShape"));
    EXPECT_FLOAT_EQ(spot.intensity(), 2.0f);
    EXPECT_FLOAT_EQ(spot.color().g, 0.5f);
    EXPECT_NEAR(spot.coneAngle(), 40 * std::numbers::pi / 180, 1e-12);
    EXPECT_NEAR(spot.penumbraAngle(), -5 * std::numbers::pi / 180, 1e-12);
    MStatus status;
    MFnSpotLight wrong(nodeOf("lamp"), &status); // the transform is not a light
    EXPECT_FALSE(status);
    mel("setAttr lampShape.intensity 0.5");
    EXPECT_FLOAT_EQ(spot.intensity(), 0.5f);
}

TEST_F(Dag, DeletedNodesAreNotAliveButKeepTheirHandle) {
    mel("polyCube");
    MObject shape = nodeOf("pCubeShape1");
    MObjectHandle handle(shape);
    unsigned int hash = handle.hashCode();
    EXPECT_TRUE(handle.isAlive());
    mel("delete pCube1");
    EXPECT_FALSE(handle.isAlive());
    EXPECT_EQ(handle.hashCode(), hash);
    EXPECT_TRUE(handle == shape);
}

struct ExtensionAttribute : SceneTest {
    MObject attr;
    void SetUp() override {
        SceneTest::SetUp();
        MFnStringData data;
        MFnTypedAttribute typed;
        attr = typed.create("UE4Material", "ue4mt", MFnData::kString, data.create(""));
        ASSERT_FALSE(attr.isNull());
        ASSERT_TRUE(typed.setStorable(true));
    }
    void TearDown() override { MNodeClass("shadingEngine").removeExtensionAttribute(attr); }
};

TEST_F(ExtensionAttribute, ExistingAndLaterShadingEnginesHaveIt) {
    mel("sets -renderable true -noSurfaceShader true -empty -name before");
    ASSERT_TRUE(MNodeClass("shadingEngine").addExtensionAttribute(attr));
    EXPECT_FALSE(MNodeClass("shadingEngine").addExtensionAttribute(attr)); // already there
    mel("sets -renderable true -noSurfaceShader true -empty -name after");
    for (const char* name : {"initialShadingGroup", "before", "after"}) {
        MPlug plug(nodeOf(name), attr);
        ASSERT_FALSE(plug.isNull()) << name;
        EXPECT_STREQ(plug.asString().asChar(), "") << name;
    }
    EXPECT_TRUE(MPlug(nodeOf("lambert1"), attr).isNull()); // only shading engines
    MFnDependencyNode after(nodeOf("after"));
    MPlug plug = after.findPlug(attr, true);
    MString value;
    value.setWChar(L"M_Chrome\u00e9");
    ASSERT_TRUE(plug.setValue(value));
    EXPECT_STREQ(melString("getAttr after.ue4mt").asChar(), "M_Chrome\xC3\xA9");
    mel("setAttr -type \"string\" before.UE4Material \"Tagged\"");
    EXPECT_STREQ(MPlug(nodeOf("before"), attr).asString().asChar(), "Tagged");
    ASSERT_TRUE(MNodeClass("shadingEngine").removeExtensionAttribute(attr));
    EXPECT_TRUE(MPlug(nodeOf("before"), attr).isNull());
    EXPECT_FALSE(MGlobal::executeCommand("getAttr before.ue4mt"));
}

TEST_F(ExtensionAttribute, TaggedShadingEngineLeadsToItsShader) {
    // The lookup a material assignment makes: the tagged set, then the shader feeding it.
    ASSERT_TRUE(MNodeClass("shadingEngine").addExtensionAttribute(attr));
    mel("string $s = `shadingNode -asShader lambert`; sets -renderable true -noSurfaceShader true -empty -name chromeSG");
    mel("connectAttr lambert2.outColor chromeSG.surfaceShader; setAttr -type \"string\" chromeSG.ue4mt \"M_Chrome\"");
    mel("sets -renderable true -noSurfaceShader true -empty -name bareSG; setAttr -type \"string\" bareSG.ue4mt \"M_Chrome\"");
    std::vector<std::string> found;
    for (MItDependencyNodes it(MFn::kShadingEngine); !it.isDone(); it.next()) {
        MObject sg = it.thisNode();
        MPlug tag(sg, attr);
        if (tag.isNull() || tag.asString() != "M_Chrome") continue;
        MPlug shader = MFnDependencyNode(sg).findPlug("surfaceShader", true);
        MPlugArray sources;
        shader.connectedTo(sources, true, false);
        found.push_back(nameOf(sg) + (sources.length() ? ":" + nameOf(sources[0].node()) : ""));
    }
    EXPECT_EQ(found, (std::vector<std::string>{"chromeSG:lambert2", "bareSG"}));
}

TEST_F(Dag, BreadthFirstWalkVisitsLevelByLevel) {
    mel("polyCube; group -n grp pCube1; polySphere");
    std::vector<unsigned int> depths;
    std::vector<std::string> names;
    for (MItDag it(MItDag::kBreadthFirst); !it.isDone(); it.next()) {
        depths.push_back(it.depth());
        names.push_back(it.fullPathName().asChar());
    }
    EXPECT_TRUE(std::is_sorted(depths.begin(), depths.end()));
    EXPECT_EQ(names.back(), "|grp|pCube1|pCubeShape1");
    int transforms = 0;
    for (MItDag it(MItDag::kDepthFirst, MFn::kTransform); !it.isDone(); it.next()) ++transforms;
    EXPECT_EQ(transforms, 4 + 3); // the four cameras' transforms, grp, pCube1, pSphere1
}

TEST_F(Dag, SelectionListsHoldPathsAndNodes) {
    mel("polyCube; shadingNode -asShader lambert");
    MSelectionList list;
    EXPECT_TRUE(list.add(pathOf("pCube1")));
    EXPECT_TRUE(list.add(pathOf("pCube1"), MObject::kNullObj, true)); // merged
    EXPECT_TRUE(list.add(nodeOf("lambert2")));
    EXPECT_FALSE(list.add(MString("noSuchNode")));
    ASSERT_EQ(list.length(), 2u);
    MDagPath path;
    EXPECT_TRUE(list.getDagPath(0, path));
    EXPECT_FALSE(list.getDagPath(1, path)); // a shader has no DAG path
    EXPECT_FALSE(list.getDagPath(2, path));
}

TEST_F(Dag, ViewRefreshRequestsAreCounted) {
    auto& view = mayahost::host::viewport();
    int before = view.redrawRequests;
    ASSERT_TRUE(M3dView::active3dView().refresh(false, true));
    mel("refresh -f");
    EXPECT_EQ(view.redrawRequests, before + 2);
    EXPECT_EQ(M3dView::active3dView().portWidth(), view.width);
}

TEST(Status, PerrorNamesTheFailure) {
    MStatus failed(MStatus::kInvalidParameter);
    EXPECT_FALSE(failed);
    EXPECT_TRUE(failed.error());
    ::testing::internal::CaptureStderr();
    failed.perror("registerOverride");
    std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed.rfind("registerOverride: (kInvalidParameter)", 0), 0u) << printed;
    EXPECT_TRUE(MStatus());
}

TEST(Strings, WideTextRoundTripsThroughUtf8) {
    MString s;
    s.setWChar(L"Mat\u00e9riau \U0001F600");
    EXPECT_EQ(s.numChars(), 10u);
    int length = 0;
    const wchar_t* wide = s.asWChar(length);
    EXPECT_EQ(std::wstring(wide, length), std::wstring(L"Mat\u00e9riau \U0001F600"));
    // UTF-16 surrogate pairs, as a Windows wide string carries them, join into one character.
    const wchar_t pair[] = {0xD83D, 0xDE00, 0};
    s.setWChar(pair);
    EXPECT_STREQ(s.asChar(), "\xF0\x9F\x98\x80");
}

} // namespace

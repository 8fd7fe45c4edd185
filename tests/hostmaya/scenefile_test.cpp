// Saving a scene as Maya ASCII and opening it again.
#include "Support.h"

#include <maya/MDagPathArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSpotLight.h>
#include <maya/MFnStringData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MGeometryExtractor.h>
#include <maya/MMatrix.h>
#include <maya/MNodeClass.h>
#include <maya/MObjectArray.h>
#include <maya/MSceneMessage.h>

#include <cmath>
#include <fstream>
#include <numbers>

using namespace MHWRender;

namespace {

// What the mirror would send for a shape: vertex count and triangles per shading set.
struct Summary {
    unsigned int vertices = 0;
    std::vector<std::pair<std::string, unsigned int>> sections;
    bool operator==(const Summary&) const = default;
};

Summary summarise(const std::string& shape) {
    MDagPath path = pathOf(shape);
    MGeometryRequirements req;
    MStringArray uvSets;
    if (path.apiType() == MFn::kMesh) MFnMesh(path).getUVSetNames(uvSets);
    req.addVertexRequirement(MVertexBufferDescriptor("", MGeometry::kPosition, MGeometry::kFloat, 3));
    req.addVertexRequirement(MVertexBufferDescriptor("", MGeometry::kNormal, MGeometry::kFloat, 3));
    if (uvSets.length())
        req.addVertexRequirement(MVertexBufferDescriptor(uvSets[0], MGeometry::kTexture, MGeometry::kFloat, 2));
    MObjectArray sets, comps;
    MFnDagNode(path).getConnectedSetsAndMembers(0, sets, comps, true);
    std::vector<MIndexBufferDescriptor> descs;
    for (unsigned int i = 0; i < sets.length(); ++i)
        descs.emplace_back(MIndexBufferDescriptor::kTriangle, "", MGeometry::kTriangles, 3, comps[i]);
    MGeometryExtractor ex(req, path, kPolyGeom_Normal);
    Summary s;
    s.vertices = ex.vertexCount();
    for (unsigned int i = 0; i < sets.length(); ++i) s.sections.push_back({nameOf(sets[i]), ex.primitiveCount(descs[i])});
    return s;
}

struct SceneFile : SceneTest {
    MObject tag;
    std::string file = tempFile("roundtrip.ma");
    void SetUp() override {
        SceneTest::SetUp();
        MFnStringData data;
        MFnTypedAttribute typed;
        tag = typed.create("UE4Material", "ue4mt", MFnData::kString, data.create(""));
        typed.setStorable(true);
        ASSERT_TRUE(MNodeClass("shadingEngine").addExtensionAttribute(tag));
    }
    void TearDown() override { MNodeClass("shadingEngine").removeExtensionAttribute(tag); }
};

TEST_F(SceneFile, SavedSceneOpensWithGeometrySetsInstancesAndTags) {
    mel("polyCube -n box; polySphere -sx 6 -sy 4; nurbsPlane -u 2 -v 3; instance box; group -n grp box box1");
    mel("move 1 2 3 grp; rotate 0 45 0 box; hide pSphere1; spotLight -ca 30 -rgb 1 0.5 0.25");
    mel("sets -renderable true -noSurfaceShader true -empty -name redSG");
    mel("string $red = `shadingNode -asShader lambert`; connectAttr ($red + \".outColor\") redSG.surfaceShader");
    mel("sets -e -forceElement redSG box.f[1:2] box.f[4]; polyColorPerVertex -rgb 1 0 0 pSphere1");
    mel("setAttr -type \"string\" redSG.ue4mt \"M_Red\"; setAttr -type \"string\" initialShadingGroup.ue4mt \"M_Default\"");
    Summary box = summarise("|grp|box|boxShape"), sphere = summarise("pSphereShape1"),
            plane = summarise("nurbsPlaneShape1");
    ASSERT_EQ(box.sections.size(), 2u);
    mel("file -rename \"" + file + "\"; file -save -type \"mayaAscii\"");

    int opened = 0;
    MCallbackId id = MSceneMessage::addCallback(MSceneMessage::kBeforeOpen, [](void* n) { ++*static_cast<int*>(n); },
                                                &opened);
    mel("file -f -new");
    mel("file -f -o \"" + file + "\"");
    MMessage::removeCallback(id);
    EXPECT_EQ(opened, 1);

    EXPECT_EQ(summarise("|grp|box|boxShape"), box);
    EXPECT_EQ(summarise("pSphereShape1"), sphere);
    EXPECT_EQ(summarise("nurbsPlaneShape1"), plane);
    MDagPathArray paths;
    MFnDagNode(nodeOf("boxShape")).getAllPaths(paths);
    EXPECT_EQ(paths.length(), 2u);
    MMatrix m = pathOf("|grp|box|boxShape").inclusiveMatrix();
    EXPECT_NEAR(m[3][0], 1, 1e-9);
    EXPECT_NEAR(m[0][2], -std::sin(std::numbers::pi / 4), 1e-9);
    EXPECT_FALSE(pathOf("pSphereShape1").isVisible());
    MStringArray colorSets;
    MFnMesh(pathOf("pSphereShape1")).getColorSetNames(colorSets);
    EXPECT_EQ(colorSets.length(), 1u);
    MFnSpotLight spot(nodeOf("spotLightShape1"));
    EXPECT_NEAR(spot.coneAngle(), std::numbers::pi / 6, 1e-9);
    EXPECT_FLOAT_EQ(spot.color().b, 0.25f);
    EXPECT_STREQ(MPlug(nodeOf("redSG"), tag).asString().asChar(), "M_Red");
    EXPECT_STREQ(MPlug(nodeOf("initialShadingGroup"), tag).asString().asChar(), "M_Default");
}

TEST_F(SceneFile, BrokenGeometryDataIsReportedNotTrusted) {
    std::ofstream(file) << "createNode transform -n \"t\";\n"
                           "createNode mesh -n \"tShape\" -p \"t\";\n"
                           "\tsetAttr -s 3 \".vt[0:2]\" 0 0 0 1 0 0 0 1 0;\n"
                           "\tsetAttr -s 3 \".ed[0:2]\" 0 1 0 1 2 0 2 0 0;\n"
                           "\tsetAttr -s 1 \".fc[0]\" -type \"polyFaces\" f 3 0 1 7;\n"  // no edge 7
                           "\tsetAttr -s 2 \".vt[0:1]\" 0 0;\n"                           // too few numbers
                           "createNode nurbsSurface -n \"n\" -p \"t\";\n"
                           "\tsetAttr \".cc\" -type \"nurbsSurface\" 3 3 0 0 no 2 0 1;\n"
                           "createNode transform -n \"after\";\n";
    mel("file -f -o \"" + file + "\"");
    EXPECT_EQ(MFnMesh(nodeOf("tShape")).numPolygons(), 0);
    EXPECT_EQ(MFnMesh(nodeOf("tShape")).numVertices(), 3);
    nodeOf("after"); // the file went on after its errors
    EXPECT_FALSE(MGlobal::executeCommand("file -f -new; file -save"));     // no name yet
    EXPECT_FALSE(MGlobal::executeCommand("file -rename \"/nonexistent/dir/x.ma\"; file -save"));
}

} // namespace

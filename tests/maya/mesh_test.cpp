// Mesh records: extraction, vertex conversion, sections and bounds.

#include "SceneHarness.h"

#include <gtest/gtest.h>

#include "ChildProcess.h"

#include <cfloat>
#include <cmath>
#include <set>
#include <vector>
#include <cstdio>
#include <fstream>

using namespace kvt;

namespace {

class Mesh : public ::testing::Test {
protected:
    SceneHarness scene;

    Record meshRecord(const std::string& mel)
    {
        scene.mel(mel);
        for (const Record& r : scene.frame())
            if (r.kind == RecordKind::Mesh && r.hasData())
                return r;
        ADD_FAILURE() << "no mesh record";
        return {};
    }
};

TEST_F(Mesh, CubeIsTriangulatedAndSplitByNormals)
{
    Record cube = meshRecord("polyCube -n box -w 2 -h 4 -d 6");
    EXPECT_EQ(+cube.mesh.vertexCount, 24); // four corners per face, each face its own normal
    EXPECT_EQ(+cube.mesh.indexCount, 36);
    ASSERT_EQ(+cube.mesh.sectionCount, 1);
    EXPECT_EQ(+cube.section(0).firstIndex, 0);
    EXPECT_EQ(+cube.section(0).triangleCount, 12);
    // Bounds in written axes: Maya (x, y, z) becomes (x, z, y).
    EXPECT_FLOAT_EQ(+cube.mesh.boundsMin[0], -1.0f);
    EXPECT_FLOAT_EQ(+cube.mesh.boundsMin[1], -3.0f);
    EXPECT_FLOAT_EQ(+cube.mesh.boundsMin[2], -2.0f);
    EXPECT_FLOAT_EQ(+cube.mesh.boundsMax[1], 3.0f);
    for (std::uint32_t v = 0; v < 24; ++v) {
        FKvtMeshVertex vertex = cube.vertex(v);
        // Unit normals along one axis: one component encodes to 1 or 255, the others to 128.
        int axis = 0;
        for (int k = 0; k < 3; ++k)
            axis += vertex.normal[k] != 128;
        EXPECT_EQ(axis, 1) << v;
        // The cube has a UV set: tangents are there and the handedness byte is set.
        EXPECT_TRUE(vertex.bitangentSign == 0 || vertex.bitangentSign == 255);
        EXPECT_GE(vertex.texCoord[1], 0.0f);
        EXPECT_LE(vertex.texCoord[1], 1.0f);
        // No colour set: opaque white.
        EXPECT_EQ(vertex.colour[0], 255);
        EXPECT_EQ(vertex.colour[3], 255);
    }
}

// A flat quad in Maya's XZ plane facing +Y, u along +X and v along -Z, as Maya lays out a
// plane: every byte of its vertices is known from its corners.
TEST_F(Mesh, PlaneVerticesAreEncodedExactly)
{
    Record plane = meshRecord("polyPlane -n sheet -w 4 -h 2 -sx 1 -sy 1");
    ASSERT_EQ(+plane.mesh.vertexCount, 4);
    ASSERT_EQ(+plane.mesh.indexCount, 6);
    std::set<std::pair<float, float>> corners;
    for (std::uint32_t v = 0; v < 4; ++v) {
        SCOPED_TRACE(v);
        FKvtMeshVertex vertex = plane.vertex(v);
        // Written as Maya (x, z, y).
        const float x = vertex.position[0], z = vertex.position[1], y = vertex.position[2];
        EXPECT_FLOAT_EQ(y, 0.0f);
        EXPECT_FLOAT_EQ(std::fabs(x), 2.0f);
        EXPECT_FLOAT_EQ(std::fabs(z), 1.0f);
        corners.insert({x, z});
        // u = (x + w/2) / w; the wire carries 1 - v with v = (h/2 - z) / h.
        EXPECT_FLOAT_EQ(vertex.texCoord[0], (x + 2.0f) / 4.0f);
        EXPECT_FLOAT_EQ(vertex.texCoord[1], float(1.0 - (1.0 - double(z)) / 2.0));
        // Normal +Y, tangent +X, in the order x, z, y, each trunc(c * 127 + 128).
        EXPECT_EQ(std::vector<int>(vertex.normal, vertex.normal + 3), (std::vector<int>{128, 128, 255}));
        EXPECT_EQ(std::vector<int>(vertex.tangent, vertex.tangent + 3), (std::vector<int>{255, 128, 128}));
        // (tangent x bitangent) . normal in Maya axes: (+X x -Z) . +Y = 1.
        EXPECT_EQ(+vertex.bitangentSign, 255);
    }
    EXPECT_EQ(corners.size(), 4u);
}

// The same quad with u running the other way: the tangent turns to -X and the UV layout
// is mirrored, which the handedness byte must say.
TEST_F(Mesh, MirroredUVsFlipTheTangentAndTheHandedness)
{
    std::string path = "/tmp/" + testsupport::uniqueName("mirrored") + ".obj";
    {
        std::ofstream obj(path);
        obj << "v -2 0 1\nv 2 0 1\nv 2 0 -1\nv -2 0 -1\n"
               "vt 1 0\nvt 0 0\nvt 0 1\nvt 1 1\n"
               "vn 0 1 0\n"
               "f 1/1/1 2/2/1 3/3/1 4/4/1\n";
    }
    Record quad = meshRecord("file -import \"" + path + "\"");
    std::remove(path.c_str());
    ASSERT_EQ(+quad.mesh.vertexCount, 4);
    for (std::uint32_t v = 0; v < 4; ++v) {
        SCOPED_TRACE(v);
        FKvtMeshVertex vertex = quad.vertex(v);
        const float x = vertex.position[0], z = vertex.position[1];
        EXPECT_FLOAT_EQ(vertex.texCoord[0], (2.0f - x) / 4.0f);
        EXPECT_FLOAT_EQ(vertex.texCoord[1], float(1.0 - (1.0 - double(z)) / 2.0));
        EXPECT_EQ(std::vector<int>(vertex.normal, vertex.normal + 3), (std::vector<int>{128, 128, 255}));
        EXPECT_EQ(std::vector<int>(vertex.tangent, vertex.tangent + 3), (std::vector<int>{1, 128, 128}));
        // (-X x -Z) . +Y = -1.
        EXPECT_EQ(+vertex.bitangentSign, 0);
    }
}

TEST_F(Mesh, ColourSetArrivesBlueGreenRedAlpha)
{
    scene.mel("polyPlane -n plane -sx 1 -sy 1");
    Record plane = meshRecord("polyColorPerVertex -rgb 1 0.5 0 -a 1 planeShape");
    ASSERT_GT(+plane.mesh.vertexCount, 0);
    for (std::uint32_t v = 0; v < std::uint32_t(plane.mesh.vertexCount); ++v) {
        FKvtMeshVertex vertex = plane.vertex(v);
        EXPECT_EQ(vertex.colour[0], 0);   // blue
        EXPECT_EQ(vertex.colour[1], 128); // green
        EXPECT_EQ(vertex.colour[2], 255); // red
        EXPECT_EQ(vertex.colour[3], 255); // alpha
    }
}

TEST_F(Mesh, AllNegativeMeshHasTrueMaxima)
{
    std::string path = "/tmp/" + testsupport::uniqueName("negative") + ".obj";
    {
        std::ofstream obj(path);
        obj << "v -1 -2 -3\nv -4 -5 -6\nv -7 -8 -9\nf 1 2 3\n";
    }
    Record mesh = meshRecord("file -import \"" + path + "\"");
    std::remove(path.c_str());
    EXPECT_EQ(+mesh.mesh.vertexCount, 3);
    // Written axes: Maya (x, y, z) as (x, z, y).
    EXPECT_FLOAT_EQ(+mesh.mesh.boundsMax[0], -1.0f);
    EXPECT_FLOAT_EQ(+mesh.mesh.boundsMax[1], -3.0f);
    EXPECT_FLOAT_EQ(+mesh.mesh.boundsMax[2], -2.0f);
    EXPECT_FLOAT_EQ(+mesh.mesh.boundsMin[0], -7.0f);
    EXPECT_FLOAT_EQ(+mesh.mesh.boundsMin[1], -9.0f);
    // No UV set: the texture coordinates stay as an earlier frame left them, and no
    // colour set: opaque white.
    EXPECT_EQ(+mesh.vertex(0).colour[1], 255);
}

TEST_F(Mesh, FacesSplitBetweenTwoShadingEnginesGiveTwoSections)
{
    scene.mel("polyCube -n box");
    scene.frame();
    scene.mel("shadingNode -asShader lambert -n red");
    scene.mel("sets -renderable true -noSurfaceShader true -empty -name redSG");
    scene.mel("connectAttr red.outColor redSG.surfaceShader");
    scene.mel("sets -e -forceElement redSG box.f[0:1]");
    auto records = scene.frame();
    const Record* mesh = nullptr;
    const Record* instance = nullptr;
    for (const Record& r : records) {
        if (r.kind == RecordKind::Mesh && r.hasData())
            mesh = &r;
        if (!r.deleted() && r.kind == RecordKind::Transform && r.hasData())
            instance = &r;
    }
    ASSERT_TRUE(mesh);
    ASSERT_EQ(+mesh->mesh.sectionCount, 2);
    std::int32_t first = mesh->section(0).triangleCount, second = mesh->section(1).triangleCount;
    EXPECT_EQ(first + second, 12);
    EXPECT_EQ(+mesh->section(1).firstIndex, 3 * first);
    ASSERT_TRUE(instance);
    EXPECT_EQ(instance->size, 112u);
    EXPECT_EQ(instance->materials.size(), 2u);
}

TEST_F(Mesh, NurbsSurfaceIsSentAsPolygonsWithItsUVs)
{
    Record surface = meshRecord("nurbsPlane -n sheet -w 4 -lr 0.5 -u 2 -v 1");
    ASSERT_GT(+surface.mesh.vertexCount, 0);
    EXPECT_EQ(+surface.mesh.indexCount, 12); // two patches, two triangles each
    // The surface parameters are its UVs: u across the width, v along the length, the
    // wire carrying 1 - v; the tangents follow u.
    for (std::uint32_t v = 0; v < std::uint32_t(surface.mesh.vertexCount); ++v) {
        SCOPED_TRACE(v);
        FKvtMeshVertex vertex = surface.vertex(v);
        const float x = vertex.position[0], z = vertex.position[1];
        EXPECT_FLOAT_EQ(vertex.texCoord[0], (x + 2.0f) / 4.0f);
        EXPECT_FLOAT_EQ(vertex.texCoord[1], float(1.0 - (1.0 - double(z)) / 2.0));
        EXPECT_EQ(std::vector<int>(vertex.tangent, vertex.tangent + 3), (std::vector<int>{255, 128, 128}));
        EXPECT_EQ(+vertex.bitangentSign, 255);
    }
}

} // namespace

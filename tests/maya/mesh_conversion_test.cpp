// The conversion of extracted channels into the request's 32-byte vertices, checked vertex
// by vertex against the wire rules applied here to the extractor's own buffers (asked for
// what the plug-in asks): position and directions with Y and Z exchanged, directions
// through encodeUnitComponent, u and 1 - v, the handedness from the bitangent, colour
// blue-green-red-alpha, and the bounds.

#include "SceneHarness.h"

#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MGeometryExtractor.h>
#include <maya/MHWGeometry.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace kvt;
using namespace MHWRender;

namespace {

struct Channels {
    std::vector<float> position, normal, tangent, bitangent, uv;
    std::vector<unsigned char> colour;
};

Channels extract(const std::string& shapeName)
{
    MSelectionList list;
    list.add(MString(shapeName.c_str()));
    MDagPath path;
    list.getDagPath(0, path);
    MFnMesh mesh(path);
    MStringArray uvSets, colourSets;
    mesh.getUVSetNames(uvSets);
    mesh.getColorSetNames(colourSets);
    const MVertexBufferDescriptor positions("", MGeometry::kPosition, MGeometry::kFloat, 3);
    const MVertexBufferDescriptor normals("", MGeometry::kNormal, MGeometry::kFloat, 3);
    const MVertexBufferDescriptor texCoords(uvSets[0], MGeometry::kTexture, uvSets[0], MGeometry::kFloat, 2);
    const MVertexBufferDescriptor tangents(uvSets[0], MGeometry::kTangent, "", MGeometry::kFloat, 3);
    const MVertexBufferDescriptor bitangents(uvSets[0], MGeometry::kBitangent, "", MGeometry::kFloat, 3);
    const MVertexBufferDescriptor colours(colourSets[0], MGeometry::kColor, colourSets[0], MGeometry::kUnsignedChar, 4);
    MGeometryRequirements requirements;
    for (const auto* d : {&positions, &normals, &texCoords, &tangents, &bitangents, &colours})
        requirements.addVertexRequirement(*d);
    MStatus status;
    MGeometryExtractor extractor(requirements, path, kPolyGeom_Normal, &status);
    EXPECT_TRUE(status == MS::kSuccess);
    const unsigned n = extractor.vertexCount();
    Channels c;
    c.position.resize(n * 3), c.normal.resize(n * 3), c.tangent.resize(n * 3), c.bitangent.resize(n * 3);
    c.uv.resize(n * 2), c.colour.resize(n * 4);
    EXPECT_TRUE(extractor.populateVertexBuffer(c.position.data(), n, positions) == MS::kSuccess);
    EXPECT_TRUE(extractor.populateVertexBuffer(c.normal.data(), n, normals) == MS::kSuccess);
    EXPECT_TRUE(extractor.populateVertexBuffer(c.tangent.data(), n, tangents) == MS::kSuccess);
    EXPECT_TRUE(extractor.populateVertexBuffer(c.bitangent.data(), n, bitangents) == MS::kSuccess);
    EXPECT_TRUE(extractor.populateVertexBuffer(c.uv.data(), n, texCoords) == MS::kSuccess);
    EXPECT_TRUE(extractor.populateVertexBuffer(c.colour.data(), n, colours) == MS::kSuccess);
    return c;
}

TEST(MeshConversion, EveryVertexFollowsTheWireRulesFromTheExtractorsBuffers)
{
    SceneHarness scene;
    scene.mel("polySphere -n ball -r 3 -sx 24 -sy 16; rotate 20 35 -10 ball; polyColorPerVertex -rgb 0.9 0.3 0.1 -a 0.6 "
              "ball.vtx[0:150]; polyColorPerVertex -rgb 0.05 0.7 0.45 -a 1 ball.vtx[151:361]");
    Record mesh;
    for (const Record& r : scene.frame())
        if (r.kind == RecordKind::Mesh && r.hasData())
            mesh = r;
    ASSERT_EQ(mesh.kind, RecordKind::Mesh);
    const Channels c = extract("ballShape");
    // The record body is packed: its fields are read by value, never bound to a reference.
    const std::int32_t vertexCount = mesh.mesh.vertexCount;
    ASSERT_EQ(std::size_t(vertexCount), c.position.size() / 3);
    ASSERT_GT(vertexCount, 300);

    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    int mismatches = 0, handedness[2] = {0, 0};
    for (std::uint32_t v = 0; v < std::uint32_t(vertexCount); ++v) {
        const FKvtMeshVertex got = mesh.vertex(v);
        const float* p = &c.position[v * 3];
        const float* n = &c.normal[v * 3];
        const float* t = &c.tangent[v * 3];
        const float* b = &c.bitangent[v * 3];
        const float position[3] = {p[0], p[2], p[1]};
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], position[k]);
            hi[k] = std::max(hi[k], position[k]);
        }
        const float cx = t[1] * b[2] - t[2] * b[1], cy = t[2] * b[0] - t[0] * b[2], cz = t[0] * b[1] - t[1] * b[0];
        const std::uint8_t sign = (cx * n[0] + cy * n[1] + cz * n[2]) > 0.0f ? 255 : 0;
        ++handedness[sign ? 1 : 0];
        const bool same = std::memcmp(got.position, position, sizeof position) == 0 &&
                          got.texCoord[0] == c.uv[v * 2] && got.texCoord[1] == float(1.0 - double(c.uv[v * 2 + 1])) &&
                          got.normal[0] == encodeUnitComponent(n[0]) && got.normal[1] == encodeUnitComponent(n[2]) &&
                          got.normal[2] == encodeUnitComponent(n[1]) && got.tangent[0] == encodeUnitComponent(t[0]) &&
                          got.tangent[1] == encodeUnitComponent(t[2]) && got.tangent[2] == encodeUnitComponent(t[1]) &&
                          got.bitangentSign == sign && got.colour[0] == c.colour[v * 4 + 2] &&
                          got.colour[1] == c.colour[v * 4 + 1] && got.colour[2] == c.colour[v * 4] &&
                          got.colour[3] == c.colour[v * 4 + 3];
        if (!same && ++mismatches <= 5)
            ADD_FAILURE() << "vertex " << v << " differs from the extractor's channels";
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(handedness[1], 0); // the check sees a real sign, not a constant
    for (int k = 0; k < 3; ++k) {
        const float min = mesh.mesh.boundsMin[k], max = mesh.mesh.boundsMax[k];
        EXPECT_EQ(min, lo[k]);
        EXPECT_EQ(max, hi[k]);
    }
}

} // namespace

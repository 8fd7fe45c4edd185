// Geometry extraction: triangulation, vertex splitting and the per-set index buffers.
#include "Support.h"

#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsSurface.h>
#include <maya/MGeometryExtractor.h>
#include <maya/MObjectArray.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>

using namespace MHWRender;

namespace {

using Vec = std::array<float, 3>;

// Extracts a shape the way the mirror asks for it: positions, normals, and the UV and
// colour streams when the shape has those sets; one index buffer per shading set.
struct Extraction {
    unsigned int vertices = 0;
    std::vector<Vec> position, normal, tangent, bitangent;
    std::vector<std::array<float, 2>> uv;
    std::vector<std::array<unsigned char, 4>> color;
    std::vector<std::string> setNames;
    std::vector<std::vector<unsigned int>> sections;
    bool hasUV = false, hasColor = false;

    explicit Extraction(const std::string& shapeName) {
        MDagPath path = pathOf(shapeName);
        MStringArray uvSets, colorSets;
        if (path.apiType() == MFn::kMesh) {
            MFnMesh mesh(path);
            mesh.getUVSetNames(uvSets);
            mesh.getColorSetNames(colorSets);
        } else {
            MFnNurbsSurface surface(path);
            if (surface.numUVs() != 0) uvSets.append("");
        }
        hasUV = uvSets.length() > 0;
        hasColor = colorSets.length() > 0;
        MGeometryRequirements req;
        MVertexBufferDescriptor pos("", MGeometry::kPosition, MGeometry::kFloat, 3);
        MVertexBufferDescriptor nrm("", MGeometry::kNormal, MGeometry::kFloat, 3);
        MVertexBufferDescriptor col(hasColor ? colorSets[0] : "", MGeometry::kColor,
                                    hasColor ? colorSets[0] : "", MGeometry::kUnsignedChar, 4);
        MVertexBufferDescriptor tex(hasUV ? uvSets[0] : "", MGeometry::kTexture, hasUV ? uvSets[0] : "",
                                    MGeometry::kFloat, 2);
        MVertexBufferDescriptor tan(hasUV ? uvSets[0] : "", MGeometry::kTangent, "", MGeometry::kFloat, 3);
        MVertexBufferDescriptor bit(hasUV ? uvSets[0] : "", MGeometry::kBitangent, "", MGeometry::kFloat, 3);
        req.addVertexRequirement(pos);
        req.addVertexRequirement(nrm);
        if (hasColor) req.addVertexRequirement(col);
        if (hasUV) {
            req.addVertexRequirement(tex);
            req.addVertexRequirement(tan);
            req.addVertexRequirement(bit);
        }
        MObjectArray sets, comps;
        MFnDagNode(path).getConnectedSetsAndMembers(0, sets, comps, true);
        std::vector<MIndexBufferDescriptor> indexDescs;
        for (unsigned int i = 0; i < sets.length(); ++i) {
            setNames.push_back(nameOf(sets[i]));
            indexDescs.emplace_back(MIndexBufferDescriptor::kTriangle, "", MGeometry::kTriangles, 3, comps[i],
                                    MGeometry::kUnsignedInt32);
            req.addIndexingRequirement(indexDescs.back());
        }
        MStatus status;
        MGeometryExtractor ex(req, path, kPolyGeom_Normal, &status);
        EXPECT_TRUE(status);
        vertices = ex.vertexCount();
        position.resize(vertices);
        normal.resize(vertices);
        EXPECT_TRUE(ex.populateVertexBuffer(position.data(), vertices, pos));
        EXPECT_TRUE(ex.populateVertexBuffer(normal.data(), vertices, nrm));
        if (hasUV) {
            uv.resize(vertices);
            tangent.resize(vertices);
            bitangent.resize(vertices);
            EXPECT_TRUE(ex.populateVertexBuffer(uv.data(), vertices, tex));
            EXPECT_TRUE(ex.populateVertexBuffer(tangent.data(), vertices, tan));
            EXPECT_TRUE(ex.populateVertexBuffer(bitangent.data(), vertices, bit));
        } else {
            std::vector<float> scratch(2 * vertices + 2);
            EXPECT_FALSE(ex.populateVertexBuffer(scratch.data(), vertices, tex)); // no such UV set
        }
        if (hasColor) {
            color.resize(vertices);
            EXPECT_TRUE(ex.populateVertexBuffer(color.data(), vertices, col));
        }
        for (const auto& d : indexDescs) {
            unsigned int triangles = ex.primitiveCount(d);
            std::vector<unsigned int> indices(3 * triangles);
            EXPECT_TRUE(ex.populateIndexBuffer(indices.data(), 3 * triangles, d));
            if (triangles > 0) {
                EXPECT_FALSE(ex.populateIndexBuffer(indices.data(), triangles - 1, d)); // too small
            }
            sections.push_back(indices);
        }
    }

    size_t triangles() const {
        size_t n = 0;
        for (const auto& s : sections) n += s.size() / 3;
        return n;
    }
};

float dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

using Extractor = SceneTest;

TEST_F(Extractor, CubeHasHardNormalsAndFacesSplitIntoTwentyFourVertices) {
    mel("polyCube -w 2 -h 2 -d 2");
    Extraction e("pCubeShape1");
    ASSERT_TRUE(e.hasUV);
    EXPECT_EQ(e.vertices, 24u);
    ASSERT_EQ(e.sections.size(), 1u);
    EXPECT_EQ(e.setNames[0], "initialShadingGroup");
    EXPECT_EQ(e.triangles(), 12u);
    for (unsigned int v = 0; v < e.vertices; ++v) {
        // A hard normal is one of the six axes, and the vertex lies on that face.
        int axis = -1;
        for (int i = 0; i < 3; ++i)
            if (std::fabs(e.normal[v][i]) > 0.999f) axis = i;
        ASSERT_GE(axis, 0) << v;
        EXPECT_FLOAT_EQ(e.position[v][axis], e.normal[v][axis]) << v;
        // Tangent frame: unit, orthogonal to the normal.
        EXPECT_NEAR(dot(e.tangent[v], e.tangent[v]), 1, 1e-5);
        EXPECT_NEAR(dot(e.tangent[v], e.normal[v]), 0, 1e-5);
        EXPECT_NEAR(dot(e.bitangent[v], e.normal[v]), 0, 1e-5);
    }
    // Triangles wind counter-clockwise seen from outside: their normal agrees with the vertices'.
    const auto& idx = e.sections[0];
    for (size_t t = 0; t < idx.size(); t += 3) {
        Vec a = e.position[idx[t]], b = e.position[idx[t + 1]], c = e.position[idx[t + 2]];
        Vec n = cross({b[0] - a[0], b[1] - a[1], b[2] - a[2]}, {c[0] - a[0], c[1] - a[1], c[2] - a[2]});
        EXPECT_GT(dot(n, e.normal[idx[t]]), 0) << t;
    }
}

TEST_F(Extractor, SmoothSphereSharesVerticesBetweenFaces) {
    mel("polySphere -r 2 -sx 8 -sy 6");
    Extraction e("pSphereShape1");
    // 8 x 5 quads and 2 x 8 pole triangles.
    EXPECT_EQ(e.triangles(), 8u * 4 * 2 + 16);
    // Ring vertices are shared: 5 rings of 9 (seam duplicated by its UVs) plus one pole
    // vertex per pole triangle (their UVs differ).
    EXPECT_EQ(e.vertices, 5u * 9 + 16);
    for (unsigned int v = 0; v < e.vertices; ++v) {
        float r = std::sqrt(dot(e.position[v], e.position[v]));
        EXPECT_NEAR(r, 2, 1e-5);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(e.normal[v][i], e.position[v][i] / 2, 1e-5);
    }
}

TEST_F(Extractor, FacesSplitBetweenTwoSetsGiveOneIndexBufferEach) {
    mel("polyCube; sets -renderable true -noSurfaceShader true -empty -name redSG");
    mel("sets -e -forceElement redSG pCube1.f[1] pCube1.f[4]");
    Extraction e("pCubeShape1");
    ASSERT_EQ(e.sections.size(), 2u);
    EXPECT_EQ(e.setNames[0], "initialShadingGroup"); // holds face 0, the first face
    EXPECT_EQ(e.setNames[1], "redSG");
    EXPECT_EQ(e.sections[0].size(), 4u * 2 * 3);
    EXPECT_EQ(e.sections[1].size(), 2u * 2 * 3);
    // The red section covers the top (+y, face 1) and the +x side (face 4) only.
    for (unsigned int i : e.sections[1]) EXPECT_TRUE(e.normal[i][1] > 0.99f || e.normal[i][0] > 0.99f) << i;
    std::set<unsigned int> shared;
    for (unsigned int i : e.sections[0]) shared.insert(i);
    for (unsigned int i : e.sections[1]) EXPECT_EQ(shared.count(i), 0u); // hard edges: no shared vertex
}

TEST_F(Extractor, MeshWithoutUVsOrSetsStillExtractsPositions) {
    std::string obj = tempFile("no_uvs.obj");
    std::ofstream(obj) << "o quad\nv 0 0 0\nv 1 0 0\nv 1 0 -1\nv 0 0 -1\nv 0.5 1 -0.5\n"
                          "f 1 2 3 4\nf 1 2 5\n";
    mel("file -import \"" + obj + "\"");
    MDagPath shape = pathOf("quadShape");
    MStringArray uvSets;
    ASSERT_TRUE(MFnMesh(shape).getUVSetNames(uvSets));
    EXPECT_EQ(uvSets.length(), 0u);
    mel("sets -renderable true -noSurfaceShader true -empty -name lonely; sets -e -forceElement lonely quad");
    mel("delete lonely"); // leaves the mesh in no set at all
    Extraction e("quadShape");
    EXPECT_FALSE(e.hasUV);
    EXPECT_TRUE(e.sections.empty());
    EXPECT_EQ(e.vertices, 4u + 3u); // two faces at an angle: no normal shared
}

TEST_F(Extractor, ObjGroupsBecomeMeshesKeepingTheirUVsAndNormals) {
    std::string obj = tempFile("two_groups.obj");
    std::ofstream(obj) << "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\n"
                          "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                          "vn 0 0 1\nvn 0.6 0 0.8\n"
                          "g left\nf 1/1/1 2/2/1 3/3/2 4/4/2\n"
                          "g right\nf 1/1/1 5/2/1 2/3/1\n";
    MStringArray made;
    ASSERT_TRUE(MGlobal::executeCommand(MString(("file -import \"" + obj + "\"").c_str()), made));
    ASSERT_EQ(made.length(), 2u);
    EXPECT_STREQ(made[0].asChar(), "left");
    EXPECT_STREQ(made[1].asChar(), "right");
    MStringArray uvSets;
    MFnMesh(pathOf("leftShape")).getUVSetNames(uvSets);
    ASSERT_EQ(uvSets.length(), 1u);
    Extraction left("leftShape");
    EXPECT_EQ(left.vertices, 4u);
    EXPECT_EQ(left.triangles(), 2u);
    int tilted = 0;
    for (const auto& n : left.normal) tilted += std::fabs(n[0] - 0.6f) < 1e-6f && std::fabs(n[2] - 0.8f) < 1e-6f;
    EXPECT_EQ(tilted, 2); // the file's normals, not the face's
    EXPECT_EQ(Extraction("rightShape").vertices, 3u);
    EXPECT_FALSE(MGlobal::executeCommand(MString(("file -import \"" + ::testing::TempDir() + "\"").c_str())));
}

TEST_F(Extractor, ColourSetSplitsNothingButIsExtractedPerVertex) {
    mel("polyPlane -w 2 -h 2 -sx 1 -sy 1; polyColorPerVertex -rgb 1 0 0 pPlane1");
    mel("polyColorPerVertex -rgb 0 0 1 -a 0.5 pPlane1.vtx[0]");
    MStringArray colorSets;
    MFnMesh(pathOf("pPlaneShape1")).getColorSetNames(colorSets);
    ASSERT_EQ(colorSets.length(), 1u);
    Extraction e("pPlaneShape1");
    ASSERT_TRUE(e.hasColor);
    EXPECT_EQ(e.vertices, 4u);
    int blue = 0, red = 0;
    for (const auto& c : e.color) {
        if (c == std::array<unsigned char, 4>{0, 0, 255, 128}) ++blue;
        if (c == std::array<unsigned char, 4>{255, 0, 0, 255}) ++red;
    }
    EXPECT_EQ(blue, 1);
    EXPECT_EQ(red, 3);
}

TEST_F(Extractor, NurbsPlaneHasOneUnnamedUVSetAndATangentFrame) {
    mel("nurbsPlane -w 4 -u 2 -v 3");
    MDagPath shape = pathOf("nurbsPlaneShape1");
    EXPECT_EQ(shape.apiType(), MFn::kNurbsSurface);
    EXPECT_NE(MFnNurbsSurface(shape).numUVs(), 0);
    Extraction e("nurbsPlaneShape1");
    ASSERT_TRUE(e.hasUV);
    EXPECT_EQ(e.triangles(), 2u * 3 * 2);
    EXPECT_EQ(e.vertices, 3u * 4); // a flat grid shares every vertex
    for (unsigned int v = 0; v < e.vertices; ++v) {
        EXPECT_FLOAT_EQ(e.normal[v][1], 1.0f);
        EXPECT_NEAR(e.tangent[v][0], 1, 1e-5);         // u runs along +x
        Vec c = cross(e.tangent[v], e.bitangent[v]);
        EXPECT_GT(dot(c, e.normal[v]), 0.99f);         // right-handed frame
        EXPECT_GE(e.uv[v][0], 0.0f);
        EXPECT_LE(e.uv[v][0], 1.0f);
    }
}

TEST_F(Extractor, RefusesStreamsTheShapeDoesNotHaveAndBuffersTooSmall) {
    mel("polyCube");
    MDagPath path = pathOf("pCubeShape1");
    MVertexBufferDescriptor pos("", MGeometry::kPosition, MGeometry::kFloat, 3);
    MVertexBufferDescriptor wrongUVs("uvSet9", MGeometry::kTexture, MGeometry::kFloat, 2);
    MVertexBufferDescriptor colour("colorSet1", MGeometry::kColor, MGeometry::kFloat, 4);
    MGeometryRequirements req;
    req.addVertexRequirement(pos);
    MIndexBufferDescriptor faces(MIndexBufferDescriptor::kTriangle, "", MGeometry::kTriangles, 3, MObject(),
                                 MGeometry::kUnsignedInt16);
    req.addIndexingRequirement(faces);
    MGeometryExtractor ex(req, path, kPolyGeom_Normal);
    std::vector<float> buffer(4 * ex.vertexCount());
    EXPECT_FALSE(ex.populateVertexBuffer(buffer.data(), ex.vertexCount(), wrongUVs));
    EXPECT_FALSE(ex.populateVertexBuffer(buffer.data(), ex.vertexCount(), colour)); // no colour set
    EXPECT_FALSE(ex.populateVertexBuffer(buffer.data(), ex.vertexCount() - 1, pos));
    std::vector<std::uint16_t> small(3 * ex.primitiveCount(faces));
    ASSERT_TRUE(ex.populateIndexBuffer(small.data(), ex.primitiveCount(faces), faces));
    EXPECT_EQ(*std::max_element(small.begin(), small.end()), ex.vertexCount() - 1);
    MIndexBufferDescriptor lines(MIndexBufferDescriptor::kEdgeLine, "", MGeometry::kLines, 2);
    EXPECT_EQ(ex.primitiveCount(lines), 0u); // only triangles are extracted here
}

TEST_F(Extractor, WithoutSharingEveryFaceCornerIsItsOwnVertex) {
    mel("polyPlane -sx 2 -sy 2");
    MGeometryRequirements req;
    MVertexBufferDescriptor pos("", MGeometry::kPosition, MGeometry::kFloat, 3);
    req.addVertexRequirement(pos);
    EXPECT_EQ(MGeometryExtractor(req, pathOf("pPlaneShape1"), kPolyGeom_Normal).vertexCount(), 9u);
    EXPECT_EQ(MGeometryExtractor(req, pathOf("pPlaneShape1"), kPolyGeom_NotSharing).vertexCount(), 16u);
    // The deprecated form, which Maya 2018 still offers: `sharing` false is NotSharing.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    EXPECT_EQ(MGeometryExtractor(req, pathOf("pPlaneShape1"), true).vertexCount(), 9u);
    EXPECT_EQ(MGeometryExtractor(req, pathOf("pPlaneShape1"), false).vertexCount(), 16u);
#pragma GCC diagnostic pop
    MStatus status;
    MGeometryExtractor none(req, pathOf("pPlane1"), kPolyGeom_Normal, &status); // a transform has no geometry
    EXPECT_FALSE(status);
    EXPECT_EQ(none.vertexCount(), 0u);
}

} // namespace

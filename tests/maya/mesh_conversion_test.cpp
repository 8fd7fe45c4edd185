// The conversion of extracted channels into the request's 32-byte vertices, checked vertex
// by vertex against the wire rules applied here to the extractor's own buffers (asked for
// what the plug-in asks): position and directions with Y and Z exchanged, directions
// through encodeUnitComponent, u and 1 - v, the handedness from the bitangent, colour
// blue-green-red-alpha, and the bounds. And the conversion alone, fed random staged channels
// (with NaN, infinities, zeros of both signs and the numbers at the encoding's steps) at
// every vertex count around its four-vertex blocks, against the same rules written out
// one vertex at a time.

#include "SceneHarness.h"
#include "scene/MeshVertices.h"

#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MGeometryExtractor.h>
#include <maya/MHWGeometry.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
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

// The staged channels of `count` vertices, each at its own byte offset, and what an earlier
// frame left where the vertices go.
struct StagedVertices {
    std::uint32_t count = 0;
    bool withTangents = false, withColour = false;
    std::vector<std::uint8_t> memory; // the channels, each behind its offset
    std::size_t position = 0, normal = 0, tangent = 0, bitangent = 0, uv = 0, colour = 0;
    std::vector<std::uint8_t> before; // 32 bytes a vertex

    // `n` floats of vertex v of the channel at `offset` (which need not be aligned).
    void read(std::size_t offset, std::uint32_t v, int n, float* into) const
    {
        std::memcpy(into, memory.data() + offset + std::size_t(v) * n * 4, std::size_t(n) * 4);
    }
    StagedMeshChannels channels() const
    {
        StagedMeshChannels c;
        c.position = memory.data() + position;
        c.normal = memory.data() + normal;
        c.tangent = withTangents ? memory.data() + tangent : nullptr;
        c.bitangent = withTangents ? memory.data() + bitangent : nullptr;
        c.uv = withTangents ? memory.data() + uv : nullptr;
        c.colour = withColour ? memory.data() + colour : nullptr;
        return c;
    }
};

float bitsToFloat(std::uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Directions: mostly ordinary, often a number at or beside a step of trunc(c * 127 + 128),
// sometimes NaN, an infinity, a zero, a huge, tiny or subnormal number, or any bit pattern.
float direction(std::mt19937& random)
{
    const int kind = int(random() % 16);
    if (kind < 6)
        return std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
    if (kind < 10) {
        const float step = float((int(random() % 260) - 130) / 127.0);
        return kind == 6 ? step : std::nextafter(step, kind == 7 ? -2.0f : 2.0f);
    }
    switch (kind) {
    case 10: return std::numeric_limits<float>::quiet_NaN();
    case 11: return random() % 2 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    case 12: return random() % 2 ? 0.0f : -0.0f;
    case 13: {
        // Around -2^-47 / 127, where the addition in double rounds up to 128.
        const float edge = -std::ldexp(1.0f, -47) / 127.0f;
        return std::nextafter(edge, random() % 2 ? -1.0f : 1.0f) * (random() % 2 ? 1.0f : 1.0000001f);
    }
    case 14: {
        const float magnitudes[] = {FLT_MAX, 3e9f, 1.0001f, 1e-30f, 1e-40f, 1e-17f, 5.6e-17f};
        return (random() % 2 ? 1.0f : -1.0f) * magnitudes[random() % 7];
    }
    default: return bitsToFloat(std::uint32_t(random()));
    }
}

// Positions: zeros of both signs often, so that which zero a bound keeps is seen; `sign`
// 1 or -1 keeps the other numbers on one side, so that a bound ends as a zero.
float coordinate(std::mt19937& random, int sign)
{
    float f;
    switch (random() % 8) {
    case 0: return 0.0f;
    case 1: return -0.0f;
    case 2: return std::numeric_limits<float>::quiet_NaN();
    case 3: f = std::uniform_real_distribution<float>(-0.001f, 0.001f)(random); break;
    default: f = std::uniform_real_distribution<float>(-100.0f, 100.0f)(random); break;
    }
    return sign == 0 ? f : float(sign) * std::fabs(f);
}

StagedVertices randomStaged(std::uint32_t count, bool withTangents, bool withColour, int sign, std::mt19937& random)
{
    StagedVertices s;
    s.count = count, s.withTangents = withTangents, s.withColour = withColour;
    // Each channel at an offset of its own: the staging packs them at multiples of four,
    // the loads assume no alignment at all.
    std::size_t at = 1 + random() % 7;
    auto place = [&](std::size_t bytes) {
        const std::size_t here = at;
        at += bytes + random() % 5;
        return here;
    };
    s.position = place(count * 12), s.normal = place(count * 12), s.tangent = place(count * 12);
    s.bitangent = place(count * 12), s.uv = place(count * 8), s.colour = place(count * 4);
    s.memory.resize(at + 16);
    for (std::uint8_t& b : s.memory)
        b = std::uint8_t(random());
    auto fill = [&](std::size_t offset, std::size_t floats, float (*make)(std::mt19937&)) {
        for (std::size_t i = 0; i < floats; ++i) {
            const float f = make(random);
            std::memcpy(&s.memory[offset + i * 4], &f, 4);
        }
    };
    for (std::size_t i = 0; i < count * 3; ++i) {
        const float f = coordinate(random, sign);
        std::memcpy(&s.memory[s.position + i * 4], &f, 4);
    }
    fill(s.normal, count * 3, direction);
    fill(s.tangent, count * 3, direction);
    fill(s.bitangent, count * 3, direction);
    fill(s.uv, count * 2, direction);
    s.before.resize(std::size_t(count) * 32);
    for (std::uint8_t& b : s.before)
        b = std::uint8_t(random());
    return s;
}

// The wire rules one vertex at a time, into a copy of what the earlier frame left.
std::vector<std::uint8_t> reference(const StagedVertices& s, float lo[3], float hi[3])
{
    std::vector<std::uint8_t> out = s.before;
    for (std::uint32_t v = 0; v < s.count; ++v) {
        std::uint8_t* slot = &out[std::size_t(v) * 32];
        float p[3], n[3];
        s.read(s.position, v, 3, p);
        s.read(s.normal, v, 3, n);
        const float written[3] = {p[0], p[2], p[1]};
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], written[k]);
            hi[k] = std::max(hi[k], written[k]);
        }
        std::memcpy(slot, written, 12);
        slot[24] = encodeUnitComponent(n[0]);
        slot[25] = encodeUnitComponent(n[2]);
        slot[26] = encodeUnitComponent(n[1]);
        if (s.withTangents) {
            float t[3], b[3], uv[2];
            s.read(s.tangent, v, 3, t);
            s.read(s.bitangent, v, 3, b);
            s.read(s.uv, v, 2, uv);
            std::memcpy(slot + 12, &uv[0], 4);
            const float flipped = float(1.0 - double(uv[1]));
            std::memcpy(slot + 16, &flipped, 4);
            slot[20] = encodeUnitComponent(t[0]);
            slot[21] = encodeUnitComponent(t[2]);
            slot[22] = encodeUnitComponent(t[1]);
            const float cx = t[1] * b[2] - t[2] * b[1];
            const float cy = t[2] * b[0] - t[0] * b[2];
            const float cz = t[0] * b[1] - t[1] * b[0];
            const float dot = cx * n[0] + cy * n[1] + cz * n[2];
            slot[27] = dot > 0.0f ? 255 : 0;
        }
        const std::uint8_t* rgba = &s.memory[s.colour + std::size_t(v) * 4];
        slot[28] = s.withColour ? rgba[2] : 255;
        slot[29] = s.withColour ? rgba[1] : 255;
        slot[30] = s.withColour ? rgba[0] : 255;
        slot[31] = s.withColour ? rgba[3] : 255;
    }
    return out;
}

TEST(MeshConversion, RandomStagedChannelsGiveTheReferenceBytes)
{
    std::mt19937 random(20180);
    std::vector<std::uint32_t> counts;
    for (std::uint32_t c = 0; c <= 21; ++c)
        counts.push_back(c);
    counts.push_back(4099);
    int checked = 0;
    for (std::uint32_t count : counts)
        for (int channels = 0; channels < 4; ++channels)
            for (int round = 0; round < (count < 22 ? 6 : 3); ++round) {
                const bool withTangents = channels & 1, withColour = (channels & 2) != 0;
                SCOPED_TRACE(::testing::Message() << count << " vertices, tangents " << withTangents << ", colour "
                                                  << withColour << ", round " << round);
                const StagedVertices s = randomStaged(count, withTangents, withColour, round % 3 - 1, random);
                float wantLo[3] = {FLT_MAX, FLT_MAX, FLT_MAX}, wantHi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
                const std::vector<std::uint8_t> want = reference(s, wantLo, wantHi);
                // The vertices at an odd address behind a guard on either side.
                const std::size_t shift = 1 + random() % 15;
                std::vector<std::uint8_t> region(shift + s.before.size() + 16, 0xA5);
                std::copy(s.before.begin(), s.before.end(), region.begin() + std::ptrdiff_t(shift));
                float lo[3] = {FLT_MAX, FLT_MAX, FLT_MAX}, hi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
                convertMeshVertices(s.channels(), count, &region[shift], lo, hi);
                int differing = 0;
                for (std::size_t i = 0; i < want.size(); ++i)
                    if (region[shift + i] != want[i] && ++differing <= 3)
                        ADD_FAILURE() << "vertex " << i / 32 << " byte " << i % 32 << ": " << int(region[shift + i])
                                      << ", the rules give " << int(want[i]);
                EXPECT_EQ(differing, 0);
                for (std::size_t i = 0; i < shift; ++i)
                    ASSERT_EQ(region[i], 0xA5) << "written before the vertices";
                for (std::size_t i = shift + want.size(); i < region.size(); ++i)
                    ASSERT_EQ(region[i], 0xA5) << "written behind the vertices";
                EXPECT_EQ(std::memcmp(lo, wantLo, sizeof lo), 0)
                    << "boundsMin " << lo[0] << " " << lo[1] << " " << lo[2] << ", the rules give " << wantLo[0] << " "
                    << wantLo[1] << " " << wantLo[2];
                EXPECT_EQ(std::memcmp(hi, wantHi, sizeof hi), 0)
                    << "boundsMax " << hi[0] << " " << hi[1] << " " << hi[2] << ", the rules give " << wantHi[0] << " "
                    << wantHi[1] << " " << wantHi[2];
                ++checked;
            }
    EXPECT_EQ(checked, 22 * 4 * 6 + 4 * 3);
}

} // namespace

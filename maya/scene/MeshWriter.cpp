// Mesh records: Maya's geometry extractor triangulates, splits vertices by normal, UV and
// colour, and computes tangents; its buffers are staged in the response arena (free while
// a request is written) and converted into the request's 32-byte vertices.

#include "MayaObjects.h"
#include "MayaSceneRegistry.h"

#include "link/RecordWriter.h"

#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsSurface.h>
#include <maya/MGeometryExtractor.h>
#include <maya/MHWGeometry.h>
#include <maya/MObjectArray.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <cfloat>
#include <cstring>
#include <vector>

using namespace kvt;
using namespace MHWRender;

namespace {

struct SetNames {
    bool hasUV = false;
    bool hasColour = false;
    MString uv;
    MString colour;
};

SetNames firstSets(MObject node)
{
    SetNames names;
    if (node.apiType() == MFn::kMesh) {
        MFnMesh mesh(node);
        MStringArray uvSets, colourSets;
        mesh.getUVSetNames(uvSets);
        mesh.getColorSetNames(colourSets);
        if (uvSets.length() > 0) {
            names.hasUV = true;
            names.uv = uvSets[0];
        }
        if (colourSets.length() > 0) {
            names.hasColour = true;
            names.colour = colourSets[0];
        }
    } else if (node.apiType() == MFn::kNurbsSurface) {
        names.hasUV = MFnNurbsSurface(node).numUVs() != 0;
    }
    return names;
}

// One staged buffer in the response arena, found again by offset after every allocation.
struct Staged {
    std::uint32_t offset = 0;
    bool present = false;
};

struct Vec3 {
    float x, y, z;
};

// encodeUnitComponent without the library call behind std::trunc, which the conversion
// made nine times a vertex: the same byte for every number (for 0 < v < 255 the
// conversion to int truncates as trunc does; at or below 0, and NaN, give 0).
inline std::uint8_t encodeUnit(double c)
{
    const double v = c * 127.0 + 128.0;
    if (!(v > 0.0))
        return 0;
    if (v >= 255.0)
        return 255;
    return static_cast<std::uint8_t>(static_cast<int>(v));
}

} // namespace

void MayaModel::writeRecord(RecordWriter& writer, std::uint64_t changedTypeBits)
{
    auto record = writeHeader(writer, RecordKind::Mesh, changedTypeBits);
    if (deleted) {
        delete this;
        return;
    }
    SharedRegion* scratch = MayaSceneRegistry::instance().scratch;
    if (!record || !scratch || !scratch->view)
        return;
    scratch->used = 32; // just behind the response header

    MObject shapeNode = node.object();
    SetNames sets = firstSets(shapeNode);
    const MVertexBufferDescriptor positions("", MGeometry::kPosition, MGeometry::kFloat, 3);
    const MVertexBufferDescriptor normals("", MGeometry::kNormal, MGeometry::kFloat, 3);
    const MVertexBufferDescriptor colours(sets.colour, MGeometry::kColor, sets.colour, MGeometry::kUnsignedChar, 4);
    const MVertexBufferDescriptor texCoords(sets.uv, MGeometry::kTexture, sets.uv, MGeometry::kFloat, 2);
    const MVertexBufferDescriptor tangents(sets.uv, MGeometry::kTangent, "", MGeometry::kFloat, 3);
    const MVertexBufferDescriptor bitangents(sets.uv, MGeometry::kBitangent, "", MGeometry::kFloat, 3);
    MGeometryRequirements requirements;
    requirements.addVertexRequirement(positions);
    requirements.addVertexRequirement(normals);
    if (sets.hasColour)
        requirements.addVertexRequirement(colours);
    if (sets.hasUV) {
        requirements.addVertexRequirement(texCoords);
        requirements.addVertexRequirement(tangents);
        requirements.addVertexRequirement(bitangents);
    }

    MFnDagNode dagNode(shapeNode);
    MObjectArray shadingSets, components;
    dagNode.getConnectedSetsAndMembers(0, shadingSets, components, true);
    const std::uint32_t sectionCount = shadingSets.length();
    writer.as<MeshRecord>(*record)->sectionCount = static_cast<std::int32_t>(sectionCount);
    auto sections = writer.appendArray(*record + offsetof(MeshRecord, sections), sectionCount * sizeof(FKvtMeshSection));
    if (!sections)
        return;
    std::vector<MIndexBufferDescriptor> indexing;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        indexing.emplace_back(MIndexBufferDescriptor::kTriangle, "", MGeometry::kTriangles, 3, components[i],
                              MGeometry::kUnsignedInt32);
        requirements.addIndexingRequirement(indexing.back());
    }

    MDagPath path;
    dagNode.getPath(path);
    MStatus status;
    MGeometryExtractor extractor(requirements, path, kPolyGeom_Normal, &status);
    const std::uint32_t vertexCount = status ? extractor.vertexCount() : 0;
    writer.as<MeshRecord>(*record)->vertexCount = static_cast<std::int32_t>(vertexCount);

    // Stage the channels, in extraction order.
    auto stage = [&](const MVertexBufferDescriptor& descriptor, std::uint32_t bytesPerVertex) {
        Staged buffer;
        std::uint32_t at = scratch->used;
        if (scratch->extend(std::uint64_t(at) + std::uint64_t(vertexCount) * bytesPerVertex) == nullptr) {
            writer.markIncomplete(); // the vertices would go out unwritten
            return buffer;
        }
        buffer.offset = at;
        buffer.present = vertexCount == 0 ||
                         extractor.populateVertexBuffer(scratch->view + at, vertexCount, descriptor) == MS::kSuccess;
        return buffer;
    };
    Staged position = stage(positions, 12);
    Staged normal = stage(normals, 12);
    Staged tangent, bitangent, colour, uv;
    if (sets.hasUV) {
        tangent = stage(tangents, 12);
        bitangent = stage(bitangents, 12);
    }
    if (sets.hasColour)
        colour = stage(colours, 4);
    if (sets.hasUV)
        uv = stage(texCoords, 8);

    std::vector<FKvtMeshSection> sectionTable(sectionCount);
    std::uint32_t triangles = 0;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        std::uint32_t count = status ? extractor.primitiveCount(indexing[i]) : 0;
        sectionTable[i] = FKvtMeshSection{static_cast<std::int32_t>(3 * triangles), static_cast<std::int32_t>(count)};
        triangles += count;
    }
    if (sectionCount != 0) // a mesh in no shading set has no table to copy
        std::memcpy(writer.at(*sections), sectionTable.data(), sectionCount * sizeof(FKvtMeshSection));
    const std::uint32_t indexCount = 3 * triangles;
    writer.as<MeshRecord>(*record)->indexCount = static_cast<std::int32_t>(indexCount);
    auto indices = writer.appendArray(*record + offsetof(MeshRecord, indices), std::uint64_t(indexCount) * 4);
    if (!indices)
        return;
    for (std::uint32_t i = 0; i < sectionCount; ++i)
        if (sectionTable[i].triangleCount > 0)
            extractor.populateIndexBuffer(writer.at(*indices) + std::size_t(sectionTable[i].firstIndex) * 4,
                                          std::uint32_t(sectionTable[i].triangleCount) * 3, indexing[i]);

    float lo[3] = {FLT_MAX, FLT_MAX, FLT_MAX}, hi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    auto vertices = writer.appendArray(*record + offsetof(MeshRecord, vertices),
                                       std::uint64_t(vertexCount) * sizeof(FKvtMeshVertex));
    if (vertices && position.present && normal.present) {
        // The staged channels and the vertices stay where they are for the whole loop: nothing
        // is allocated in it. Its branches are decided once, outside it.
        const std::uint8_t* const positionAt = scratch->view + position.offset;
        const std::uint8_t* const normalAt = scratch->view + normal.offset;
        const bool withTangents = sets.hasUV && tangent.present && bitangent.present && uv.present;
        const bool withColour = sets.hasColour && colour.present;
        const std::uint8_t* const tangentAt = withTangents ? scratch->view + tangent.offset : nullptr;
        const std::uint8_t* const bitangentAt = withTangents ? scratch->view + bitangent.offset : nullptr;
        const std::uint8_t* const uvAt = withTangents ? scratch->view + uv.offset : nullptr;
        const std::uint8_t* const colourAt = withColour ? scratch->view + colour.offset : nullptr;
        std::uint8_t* const firstSlot = writer.at(*vertices);
        // The bounds in locals the compiler keeps in registers; the fields are stored
        // straight into the slot, in order, rather than through a copy on the stack.
        float loX = lo[0], loY = lo[1], loZ = lo[2], hiX = hi[0], hiY = hi[1], hiZ = hi[2];
        for (std::uint32_t v = 0; v < vertexCount; ++v) {
            // Unwritten fields keep the bytes an earlier frame left: with tangents only the
            // unused byte is not written, without them the tangent and UV fields are not either.
            std::uint8_t* const slot = firstSlot + std::size_t(v) * sizeof(FKvtMeshVertex);
            Vec3 p;
            std::memcpy(&p, positionAt + std::size_t(v) * sizeof p, sizeof p);
            const float written[3] = {p.x, p.z, p.y};
            loX = std::min(loX, written[0]), loY = std::min(loY, written[1]), loZ = std::min(loZ, written[2]);
            hiX = std::max(hiX, written[0]), hiY = std::max(hiY, written[1]), hiZ = std::max(hiZ, written[2]);
            Vec3 n;
            std::memcpy(&n, normalAt + std::size_t(v) * sizeof n, sizeof n);
            std::uint8_t packed[12]; // tangent, unused, normal, handedness, colour
            std::memcpy(packed, slot + offsetof(FKvtMeshVertex, tangent), sizeof packed);
            packed[4] = encodeUnit(n.x);
            packed[5] = encodeUnit(n.z);
            packed[6] = encodeUnit(n.y);
            std::memcpy(slot + offsetof(FKvtMeshVertex, position), written, sizeof written);
            if (withTangents) {
                Vec3 t, b;
                std::memcpy(&t, tangentAt + std::size_t(v) * sizeof t, sizeof t);
                std::memcpy(&b, bitangentAt + std::size_t(v) * sizeof b, sizeof b);
                packed[0] = encodeUnit(t.x);
                packed[1] = encodeUnit(t.z);
                packed[2] = encodeUnit(t.y);
                Vec3 c{t.y * b.z - t.z * b.y, t.z * b.x - t.x * b.z, t.x * b.y - t.y * b.x};
                packed[7] = (c.x * n.x + c.y * n.y + c.z * n.z) > 0.0f ? 255 : 0;
                float uvPair[2];
                std::memcpy(uvPair, uvAt + std::size_t(v) * sizeof uvPair, sizeof uvPair);
                uvPair[1] = static_cast<float>(1.0 - double(uvPair[1]));
                std::memcpy(slot + offsetof(FKvtMeshVertex, texCoord), uvPair, sizeof uvPair);
            }
            if (withColour) {
                // Maya gives red, green, blue, alpha; the vertex holds blue, green, red, alpha.
                const std::uint8_t* rgba = colourAt + std::size_t(v) * 4;
                packed[8] = rgba[2];
                packed[9] = rgba[1];
                packed[10] = rgba[0];
                packed[11] = rgba[3];
            } else {
                std::memset(packed + 8, 0xFF, 4);
            }
            std::memcpy(slot + offsetof(FKvtMeshVertex, tangent), packed, sizeof packed);
        }
        lo[0] = loX, lo[1] = loY, lo[2] = loZ, hi[0] = hiX, hi[1] = hiY, hi[2] = hiZ;
    }
    MeshRecord* mesh = writer.as<MeshRecord>(*record);
    std::memcpy(mesh->boundsMin, lo, sizeof lo);
    std::memcpy(mesh->boundsMax, hi, sizeof hi);
}

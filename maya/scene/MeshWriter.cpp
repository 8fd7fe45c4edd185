// Mesh records: Maya's geometry extractor triangulates, splits vertices by normal, UV and
// colour, and computes tangents; its buffers are staged in the response arena (free while
// a request is written) and converted into the request's 32-byte vertices.

#include "MayaObjects.h"
#include "MayaSceneRegistry.h"
#include "MeshVertices.h"

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
        // The staged channels and the vertices stay where they are for the whole conversion:
        // nothing is allocated in it.
        const bool withTangents = sets.hasUV && tangent.present && bitangent.present && uv.present;
        const bool withColour = sets.hasColour && colour.present;
        StagedMeshChannels staged;
        staged.position = scratch->view + position.offset;
        staged.normal = scratch->view + normal.offset;
        staged.tangent = withTangents ? scratch->view + tangent.offset : nullptr;
        staged.bitangent = withTangents ? scratch->view + bitangent.offset : nullptr;
        staged.uv = withTangents ? scratch->view + uv.offset : nullptr;
        staged.colour = withColour ? scratch->view + colour.offset : nullptr;
        convertMeshVertices(staged, vertexCount, writer.at(*vertices), lo, hi);
    }
    MeshRecord* mesh = writer.as<MeshRecord>(*record);
    std::memcpy(mesh->boundsMin, lo, sizeof lo);
    std::memcpy(mesh->boundsMax, hi, sizeof hi);
}

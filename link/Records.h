#pragma once
// The object records that follow the request header: one per changed object, chained
// by `next` links from the header's `firstRecord`. Declared once here; the Maya side
// writes them through RecordWriter, the Unreal side reads them through RecordReader.
// Records are packed without alignment and may start at any even offset.

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace kvt {

enum class RecordKind : std::uint8_t {
    Transform = 0,
    Mesh = 1,
    AmbientLight = 2,
    DirectionalLight = 3,
    SpotLight = 4,
    PointLight = 5,
};

namespace RecordFlags {
constexpr std::uint8_t kind = 0x07;
constexpr std::uint8_t isNew = 0x08;           // identity is the Maya-side address
constexpr std::uint8_t deleted = 0x10;         // 16 bytes whatever the other bits say
constexpr std::uint8_t visibilityValid = 0x20; // `visible` was evaluated afresh
constexpr std::uint8_t visible = 0x40;
constexpr std::uint8_t hasData = 0x80;         // long form: the body follows
} // namespace RecordFlags

#pragma pack(push, 1)

struct RecordHeader {
    std::uint64_t identity; // remote handle, or the Maya-side address while there is none
    std::int32_t next;      // RelLink to the next record; 0 for the last
    std::uint8_t flags;
    std::uint8_t unused13[3];
};

struct TransformRecord {
    RecordHeader header;
    std::uint8_t shapeRefIsAddress; // written only when isNew
    std::uint8_t unused17[3];
    float worldMatrix[16];          // axis-swapped Maya world matrix
    std::uint8_t unused84[4];
    std::uint64_t shapeRef;         // the shape's address or remote handle when isNew, else 0
    std::uint8_t hasMaterials;      // 1 in the 112-byte form
    std::uint8_t unused97[7];
};

struct TransformRecordWithMaterials {
    TransformRecord base;
    std::int32_t materialCount;
    std::int32_t materials; // RelLink to materialCount RelLinks to UTF-16 names (0 = none)
};

struct MeshRecord {
    RecordHeader header;
    std::int32_t sectionCount;
    std::int32_t vertexCount;
    std::int32_t indexCount;
    float boundsMin[3];
    float boundsMax[3];
    std::int32_t vertices; // RelLink to vertexCount FKvtMeshVertex
    std::int32_t indices;  // RelLink to indexCount u32 (triangle list)
    std::int32_t sections; // RelLink to sectionCount FKvtMeshSection
};

// Ambient, directional and point lights.
struct LightRecord {
    RecordHeader header;
    float color[4];
    float intensity; // MFnLight::intensity × 100
    std::uint8_t unused36[4];
};

struct SpotLightRecord {
    RecordHeader header;
    float color[4];
    float intensity;
    float innerConeAngle; // degrees
    float outerConeAngle;
    std::uint8_t unused44[4];
};

// One vertex as the Unreal side uploads it.
struct FKvtMeshVertex {
    float position[3];          // Maya x, z, y
    float texCoord[2];          // u, 1 − v of the first UV set
    std::uint8_t tangent[3];    // Maya x, z, y, each trunc(c × 127 + 128)
    std::uint8_t unused23;
    std::uint8_t normal[3];
    std::uint8_t bitangentSign; // 255 when (tangent × bitangent) · normal > 0
    std::uint8_t colour[4];     // blue, green, red, alpha
};

struct FKvtMeshSection {
    std::int32_t firstIndex;
    std::int32_t triangleCount;
};

#pragma pack(pop)

static_assert(sizeof(RecordHeader) == 16, "wire layout");
static_assert(offsetof(RecordHeader, identity) == 0, "wire layout");
static_assert(offsetof(RecordHeader, next) == 8, "wire layout");
static_assert(offsetof(RecordHeader, flags) == 12, "wire layout");

static_assert(sizeof(TransformRecord) == 104, "wire layout");
static_assert(offsetof(TransformRecord, shapeRefIsAddress) == 16, "wire layout");
static_assert(offsetof(TransformRecord, worldMatrix) == 20, "wire layout");
static_assert(offsetof(TransformRecord, shapeRef) == 88, "wire layout");
static_assert(offsetof(TransformRecord, hasMaterials) == 96, "wire layout");
static_assert(sizeof(TransformRecordWithMaterials) == 112, "wire layout");
static_assert(offsetof(TransformRecordWithMaterials, materialCount) == 104, "wire layout");
static_assert(offsetof(TransformRecordWithMaterials, materials) == 108, "wire layout");

static_assert(sizeof(MeshRecord) == 64, "wire layout");
static_assert(offsetof(MeshRecord, sectionCount) == 16, "wire layout");
static_assert(offsetof(MeshRecord, vertexCount) == 20, "wire layout");
static_assert(offsetof(MeshRecord, indexCount) == 24, "wire layout");
static_assert(offsetof(MeshRecord, boundsMin) == 28, "wire layout");
static_assert(offsetof(MeshRecord, boundsMax) == 40, "wire layout");
static_assert(offsetof(MeshRecord, vertices) == 52, "wire layout");
static_assert(offsetof(MeshRecord, indices) == 56, "wire layout");
static_assert(offsetof(MeshRecord, sections) == 60, "wire layout");

static_assert(sizeof(LightRecord) == 40, "wire layout");
static_assert(offsetof(LightRecord, color) == 16, "wire layout");
static_assert(offsetof(LightRecord, intensity) == 32, "wire layout");
static_assert(sizeof(SpotLightRecord) == 48, "wire layout");
static_assert(offsetof(SpotLightRecord, innerConeAngle) == 36, "wire layout");
static_assert(offsetof(SpotLightRecord, outerConeAngle) == 40, "wire layout");

static_assert(sizeof(FKvtMeshVertex) == 32, "wire layout");
static_assert(offsetof(FKvtMeshVertex, position) == 0, "wire layout");
static_assert(offsetof(FKvtMeshVertex, texCoord) == 12, "wire layout");
static_assert(offsetof(FKvtMeshVertex, tangent) == 20, "wire layout");
static_assert(offsetof(FKvtMeshVertex, normal) == 24, "wire layout");
static_assert(offsetof(FKvtMeshVertex, bitangentSign) == 27, "wire layout");
static_assert(offsetof(FKvtMeshVertex, colour) == 28, "wire layout");
static_assert(sizeof(FKvtMeshSection) == 8, "wire layout");
static_assert(offsetof(FKvtMeshSection, triangleCount) == 4, "wire layout");

constexpr std::uint32_t kShortRecordSize = sizeof(RecordHeader);

// Long size of a record kind; 0 for a kind that does not exist. Transforms also have the
// 112-byte form with materials. One return statement: Visual Studio 2015's constexpr is
// C++11's.
constexpr std::uint32_t longRecordSize(RecordKind kind)
{
    return static_cast<std::uint32_t>(
        kind == RecordKind::Transform ? sizeof(TransformRecord)
        : kind == RecordKind::Mesh ? sizeof(MeshRecord)
        : kind == RecordKind::AmbientLight || kind == RecordKind::DirectionalLight || kind == RecordKind::PointLight
            ? sizeof(LightRecord)
        : kind == RecordKind::SpotLight ? sizeof(SpotLightRecord)
        : 0);
}

// ---- the axis convention -------------------------------------------------------------------
// Maya's Y (up) and Z are exchanged in every position, direction and matrix on the wire.

constexpr int kAxisSwap[4] = {0, 2, 1, 3};

// Writes a Maya matrix (row vectors, translation in row 3) with rows and columns in
// the order 0, 2, 1, 3.
inline void swapMatrixAxes(const double maya[4][4], float out[16])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[r * 4 + c] = static_cast<float>(maya[kAxisSwap[r]][kAxisSwap[c]]);
}

// A unit-vector component in one byte: trunc(c × 127 + 128), kept inside the byte for
// components that rounding pushed past ±1.
inline std::uint8_t encodeUnitComponent(double c)
{
    double v = std::trunc(c * 127.0 + 128.0);
    return static_cast<std::uint8_t>(v < 0.0 ? 0.0 : (v > 255.0 ? 255.0 : v));
}

} // namespace kvt

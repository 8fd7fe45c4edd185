#pragma once
// The conversion of the geometry extractor's staged channels into the request's 32-byte
// vertices (FKvtMeshVertex), with the bounds of the written positions.

#include <cstdint>

namespace kvt {

// Where each channel lies, vertex after vertex, tightly packed; no alignment is assumed.
// Without a UV set there is no tangent, bitangent or UV channel (all three null); without a
// colour set no colour channel (null).
struct StagedMeshChannels {
    const std::uint8_t* position;  // 3 floats, Maya x, y, z
    const std::uint8_t* normal;    // 3 floats
    const std::uint8_t* tangent;   // 3 floats
    const std::uint8_t* bitangent; // 3 floats
    const std::uint8_t* uv;        // 2 floats
    const std::uint8_t* colour;    // 4 bytes: red, green, blue, alpha
};

// Writes `count` vertices at `vertices` (no alignment assumed). Bytes the vertex layout does
// not write here keep what is there: byte 23 always, and bytes 12-23 and 27 without a UV
// set. `boundsMin` and `boundsMax` come in as the running bounds and are lowered and raised
// by each written position, component by component, as a vertex-by-vertex fold would (a
// NaN coordinate changes nothing; of equal zeros the first one seen stays).
void convertMeshVertices(const StagedMeshChannels& staged, std::uint32_t count, std::uint8_t* vertices,
                         float boundsMin[3], float boundsMax[3]);

} // namespace kvt

// Four vertices at a time in SSE2 (the x64 baseline, so no run-time check), the remainder
// one at a time; both give the same bytes. The directions are encoded in double lanes, as
// encodeUnitComponent does: c * 127 + 128 in double, truncated, saturated to 0..255 by the
// packing. A block with a direction the lanes cannot truncate (NaN, infinite or beyond 2^31
// in double) is done again one vertex at a time.

#include "MeshVertices.h"

#include "link/Records.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace kvt {
namespace {

struct Vec3 {
    float x, y, z;
};

// encodeUnitComponent without the library call behind std::trunc: the same byte for every
// number (for 0 < v < 255 the conversion to int truncates as trunc does; at or below 0, and
// NaN, give 0).
inline std::uint8_t encodeUnit(double c)
{
    const double v = c * 127.0 + 128.0;
    if (!(v > 0.0))
        return 0;
    if (v >= 255.0)
        return 255;
    return static_cast<std::uint8_t>(static_cast<int>(v));
}

struct Bounds {
    float loX, loY, loZ, hiX, hiY, hiZ;
};

// One vertex; unwritten fields keep the bytes an earlier frame left.
inline void convertOne(const StagedMeshChannels& in, std::uint32_t v, std::uint8_t* slot, Bounds& b)
{
    Vec3 p;
    std::memcpy(&p, in.position + std::size_t(v) * sizeof p, sizeof p);
    const float written[3] = {p.x, p.z, p.y};
    b.loX = std::min(b.loX, written[0]), b.loY = std::min(b.loY, written[1]), b.loZ = std::min(b.loZ, written[2]);
    b.hiX = std::max(b.hiX, written[0]), b.hiY = std::max(b.hiY, written[1]), b.hiZ = std::max(b.hiZ, written[2]);
    Vec3 n;
    std::memcpy(&n, in.normal + std::size_t(v) * sizeof n, sizeof n);
    std::uint8_t packed[12]; // tangent, unused, normal, handedness, colour
    std::memcpy(packed, slot + offsetof(FKvtMeshVertex, tangent), sizeof packed);
    packed[4] = encodeUnit(n.x);
    packed[5] = encodeUnit(n.z);
    packed[6] = encodeUnit(n.y);
    std::memcpy(slot + offsetof(FKvtMeshVertex, position), written, sizeof written);
    if (in.tangent) {
        Vec3 t, bt;
        std::memcpy(&t, in.tangent + std::size_t(v) * sizeof t, sizeof t);
        std::memcpy(&bt, in.bitangent + std::size_t(v) * sizeof bt, sizeof bt);
        packed[0] = encodeUnit(t.x);
        packed[1] = encodeUnit(t.z);
        packed[2] = encodeUnit(t.y);
        const Vec3 c{t.y * bt.z - t.z * bt.y, t.z * bt.x - t.x * bt.z, t.x * bt.y - t.y * bt.x};
        packed[7] = (c.x * n.x + c.y * n.y + c.z * n.z) > 0.0f ? 255 : 0;
        float uvPair[2];
        std::memcpy(uvPair, in.uv + std::size_t(v) * sizeof uvPair, sizeof uvPair);
        uvPair[1] = static_cast<float>(1.0 - double(uvPair[1]));
        std::memcpy(slot + offsetof(FKvtMeshVertex, texCoord), uvPair, sizeof uvPair);
    }
    if (in.colour) {
        // Maya gives red, green, blue, alpha; the vertex holds blue, green, red, alpha.
        const std::uint8_t* rgba = in.colour + std::size_t(v) * 4;
        packed[8] = rgba[2];
        packed[9] = rgba[1];
        packed[10] = rgba[0];
        packed[11] = rgba[3];
    } else {
        std::memset(packed + 8, 0xFF, 4);
    }
    std::memcpy(slot + offsetof(FKvtMeshVertex, tangent), packed, sizeof packed);
}

// Three floats a vertex for four vertices (x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3) as one
// vector per component.
inline void deinterleave(const std::uint8_t* at, __m128& x, __m128& y, __m128& z)
{
    const float* f = reinterpret_cast<const float*>(at);
    const __m128 a = _mm_loadu_ps(f), b = _mm_loadu_ps(f + 4), c = _mm_loadu_ps(f + 8);
    x = _mm_shuffle_ps(a, _mm_shuffle_ps(b, c, _MM_SHUFFLE(1, 1, 2, 2)), _MM_SHUFFLE(2, 0, 3, 0));
    y = _mm_shuffle_ps(_mm_shuffle_ps(a, b, _MM_SHUFFLE(0, 0, 1, 1)), _mm_shuffle_ps(b, c, _MM_SHUFFLE(2, 2, 3, 3)),
                       _MM_SHUFFLE(2, 0, 2, 0));
    z = _mm_shuffle_ps(_mm_shuffle_ps(a, b, _MM_SHUFFLE(1, 1, 2, 2)), _mm_shuffle_ps(c, c, _MM_SHUFFLE(3, 3, 0, 0)),
                       _MM_SHUFFLE(2, 0, 2, 0));
}

// trunc(c * 127 + 128) in double for four components, as 32-bit integers, to be clamped to
// 0..255 by the packing that follows. NaN, the infinities and components far outside -1..1
// (beyond 2^31 in double) give INT_MIN, which packs to -32768: such a block is done again
// one vertex at a time.
inline __m128i encode(__m128 c)
{
    const __m128d k127 = _mm_set1_pd(127.0), k128 = _mm_set1_pd(128.0);
    const __m128d lo = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(c), k127), k128);
    const __m128d hi = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(c, c)), k127), k128);
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
}

// The tangent rows (x, y, z, and the earlier frame's byte) and the normal rows (x, y, z,
// handedness), 32-bit integers, saturated to bytes and turned into one word a vertex each,
// holding the bytes in the order x, z, y, fourth. False when a row saturated to -32768 on the
// way (a component that was NaN, infinite or huge): the words are then not to be used.
inline bool packWords(__m128i tx, __m128i ty, __m128i tz, __m128i td, __m128i nx, __m128i ny, __m128i nz,
                      __m128i nd, __m128i& tangentWords, __m128i& normalWords)
{
    const __m128i txy = _mm_packs_epi32(tx, ty), nxy = _mm_packs_epi32(nx, ny);
    const __m128i tzd = _mm_packs_epi32(tz, td), nzd = _mm_packs_epi32(nz, nd);
    const __m128i lowest = _mm_set1_epi16(-32768);
    const __m128i saturated = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(txy, lowest), _mm_cmpeq_epi16(nxy, lowest)),
                                           _mm_or_si128(_mm_cmpeq_epi16(tzd, lowest), _mm_cmpeq_epi16(nzd, lowest)));
    const __m128i xy = _mm_packus_epi16(txy, nxy);
    const __m128i zd = _mm_packus_epi16(tzd, nzd);
    const __m128i t = _mm_unpacklo_epi8(xy, zd); // tx0 tz0 tx1 tz1 .. ty0 td0 ty1 td1 ..
    const __m128i n = _mm_unpackhi_epi8(xy, zd);
    tangentWords = _mm_unpacklo_epi16(t, _mm_srli_si128(t, 8));
    normalWords = _mm_unpacklo_epi16(n, _mm_srli_si128(n, 8));
    return _mm_movemask_epi8(saturated) == 0;
}

inline __m128i blend(__m128i fresh, __m128i old, __m128i keep)
{
    return _mm_or_si128(_mm_andnot_si128(keep, fresh), _mm_and_si128(keep, old));
}

// One vertex's two halves, with the bytes it does not write taken from the slot: with
// tangents only byte 23, put back as a byte (cheaper than blending the halves).
template <bool WithTangents>
inline void store(std::uint8_t* slot, __m128 first, __m128 second, __m128i keepFirst, __m128i keepSecond)
{
    __m128i* const at = reinterpret_cast<__m128i*>(slot);
    if (WithTangents) {
        const std::uint8_t unused = slot[offsetof(FKvtMeshVertex, unused23)];
        _mm_storeu_si128(at, _mm_castps_si128(first));
        _mm_storeu_si128(at + 1, _mm_castps_si128(second));
        slot[offsetof(FKvtMeshVertex, unused23)] = unused;
    } else {
        const __m128i lo = blend(_mm_castps_si128(first), _mm_loadu_si128(at), keepFirst);
        const __m128i hi = blend(_mm_castps_si128(second), _mm_loadu_si128(at + 1), keepSecond);
        _mm_storeu_si128(at, lo);
        _mm_storeu_si128(at + 1, hi);
    }
}

template <bool WithTangents, bool WithColour>
void convertBlocks(const StagedMeshChannels& in, std::uint32_t blocks, std::uint8_t* vertices, Bounds& b)
{
    // Bytes kept from what the slot held: the second half's byte 7 (vertex byte 23); without
    // tangents also the first half's bytes 12-15 (u) and the second half's 0-7 and 11.
    const __m128i keepLo = WithTangents ? _mm_setzero_si128() : _mm_setr_epi32(0, 0, 0, -1);
    const __m128i keepHi = WithTangents ? _mm_setr_epi32(0, int(0xFF000000u), 0, 0)
                                        : _mm_setr_epi32(-1, -1, int(0xFF000000u), 0);
    const __m128i byteMask = _mm_set1_epi32(255), greenAlpha = _mm_set1_epi32(int(0xFF00FF00u));
    const __m128i redBlue = _mm_set1_epi32(0x00FF00FF), white = _mm_set1_epi32(-1);
    // The bounds of the written x, z, y in lanes 0-2 (lane 3 collects u and is not used).
    __m128 low = _mm_setr_ps(b.loX, b.loY, b.loZ, 0.0f), high = _mm_setr_ps(b.hiX, b.hiY, b.hiZ, 0.0f);
    const std::size_t last = blocks == 0 ? 0 : (std::size_t(blocks) - 1) * 4;
    for (std::uint32_t block = 0; block < blocks; ++block) {
        const std::size_t first = std::size_t(block) * 4;
        std::uint8_t* const slot = vertices + first * sizeof(FKvtMeshVertex);
        {
            // 32 vertices ahead (within the arrays): the slots, whose byte 23 is read, and the
            // staged channels. Measured: about a sixth off the conversion in the benchmark,
            // where the host's extractor has just been through the caches.
            const std::size_t ahead = std::min(first + 32, last);
            _mm_prefetch(reinterpret_cast<const char*>(vertices + ahead * 32), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(vertices + ahead * 32 + 64), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(in.position + ahead * 12), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(in.normal + ahead * 12), _MM_HINT_T0);
            if (WithTangents) {
                _mm_prefetch(reinterpret_cast<const char*>(in.tangent + ahead * 12), _MM_HINT_T0);
                _mm_prefetch(reinterpret_cast<const char*>(in.bitangent + ahead * 12), _MM_HINT_T0);
                _mm_prefetch(reinterpret_cast<const char*>(in.uv + ahead * 8), _MM_HINT_T0);
            }
        }
        const float* const p = reinterpret_cast<const float*>(in.position + first * 12);
        const __m128 pa = _mm_loadu_ps(p), pb = _mm_loadu_ps(p + 4), pc = _mm_loadu_ps(p + 8);
        __m128 nx, ny, nz;
        deinterleave(in.normal + first * 12, nx, ny, nz);

        __m128 uv01 = _mm_setzero_ps(), uv23 = _mm_setzero_ps(), flippedV = _mm_setzero_ps();
        __m128i tangentRows[3] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
        __m128i handedness = _mm_setzero_si128();
        if (WithTangents) {
            __m128 tx, ty, tz, bx, by, bz;
            deinterleave(in.tangent + first * 12, tx, ty, tz);
            deinterleave(in.bitangent + first * 12, bx, by, bz);
            const __m128 cx = _mm_sub_ps(_mm_mul_ps(ty, bz), _mm_mul_ps(tz, by));
            const __m128 cy = _mm_sub_ps(_mm_mul_ps(tz, bx), _mm_mul_ps(tx, bz));
            const __m128 cz = _mm_sub_ps(_mm_mul_ps(tx, by), _mm_mul_ps(ty, bx));
            const __m128 dot =
                _mm_add_ps(_mm_add_ps(_mm_mul_ps(cx, nx), _mm_mul_ps(cy, ny)), _mm_mul_ps(cz, nz));
            handedness = _mm_and_si128(_mm_castps_si128(_mm_cmpgt_ps(dot, _mm_setzero_ps())), byteMask);
            tangentRows[0] = encode(tx), tangentRows[1] = encode(ty), tangentRows[2] = encode(tz);
            const float* uv = reinterpret_cast<const float*>(in.uv + first * 8);
            uv01 = _mm_loadu_ps(uv), uv23 = _mm_loadu_ps(uv + 4);
            // 1 - v in single precision is float(1 - double(v)) for every float v: the
            // difference rounded once to double and then to single is rounded correctly, as
            // double carries more than twice single's digits.
            const __m128 v = _mm_shuffle_ps(uv01, uv23, _MM_SHUFFLE(3, 1, 3, 1));
            flippedV = _mm_sub_ps(_mm_set1_ps(1.0f), v);
        }
        __m128i tangentWords, normalWords;
        const bool packed = packWords(tangentRows[0], tangentRows[1], tangentRows[2], _mm_setzero_si128(),
                                      encode(nx), encode(ny), encode(nz), handedness, tangentWords, normalWords);
        __m128i colour = white;
        if (WithColour) {
            const __m128i rgba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in.colour + first * 4));
            const __m128i rb = _mm_and_si128(rgba, redBlue);
            colour = _mm_or_si128(_mm_and_si128(rgba, greenAlpha),
                                  _mm_or_si128(_mm_slli_epi32(rb, 16), _mm_srli_epi32(rb, 16)));
        }

        // Vertex i: (x, z, y, u) and (1 - v, tangent word, normal word, colour).
        const __m128 t0 = _mm_unpacklo_ps(pa, uv01); // x0 u0 y0 v0
        const __m128 lo0 = _mm_shuffle_ps(pa, t0, _MM_SHUFFLE(1, 2, 2, 0));
        const __m128 s1 = _mm_shuffle_ps(pa, pb, _MM_SHUFFLE(1, 1, 3, 3)); // x1 x1 z1 z1
        const __m128 t1 = _mm_shuffle_ps(pb, uv01, _MM_SHUFFLE(2, 2, 0, 0)); // y1 y1 u1 u1
        const __m128 lo1 = _mm_shuffle_ps(s1, t1, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 s2 = _mm_shuffle_ps(pb, pc, _MM_SHUFFLE(0, 0, 2, 2)); // x2 x2 z2 z2
        const __m128 t2 = _mm_shuffle_ps(pb, uv23, _MM_SHUFFLE(0, 0, 3, 3)); // y2 y2 u2 u2
        const __m128 lo2 = _mm_shuffle_ps(s2, t2, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 t3 = _mm_shuffle_ps(pc, uv23, _MM_SHUFFLE(2, 2, 2, 2)); // y3 y3 u3 u3
        const __m128 lo3 = _mm_shuffle_ps(pc, t3, _MM_SHUFFLE(2, 0, 3, 1));
        // Vertex after vertex, as the one-at-a-time fold: min(v, bound) keeps the bound for a
        // NaN and for an equal zero, as std::min(bound, v) does.
        low = _mm_min_ps(lo0, low), low = _mm_min_ps(lo1, low), low = _mm_min_ps(lo2, low);
        low = _mm_min_ps(lo3, low);
        high = _mm_max_ps(lo0, high), high = _mm_max_ps(lo1, high), high = _mm_max_ps(lo2, high);
        high = _mm_max_ps(lo3, high);
        __m128 hi0 = flippedV, hi1 = _mm_castsi128_ps(tangentWords), hi2 = _mm_castsi128_ps(normalWords),
               hi3 = _mm_castsi128_ps(colour);
        _MM_TRANSPOSE4_PS(hi0, hi1, hi2, hi3);
        if (packed) {
            store<WithTangents>(slot, lo0, hi0, keepLo, keepHi);
            store<WithTangents>(slot + 32, lo1, hi1, keepLo, keepHi);
            store<WithTangents>(slot + 64, lo2, hi2, keepLo, keepHi);
            store<WithTangents>(slot + 96, lo3, hi3, keepLo, keepHi);
        } else {
            // The bounds are taken above already.
            Bounds ignored = b;
            for (std::uint32_t v = 0; v < 4; ++v)
                convertOne(in, std::uint32_t(first) + v, slot + v * sizeof(FKvtMeshVertex), ignored);
        }
    }
    if (blocks == 0)
        return;
    float lows[4], highs[4];
    _mm_storeu_ps(lows, low), _mm_storeu_ps(highs, high);
    b.loX = lows[0], b.loY = lows[1], b.loZ = lows[2], b.hiX = highs[0], b.hiY = highs[1], b.hiZ = highs[2];
}

} // namespace

void convertMeshVertices(const StagedMeshChannels& staged, std::uint32_t count, std::uint8_t* vertices,
                         float boundsMin[3], float boundsMax[3])
{
    Bounds b = {boundsMin[0], boundsMin[1], boundsMin[2], boundsMax[0], boundsMax[1], boundsMax[2]};
    const std::uint32_t blocks = count / 4;
    const bool withTangents = staged.tangent != nullptr;
    const bool withColour = staged.colour != nullptr;
    if (withTangents && withColour)
        convertBlocks<true, true>(staged, blocks, vertices, b);
    else if (withTangents)
        convertBlocks<true, false>(staged, blocks, vertices, b);
    else if (withColour)
        convertBlocks<false, true>(staged, blocks, vertices, b);
    else
        convertBlocks<false, false>(staged, blocks, vertices, b);
    for (std::uint32_t v = blocks * 4; v < count; ++v)
        convertOne(staged, v, vertices + std::size_t(v) * sizeof(FKvtMeshVertex), b);
    boundsMin[0] = b.loX, boundsMin[1] = b.loY, boundsMin[2] = b.loZ;
    boundsMax[0] = b.hiX, boundsMax[1] = b.hiY, boundsMax[2] = b.hiZ;
}

} // namespace kvt

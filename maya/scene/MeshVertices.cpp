// Four vertices at a time in SSE2 (the x64 baseline, so no run-time check), the remainder
// one at a time; both give the same bytes. The directions are encoded in double lanes, as
// encodeUnitComponent does, so every byte is that formula's: min(255, v) with 255 first
// keeps a NaN, which truncates to INT_MIN and, like every negative, packs to 0.

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

// trunc(c * 127 + 128) in double for four components, as 32-bit integers; what lies outside
// 0..255 (NaN included, as INT_MIN) is clamped by the packing that follows.
inline __m128i encode(__m128 c)
{
    const __m128d k127 = _mm_set1_pd(127.0), k128 = _mm_set1_pd(128.0), k255 = _mm_set1_pd(255.0);
    const __m128d lo = _mm_min_pd(k255, _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(c), k127), k128));
    const __m128d hi = _mm_min_pd(k255, _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(c, c)), k127), k128));
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
}

// Four rows of four 32-bit integers (a, b, c, d) saturated to bytes and turned into four
// words, one a vertex, holding the bytes a, c, b, d: Maya's x, z, y and the fourth.
inline __m128i packWords(__m128i a, __m128i b, __m128i c, __m128i d)
{
    const __m128i rows = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
    const __m128i ac = _mm_unpacklo_epi8(rows, _mm_srli_si128(rows, 8));
    return _mm_unpacklo_epi16(ac, _mm_srli_si128(ac, 8));
}

inline __m128i blend(__m128i fresh, __m128i old, __m128i keep)
{
    return _mm_or_si128(_mm_andnot_si128(keep, fresh), _mm_and_si128(keep, old));
}

// Of equal zeros a fold keeps the first one it saw, which per-lane minima cannot tell; so
// the sign of each component's first zero is noted while it is unknown.
struct FirstZeros {
    int pending; // bit k: component k has shown no zero yet
    int negative; // bit k: its first zero was -0
    void see(__m128 x, __m128 y, __m128 z)
    {
        const __m128 zero = _mm_setzero_ps();
        const int found = (_mm_movemask_ps(_mm_cmpeq_ps(x, zero)) | _mm_movemask_ps(_mm_cmpeq_ps(y, zero)) << 4 |
                           _mm_movemask_ps(_mm_cmpeq_ps(z, zero)) << 8) &
                          ((pending & 1 ? 0xF : 0) | (pending & 2 ? 0xF0 : 0) | (pending & 4 ? 0xF00 : 0));
        if (found == 0)
            return;
        const int signs = _mm_movemask_ps(x) | _mm_movemask_ps(y) << 4 | _mm_movemask_ps(z) << 8;
        for (int k = 0; k < 3; ++k) {
            const int lanes = (found >> (4 * k)) & 0xF;
            if (lanes == 0)
                continue;
            pending &= ~(1 << k);
            if ((signs >> (4 * k)) & lanes & -lanes)
                negative |= 1 << k;
        }
    }
    // A bound that ended as a zero takes the sign of the first zero, unless it started as one.
    void settle(float& bound, float start, int k) const
    {
        if (bound == 0.0f && start != 0.0f && !(pending & (1 << k)))
            bound = (negative & (1 << k)) ? -0.0f : 0.0f;
    }
};

// The lanes' bounds folded in lane order, as the scalar fold would meet them.
inline float foldMin(__m128 v)
{
    float lane[4];
    _mm_storeu_ps(lane, v);
    float m = lane[0];
    for (int k = 1; k < 4; ++k)
        m = std::min(m, lane[k]);
    return m;
}

inline float foldMax(__m128 v)
{
    float lane[4];
    _mm_storeu_ps(lane, v);
    float m = lane[0];
    for (int k = 1; k < 4; ++k)
        m = std::max(m, lane[k]);
    return m;
}

// One vertex's two halves, with the bytes it does not write taken from the slot.
template <bool WithTangents>
inline void store(std::uint8_t* slot, __m128 first, __m128 second, __m128i keepFirst, __m128i keepSecond)
{
    __m128i* const at = reinterpret_cast<__m128i*>(slot);
    __m128i lo = _mm_castps_si128(first);
    if (!WithTangents)
        lo = blend(lo, _mm_loadu_si128(at), keepFirst);
    const __m128i hi = blend(_mm_castps_si128(second), _mm_loadu_si128(at + 1), keepSecond);
    _mm_storeu_si128(at, lo);
    _mm_storeu_si128(at + 1, hi);
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
    const __m128d one = _mm_set1_pd(1.0);
    __m128 loX = _mm_set1_ps(b.loX), loY = _mm_set1_ps(b.loY), loZ = _mm_set1_ps(b.loZ);
    __m128 hiX = _mm_set1_ps(b.hiX), hiY = _mm_set1_ps(b.hiY), hiZ = _mm_set1_ps(b.hiZ);
    FirstZeros zeros = {7, 0};
    for (std::uint32_t block = 0; block < blocks; ++block) {
        const std::size_t first = std::size_t(block) * 4;
        std::uint8_t* const slot = vertices + first * sizeof(FKvtMeshVertex);
        _mm_prefetch(reinterpret_cast<const char*>(slot) + 1024, _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(slot) + 1024 + 64, _MM_HINT_T0);
        __m128 px, py, pz, nx, ny, nz;
        deinterleave(in.position + first * 12, px, py, pz);
        deinterleave(in.normal + first * 12, nx, ny, nz);
        // Written axes x, z, y: the bounds' y is Maya's z. min(v, bound) keeps the bound for
        // a NaN, as std::min(bound, v) does.
        loX = _mm_min_ps(px, loX), loY = _mm_min_ps(pz, loY), loZ = _mm_min_ps(py, loZ);
        hiX = _mm_max_ps(px, hiX), hiY = _mm_max_ps(pz, hiY), hiZ = _mm_max_ps(py, hiZ);
        if (zeros.pending)
            zeros.see(px, pz, py);

        __m128 u = _mm_setzero_ps(), flippedV = _mm_setzero_ps();
        __m128i tangentWords = _mm_setzero_si128(), handedness = _mm_setzero_si128();
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
            tangentWords = packWords(encode(tx), encode(ty), encode(tz), _mm_setzero_si128());
            const float* uv = reinterpret_cast<const float*>(in.uv + first * 8);
            const __m128 uv01 = _mm_loadu_ps(uv), uv23 = _mm_loadu_ps(uv + 4);
            u = _mm_shuffle_ps(uv01, uv23, _MM_SHUFFLE(2, 0, 2, 0));
            const __m128 v = _mm_shuffle_ps(uv01, uv23, _MM_SHUFFLE(3, 1, 3, 1));
            flippedV = _mm_movelh_ps(_mm_cvtpd_ps(_mm_sub_pd(one, _mm_cvtps_pd(v))),
                                     _mm_cvtpd_ps(_mm_sub_pd(one, _mm_cvtps_pd(_mm_movehl_ps(v, v)))));
        }
        const __m128i normalWords = packWords(encode(nx), encode(ny), encode(nz), handedness);
        __m128i colour = white;
        if (WithColour) {
            const __m128i rgba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in.colour + first * 4));
            const __m128i rb = _mm_and_si128(rgba, redBlue);
            colour = _mm_or_si128(_mm_and_si128(rgba, greenAlpha),
                                  _mm_or_si128(_mm_slli_epi32(rb, 16), _mm_srli_epi32(rb, 16)));
        }

        // Vertex i: (x, z, y, u) and (1 - v, tangent word, normal word, colour).
        __m128 lo0 = px, lo1 = pz, lo2 = py, lo3 = u;
        _MM_TRANSPOSE4_PS(lo0, lo1, lo2, lo3);
        __m128 hi0 = flippedV, hi1 = _mm_castsi128_ps(tangentWords), hi2 = _mm_castsi128_ps(normalWords),
               hi3 = _mm_castsi128_ps(colour);
        _MM_TRANSPOSE4_PS(hi0, hi1, hi2, hi3);
        store<WithTangents>(slot, lo0, hi0, keepLo, keepHi);
        store<WithTangents>(slot + 32, lo1, hi1, keepLo, keepHi);
        store<WithTangents>(slot + 64, lo2, hi2, keepLo, keepHi);
        store<WithTangents>(slot + 96, lo3, hi3, keepLo, keepHi);
    }
    if (blocks == 0)
        return;
    const Bounds start = b;
    b.loX = foldMin(loX), b.loY = foldMin(loY), b.loZ = foldMin(loZ);
    b.hiX = foldMax(hiX), b.hiY = foldMax(hiY), b.hiZ = foldMax(hiZ);
    zeros.settle(b.loX, start.loX, 0), zeros.settle(b.loY, start.loY, 1), zeros.settle(b.loZ, start.loZ, 2);
    zeros.settle(b.hiX, start.hiX, 0), zeros.settle(b.hiY, start.hiY, 1), zeros.settle(b.hiZ, start.hiZ, 2);
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

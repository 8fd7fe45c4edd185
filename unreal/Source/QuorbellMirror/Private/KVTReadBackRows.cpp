#include "KVTReadBackRows.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define KVT_READBACK_SSE2 1
#else
#define KVT_READBACK_SSE2 0
#endif

namespace KvtReadBack {

namespace {

// The watermark: a faint ring with a bar through it on a field of 128, repeated over the
// picture.
struct FWatermark {
    uint8 Mask[MaskHeight][MaskWidth];
    FWatermark() {
        for (int32 Y = 0; Y < MaskHeight; ++Y)
            for (int32 X = 0; X < MaskWidth; ++X) {
                const int32 DX = X - 128, DY = Y - 64;
                const int32 R2 = DX * DX + DY * DY;
                const bool bRing = R2 >= 36 * 36 && R2 <= 44 * 44;
                const bool bBar = DY >= -3 && DY <= 3 && DX >= -30 && DX <= 30;
                Mask[Y][X] = bRing ? 115 : bBar ? 120 : 128;
            }
    }
};
const FWatermark GWatermark;

// One pixel as the formula says, two multiplications: B and R together, then G.
inline void ColourPixel(const uint8* Source, uint8* Dest, uint32 M) {
    uint32 P;
    std::memcpy(&P, Source, 4);
    const uint32 BR = (((P & 0x00FF00FFu) * M) >> 8) & 0x00FF00FFu;
    const uint32 G = (((P & 0x0000FF00u) * M) >> 8) & 0x0000FF00u;
    const uint32 Out = (BR | G) << 1;
    std::memcpy(Dest, &Out, 4);
}

inline void DepthPixel(const uint8* Source, uint8* Dest, float Scale, float Bias) {
    uint32 D;
    std::memcpy(&D, Source, 4);
    const float Value = float(D & 0xFFFFFFu) * Scale + Bias;
    std::memcpy(Dest, &Value, 4);
}

#if KVT_READBACK_SSE2
// Two pixels' channels as 16-bit lanes, times their mask values (none for the fourth
// byte), halved by 256 and doubled: c x m fits 16 bits (255 x 128).
inline __m128i MarkTwo(__m128i Channels, __m128i Masks) {
    return _mm_slli_epi16(_mm_srli_epi16(_mm_mullo_epi16(Channels, Masks), 8), 1);
}

template <bool Stream> inline void StoreEight(uint8* Dest, __m128i A, __m128i B) {
    if (Stream) {
        _mm_stream_si128(reinterpret_cast<__m128i*>(Dest), A);
        _mm_stream_si128(reinterpret_cast<__m128i*>(Dest + 16), B);
    } else {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dest), A);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dest + 16), B);
    }
}

// The colour row eight pixels at a time (a group never straddles two repeats of the
// watermark); returns how many pixels it did.
template <bool Stream> int32 ColourEights(const uint8* Source, uint8* Dest, int32 Width, const uint8* MaskRowValues) {
    const __m128i Zero = _mm_setzero_si128();
    const __m128i NoFourth = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    // Where all eight mask values are 128 (most of the picture), 2 x floor(c x 128 / 256) is
    // c with its lowest bit cleared.
    const __m128i Plain = _mm_set1_epi32(0x00FEFEFE);
    int32 X = 0;
    for (; X + 8 <= Width; X += 8) {
        const uint8* Masks = MaskRowValues + (X & (MaskWidth - 1));
        const __m128i P0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Source + size_t(X) * 4));
        const __m128i P1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Source + size_t(X) * 4 + 16));
        uint64 Eight;
        std::memcpy(&Eight, Masks, 8);
        if (Eight == 0x8080808080808080ull) {
            StoreEight<Stream>(Dest + size_t(X) * 4, _mm_and_si128(P0, Plain), _mm_and_si128(P1, Plain));
            continue;
        }
        // Mask values m0…m7 as 16-bit lanes, each repeated for the channels of its pixel.
        const __m128i M = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(Masks)), Zero);
        const __m128i M0123 = _mm_unpacklo_epi16(M, M), M4567 = _mm_unpackhi_epi16(M, M);
        const __m128i M01 = _mm_and_si128(_mm_unpacklo_epi32(M0123, M0123), NoFourth);
        const __m128i M23 = _mm_and_si128(_mm_unpackhi_epi32(M0123, M0123), NoFourth);
        const __m128i M45 = _mm_and_si128(_mm_unpacklo_epi32(M4567, M4567), NoFourth);
        const __m128i M67 = _mm_and_si128(_mm_unpackhi_epi32(M4567, M4567), NoFourth);
        StoreEight<Stream>(Dest + size_t(X) * 4,
                           _mm_packus_epi16(MarkTwo(_mm_unpacklo_epi8(P0, Zero), M01), MarkTwo(_mm_unpackhi_epi8(P0, Zero), M23)),
                           _mm_packus_epi16(MarkTwo(_mm_unpacklo_epi8(P1, Zero), M45), MarkTwo(_mm_unpackhi_epi8(P1, Zero), M67)));
    }
    return X;
}

// 24-bit values convert to float exactly, as in the scalar loop; then one multiplication
// and one addition, each rounded, never fused.
template <bool Stream> int32 DepthEights(const uint8* Source, uint8* Dest, int32 Width, float Scale, float Bias) {
    const __m128i Depth = _mm_set1_epi32(0xFFFFFF);
    const __m128 S4 = _mm_set1_ps(Scale), B4 = _mm_set1_ps(Bias);
    int32 X = 0;
    for (; X + 8 <= Width; X += 8) {
        const __m128i D0 = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Source + size_t(X) * 4)), Depth);
        const __m128i D1 = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Source + size_t(X) * 4 + 16)), Depth);
        StoreEight<Stream>(Dest + size_t(X) * 4, _mm_castps_si128(_mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(D0), S4), B4)),
                           _mm_castps_si128(_mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(D1), S4), B4)));
    }
    return X;
}

// Rows at 16-byte aligned addresses are streamed past the caches: the reply is read by the
// other process, not by this one.
inline bool Streamed(const uint8* Dest) { return (reinterpret_cast<std::uintptr_t>(Dest) & 15) == 0; }
#endif

} // namespace

const uint8* MaskRow(int32 Y) { return GWatermark.Mask[Y & (MaskHeight - 1)]; }

void ColourRow(const uint8* Source, uint8* Dest, int32 Width, const uint8* MaskRowValues) {
    int32 X = 0;
#if KVT_READBACK_SSE2
    X = Streamed(Dest) ? ColourEights<true>(Source, Dest, Width, MaskRowValues) : ColourEights<false>(Source, Dest, Width, MaskRowValues);
#endif
    for (; X < Width; ++X) ColourPixel(Source + size_t(X) * 4, Dest + size_t(X) * 4, MaskRowValues[X & (MaskWidth - 1)]);
}

void DepthRow(const uint8* Source, uint8* Dest, int32 Width, float Scale, float Bias) {
    int32 X = 0;
#if KVT_READBACK_SSE2
    X = Streamed(Dest) ? DepthEights<true>(Source, Dest, Width, Scale, Bias) : DepthEights<false>(Source, Dest, Width, Scale, Bias);
#endif
    for (; X < Width; ++X) DepthPixel(Source + size_t(X) * 4, Dest + size_t(X) * 4, Scale, Bias);
}

void FinishRows() {
#if KVT_READBACK_SSE2
    _mm_sfence();
#endif
}

} // namespace KvtReadBack

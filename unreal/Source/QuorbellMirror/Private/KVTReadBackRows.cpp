#include "KVTReadBackRows.h"

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
#endif

} // namespace

const uint8* MaskRow(int32 Y) { return GWatermark.Mask[Y & (MaskHeight - 1)]; }

void ColourRow(const uint8* Source, uint8* Dest, int32 Width, const uint8* MaskRowValues) {
    for (int32 Start = 0; Start < Width; Start += MaskWidth) {
        const int32 Count = FMath::Min(MaskWidth, Width - Start);
        const uint8* S = Source + size_t(Start) * 4;
        uint8* D = Dest + size_t(Start) * 4;
        int32 X = 0;
#if KVT_READBACK_SSE2
        const __m128i Zero = _mm_setzero_si128();
        const __m128i NoFourth = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
        for (; X + 8 <= Count; X += 8) {
            // Mask values m0…m7 as 16-bit lanes, each repeated for the channels of its pixel.
            const __m128i M = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(MaskRowValues + X)), Zero);
            const __m128i M0123 = _mm_unpacklo_epi16(M, M), M4567 = _mm_unpackhi_epi16(M, M);
            const __m128i M01 = _mm_and_si128(_mm_unpacklo_epi32(M0123, M0123), NoFourth);
            const __m128i M23 = _mm_and_si128(_mm_unpackhi_epi32(M0123, M0123), NoFourth);
            const __m128i M45 = _mm_and_si128(_mm_unpacklo_epi32(M4567, M4567), NoFourth);
            const __m128i M67 = _mm_and_si128(_mm_unpackhi_epi32(M4567, M4567), NoFourth);
            const __m128i P0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + size_t(X) * 4));
            const __m128i P1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + size_t(X) * 4 + 16));
            const __m128i Out0 = _mm_packus_epi16(MarkTwo(_mm_unpacklo_epi8(P0, Zero), M01), MarkTwo(_mm_unpackhi_epi8(P0, Zero), M23));
            const __m128i Out1 = _mm_packus_epi16(MarkTwo(_mm_unpacklo_epi8(P1, Zero), M45), MarkTwo(_mm_unpackhi_epi8(P1, Zero), M67));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(D + size_t(X) * 4), Out0);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(D + size_t(X) * 4 + 16), Out1);
        }
#endif
        for (; X < Count; ++X) ColourPixel(S + size_t(X) * 4, D + size_t(X) * 4, MaskRowValues[X]);
    }
}

void DepthRow(const uint8* Source, uint8* Dest, int32 Width, float Scale, float Bias) {
    int32 X = 0;
#if KVT_READBACK_SSE2
    const __m128i Depth = _mm_set1_epi32(0xFFFFFF);
    const __m128 S4 = _mm_set1_ps(Scale), B4 = _mm_set1_ps(Bias);
    for (; X + 8 <= Width; X += 8) {
        // 24-bit values convert to float exactly, as in the scalar loop; then one
        // multiplication and one addition, each rounded, never fused.
        const __m128i D0 = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Source + size_t(X) * 4)), Depth);
        const __m128i D1 = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Source + size_t(X) * 4 + 16)), Depth);
        _mm_storeu_ps(reinterpret_cast<float*>(Dest + size_t(X) * 4), _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(D0), S4), B4));
        _mm_storeu_ps(reinterpret_cast<float*>(Dest + size_t(X) * 4 + 16), _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(D1), S4), B4));
    }
#endif
    for (; X < Width; ++X) DepthPixel(Source + size_t(X) * 4, Dest + size_t(X) * 4, Scale, Bias);
}

} // namespace KvtReadBack

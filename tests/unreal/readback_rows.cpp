// The read-back's per-pixel loops against the formulas they implement, written out plainly
// here: random pixels and depths, widths that do and do not fill the fast loops' blocks,
// buffers at odd addresses.
#include "KVTReadBackRows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

// The plain per-pixel colour formula: 2 x floor(c x m / 256) for B, G and R, 0 for the
// fourth byte.
void PlainColourRow(const uint8* Source, uint8* Dest, int32 Width, const uint8* Mask) {
    for (int32 X = 0; X < Width; ++X) {
        const uint32 M = Mask[X % 256];
        for (int C = 0; C < 3; ++C) Dest[X * 4 + C] = uint8(2 * ((uint32(Source[X * 4 + C]) * M) / 256));
        Dest[X * 4 + 3] = 0;
    }
}

void PlainDepthRow(const uint8* Source, uint8* Dest, int32 Width, float Scale, float Bias) {
    for (int32 X = 0; X < Width; ++X) {
        uint32 D;
        std::memcpy(&D, Source + X * 4, 4);
        const float Product = float(D & 0xFFFFFFu) * Scale; // two roundings, as written
        const float Value = Product + Bias;
        std::memcpy(Dest + X * 4, &Value, 4);
    }
}

uint32 Pixel(const std::vector<uint8>& Row, int32 X) {
    uint32 P;
    std::memcpy(&P, Row.data() + X * 4, 4);
    return P;
}

TEST(ReadBackRows, ColourExamplesAtMaskValues128And115) {
    std::vector<uint8> Mask(256, 128);
    Mask[1] = 115;
    // Nine pixels B, G, R = 0xFF, 0x80, 0x01 with a fourth byte set: the fast loop's block
    // of eight and the scalar rest both see the example.
    std::vector<uint8> Source, Dest(9 * 4, 0xCD);
    for (int I = 0; I < 9; ++I) Source.insert(Source.end(), {0xFF, 0x80, 0x01, 0x7F});
    Mask[8] = 115;
    KvtReadBack::ColourRow(Source.data(), Dest.data(), 9, Mask.data());
    for (int32 X : {0, 2, 7}) EXPECT_EQ(Pixel(Dest, X), 0x000080FEu) << X;
    for (int32 X : {1, 8}) EXPECT_EQ(Pixel(Dest, X), 0x000072E4u) << X;
}

TEST(ReadBackRows, TheWatermarkIsFaintAndRepeatsEvery256Columns) {
    int32 Unmarked = 0;
    for (int32 Y = 0; Y < KvtReadBack::MaskHeight; ++Y)
        for (int32 X = 0; X < KvtReadBack::MaskWidth; ++X) {
            const uint8 M = KvtReadBack::MaskRow(Y)[X];
            ASSERT_GE(M, 115);
            ASSERT_LE(M, 128);
            Unmarked += M == 128;
        }
    EXPECT_GT(Unmarked, 256 * 128 * 3 / 4);
    EXPECT_LT(Unmarked, 256 * 128);
    EXPECT_EQ(KvtReadBack::MaskRow(64 + 128), KvtReadBack::MaskRow(64)); // every 128 rows

    // A row of one colour across 600 columns: column x and x + 256 come out alike, and the
    // marked columns of row 64 come out darker than the unmarked ones.
    const int32 W = 600;
    std::vector<uint8> Source(W * 4, 200), Dest(W * 4);
    KvtReadBack::ColourRow(Source.data(), Dest.data(), W, KvtReadBack::MaskRow(64));
    int32 Darker = 0;
    for (int32 X = 0; X + 256 < W; ++X) {
        EXPECT_EQ(Pixel(Dest, X), Pixel(Dest, X + 256)) << X;
        Darker += Dest[X * 4] < 200;
    }
    EXPECT_GT(Darker, 0);
}

TEST(ReadBackRows, DepthOfStencilOnlyIsTheBiasAndFullDepthIsScaled) {
    const float Scale = 0.5f / 16777215.f, Bias = 0.375f;
    const uint32 Samples[9] = {0xFF000000u, 0x00FFFFFFu, 0xFFFFFFFFu, 0, 0x12000001u, 0xFF000000u, 1, 2, 0xFF000000u};
    std::vector<uint8> Dest(sizeof Samples);
    KvtReadBack::DepthRow(reinterpret_cast<const uint8*>(Samples), Dest.data(), 9, Scale, Bias);
    float Out[9];
    std::memcpy(Out, Dest.data(), sizeof Out);
    for (int I : {0, 3, 5, 8}) EXPECT_EQ(Out[I], Bias) << I;
    EXPECT_EQ(Out[1], 16777215.f * Scale + Bias);
    EXPECT_EQ(Out[2], Out[1]); // the stencil byte is ignored
    EXPECT_EQ(Out[4], Out[6]);
}

TEST(ReadBackRows, FastLoopsEqualThePlainFormulasOnRandomRows) {
    std::mt19937 Random(20261208);
    std::uniform_int_distribution<uint32> Any;
    const int32 Widths[] = {1, 3, 7, 8, 9, 15, 16, 17, 255, 256, 257, 263, 511, 1000, 1921};
    for (int32 W : Widths)
        for (int32 Shift = 0; Shift < 4; Shift += 1) { // Shift x 4 bytes: rows at odd offsets
            std::vector<uint8> Source(size_t(W + 4) * 4), Fast(size_t(W + 4) * 4, 0xAB), Plain(size_t(W + 4) * 4, 0xAB);
            for (uint8& B : Source) B = uint8(Any(Random));
            const uint8* S = Source.data() + Shift * 4 + (Shift & 1); // also not 4-byte aligned
            // The watermark's own rows are mostly 128; a row of random values from 115 to
            // 128 tells every column's mask apart.
            std::vector<uint8> Mask(256);
            for (uint8& M : Mask) M = uint8(115 + Any(Random) % 14);
            for (const uint8* MaskRow : {KvtReadBack::MaskRow(int32(Any(Random) % 128)), static_cast<const uint8*>(Mask.data())}) {
                std::fill(Fast.begin(), Fast.end(), 0xAB);
                std::fill(Plain.begin(), Plain.end(), 0xAB);
                KvtReadBack::ColourRow(S, Fast.data() + Shift, W, MaskRow);
                PlainColourRow(S, Plain.data() + Shift, W, MaskRow);
                ASSERT_EQ(Fast, Plain) << "colour, width " << W << ", shift " << Shift;
            }

            const float Scale = float(Any(Random) % 1000 + 1) / 16777215.f * (Shift & 2 ? -1.f : 1.f);
            const float Bias = float(Any(Random) % 1000) / 1000.f;
            std::fill(Fast.begin(), Fast.end(), 0xAB);
            std::fill(Plain.begin(), Plain.end(), 0xAB);
            KvtReadBack::DepthRow(S, Fast.data() + Shift, W, Scale, Bias);
            PlainDepthRow(S, Plain.data() + Shift, W, Scale, Bias);
            ASSERT_EQ(Fast, Plain) << "depth, width " << W << ", shift " << Shift;
        }
}

} // namespace

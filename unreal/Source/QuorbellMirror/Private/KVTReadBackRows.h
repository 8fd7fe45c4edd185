#pragma once
// The per-pixel work of the read-back, one row at a time: the capture's colour with the
// watermark into the reply's colour block, and the scene depth into Maya's window depth.
// These loops run over every pixel of every viewport frame. Rows at 16-byte aligned
// addresses are streamed past the caches (the reply is read by the other process): after
// the last row, FinishRows must come before the reply is published.
#include "CoreMinimal.h"

namespace KvtReadBack {

constexpr int32 MaskWidth = 256;
constexpr int32 MaskHeight = 128;

// Row Y of the watermark (Y in 0…127): 256 values from 115 to 128; 128 leaves a pixel as
// it is, lower values darken it a little.
const uint8* MaskRow(int32 Y);

// Width pixels B, G, R, X of Source into Dest: each of B, G and R becomes
// 2 x floor(c x m / 256) with m the mask value of its column (MaskRowValues[x mod 256]),
// the fourth byte 0. Source and Dest need no alignment.
void ColourRow(const uint8* Source, uint8* Dest, int32 Width, const uint8* MaskRowValues);

// Width 32-bit depth samples of Source into Dest as float(d & 0xFFFFFF) x Scale + Bias,
// in single precision (the upper 8 bits, the stencil, are ignored).
void DepthRow(const uint8* Source, uint8* Dest, int32 Width, float Scale, float Bias);

// Orders the rows' streamed stores before any later store of this thread (the counter
// that publishes the reply).
void FinishRows();

} // namespace KvtReadBack

#pragma once
// The "DeckLink" video region as Maya reads it: width and height (u32 each), then the
// RGBA rows. An outside producer writes it; there is no frame counter.

#include "SharedRegion.h"

#include <cstdint>

namespace kvt {

constexpr const char* kVideoRegionName = "DeckLink";
constexpr std::uint32_t kVideoHeader = 8;

// Maps the header and the frame it announces: the view ends exactly where the frame ends,
// so any size that fits the producer's region is shown, whatever was shown before.
// False when the region holds no frame or a frame larger than the region; width and
// height are then meaningless.
bool mapVideoFrame(SharedRegion& video, std::uint32_t& width, std::uint32_t& height);

} // namespace kvt

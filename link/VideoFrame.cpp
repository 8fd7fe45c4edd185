#include "VideoFrame.h"

#include <cstring>

namespace kvt {

bool mapVideoFrame(SharedRegion& video, std::uint32_t& width, std::uint32_t& height)
{
    video.used = 0;
    if (video.view == nullptr || (video.mappedSize < kVideoHeader && !video.remap(kVideoHeader)))
        return false;
    std::memcpy(&width, video.view, 4);
    std::memcpy(&height, video.view + 4, 4);
    if (width == 0 || height == 0)
        return false;
    const std::uint64_t end = std::uint64_t(width) * height * 4 + kVideoHeader;
    if (end > kRegionMaximum)
        return false;
    // Exactly the frame, never a doubled view: a producer sizes its region for its
    // largest frame, and a view past the region's end cannot be mapped.
    return video.remap(static_cast<std::uint32_t>(end));
}

} // namespace kvt

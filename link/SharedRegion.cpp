#include "SharedRegion.h"

#include <algorithm>

namespace kvt {

bool SharedRegion::open(const char* name, std::uint32_t maximumSize, std::uint32_t viewSize)
{
    if (isOpen())
        close();
    mapping = maximumSize != 0 ? platform::createMapping(name, maximumSize) : platform::openMapping(name);
    if (!isOpen())
        return false;
    if (maximumSize != 0)
        createdName_ = name;
    return remap(viewSize);
}

bool SharedRegion::remap(std::uint32_t size)
{
    if (size == mappedSize)
        return true;
    // Map the new view before releasing the old one, so that a failed remap leaves
    // the region as it was.
    std::uint8_t* fresh = nullptr;
    if (size != 0) {
        if (!isOpen() || (fresh = platform::mapView(mapping, size)) == nullptr)
            return false;
    }
    if (mappedSize != 0)
        platform::unmapView(view, mappedSize);
    view = fresh;
    mappedSize = size;
    return true;
}

std::uint8_t* SharedRegion::extend(std::uint64_t newEnd)
{
    if (view == nullptr || newEnd > kRegionMaximum)
        return nullptr;
    if (newEnd > mappedSize) {
        std::uint64_t doubled = std::min<std::uint64_t>(2ull * mappedSize, kRegionMaximum);
        auto size = static_cast<std::uint32_t>(std::max(newEnd, doubled));
        if (!remap(size))
            return nullptr;
    }
    std::uint8_t* block = view + used;
    used = static_cast<std::uint32_t>(newEnd);
    return block;
}

void SharedRegion::close()
{
    if (mappedSize != 0)
        platform::unmapView(view, mappedSize);
    mappedSize = 0;
    view = nullptr;
    if (mapping != platform::kInvalidMapping || !createdName_.empty())
        platform::closeMapping(mapping, createdName_.empty() ? nullptr : createdName_.c_str());
    mapping = platform::kInvalidMapping;
    createdName_.clear();
}

} // namespace kvt

#pragma once
// Self-relative 32-bit links stored inside the regions: target = field address + value,
// 0 = none. They stay valid whatever address each process maps its view at.

#include "ByteView.h"

#include <cstdint>
#include <cstring>
#include "Optional.h"

namespace kvt {

using RelLink = std::int32_t;

inline void storeLink(std::uint8_t* field, const std::uint8_t* target)
{
    RelLink value = target ? static_cast<RelLink>(target - field) : 0;
    std::memcpy(field, &value, sizeof value);
}

inline RelLink loadLink(const std::uint8_t* field)
{
    RelLink value;
    std::memcpy(&value, field, sizeof value);
    return value;
}

// Follows the link stored at `fieldOffset` and checks that the field and a block of
// `blockSize` bytes at its target both lie inside the view. Returns the target's offset,
// or nothing for a zero link or one that leaves the view.
inline Optional<std::uint32_t> followLink(ByteView view, std::uint64_t fieldOffset, std::uint64_t blockSize)
{
    if (!view.contains(fieldOffset, sizeof(RelLink)))
        return none;
    RelLink value = view.load<RelLink>(fieldOffset);
    if (value == 0)
        return none;
    std::int64_t target = static_cast<std::int64_t>(fieldOffset) + value;
    if (target < 0 || !view.contains(static_cast<std::uint64_t>(target), blockSize))
        return none;
    return static_cast<std::uint32_t>(target);
}

} // namespace kvt

#pragma once
// A read-only window onto bytes that came from the other process. Everything read
// through it is checked against its size first; values are loaded unaligned.

#include <cstdint>
#include <cstring>
#include "Optional.h"
#include <string>

namespace kvt {

struct ByteView {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;

    // Constructors, not aggregate initialisation: Visual Studio 2015 does not take a braced
    // list for a struct with default member initialisers.
    ByteView() = default;
    ByteView(const std::uint8_t* bytes, std::uint32_t byteCount) : data(bytes), size(byteCount) {}

    // True when [offset, offset + bytes) lies inside the view.
    bool contains(std::uint64_t offset, std::uint64_t bytes) const
    {
        return data != nullptr && offset <= size && bytes <= size - offset;
    }

    template <class T> T load(std::uint64_t offset) const
    {
        T value;
        std::memcpy(&value, data + offset, sizeof value);
        return value;
    }

    // Reads a NUL-terminated UTF-16 string at `offset`; nothing when the terminator does
    // not lie inside the view.
    Optional<std::u16string> string16(std::uint64_t offset) const
    {
        std::u16string text;
        for (std::uint64_t at = offset;; at += sizeof(char16_t)) {
            if (!contains(at, sizeof(char16_t)))
                return none;
            char16_t unit = load<char16_t>(at);
            if (unit == 0)
                return text;
            text.push_back(unit);
        }
    }
};

} // namespace kvt

#pragma once
// A named shared-memory region as one process sees it: the mapping handle, the
// current view, and the bump allocator (the arena) that lays out each frame.

#include "ByteView.h"
#include "Platform.h"

#include <cstdint>
#include <string>

namespace kvt {

class SharedRegion {
public:
    SharedRegion() = default;
    ~SharedRegion() { close(); }
    SharedRegion(const SharedRegion&) = delete;
    SharedRegion& operator=(const SharedRegion&) = delete;

    // maximumSize != 0 creates the mapping (or takes the existing one of that name);
    // 0 opens an existing mapping. Then maps viewSize bytes. Returns isOpen() && a view.
    bool open(const char* name, std::uint32_t maximumSize, std::uint32_t viewSize);

    // Re-maps the view at `size` bytes from offset 0 (0 releases it, keeping the handle).
    // Returns false when the new view cannot be mapped; the old view then stays as it
    // was and the caller treats the link as down for this frame.
    bool remap(std::uint32_t size);

    // Allocates up to newEnd and returns the address of the block that starts at the old
    // `used`. Grows the view by doubling, or to the exact need when doubling is short.
    // Returns nullptr when the view cannot grow; the view and `used` are then unchanged.
    std::uint8_t* extend(std::uint64_t newEnd);

    void close();
    bool isOpen() const { return mapping != 0 && mapping != platform::kInvalidMapping; }

    // Offset of an address inside the current view.
    std::int32_t offsetOf(const std::uint8_t* p) const { return static_cast<std::int32_t>(p - view); }
    // True when [offset, offset + size) lies inside the current view.
    bool contains(std::uint64_t offset, std::uint64_t size) const { return bytes().contains(offset, size); }
    ByteView bytes() const { return ByteView{view, view ? mappedSize : 0u}; }

    std::uint32_t mappedSize = 0;
    std::uint32_t used = 0;
    platform::MappingHandle mapping = platform::kInvalidMapping;
    std::uint8_t* view = nullptr;

private:
    std::string createdName_; // set when this process created the mapping
};

// Largest mapping the link creates, and so the largest view it ever asks for.
constexpr std::uint32_t kRegionMaximum = 0x80000000u;
constexpr std::uint32_t kInitialView = 0x1000000u;

// A position inside a region that survives remapping: resolved against the current view
// at each use, never cached as an address across extend or remap.
struct RegionPtr {
    SharedRegion* region = nullptr;
    std::int32_t offset = 0;

    std::uint8_t* get() const { return region->view + offset; }
    template <class T> T* as() const { return reinterpret_cast<T*>(get()); }
};

} // namespace kvt

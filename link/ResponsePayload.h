#pragma once
// The blocks of a reply after the response header, in this order: handle table,
// material name (when one is pending), colour, depth (when a picture was wanted).
// The writer is the responder's; the reader is the requester's and checks every link,
// count and block against the response view before anything is read.

#include "Headers.h"
#include "SharedRegion.h"

#include <cstdint>
#include <cstring>
#include "Optional.h"
#include <string>

namespace kvt {

// Bytes of one picture block (colour or depth), or nothing for a size the regions
// cannot hold.
Optional<std::uint32_t> pictureBlockBytes(std::int32_t width, std::int32_t height);

// ---- writer (responder) ----------------------------------------------------------------
// Each allocation appends to the response arena and links the block from the header.
// They return the block's offset, or nothing when the view cannot grow.

Optional<std::uint32_t> writeHandleTable(SharedRegion& response, std::uint32_t count);
void setHandleEntry(SharedRegion& response, std::uint32_t tableOffset, std::uint32_t index, std::uint64_t key,
                    std::uint64_t remoteHandle);
// `name` holds `length` UTF-16 units, without a terminator; the block gets one.
Optional<std::uint32_t> writeMaterialName(SharedRegion& response, const char16_t* name, std::size_t length);
inline Optional<std::uint32_t> writeMaterialName(SharedRegion& response, const std::u16string& name)
{
    return writeMaterialName(response, name.data(), name.size());
}

struct PictureBlocks {
    std::uint32_t colour; // B, G, R, A bytes, bottom row first
    std::uint32_t depth;  // f32 Maya window depth, bottom row first
};
Optional<PictureBlocks> writePictureBlocks(SharedRegion& response, std::int32_t width, std::int32_t height);

// ---- reader (requester) ----------------------------------------------------------------

struct Reply {
    const std::uint8_t* handleTable = nullptr;
    std::uint32_t handleCount = 0;
    bool hasMaterial = false;
    std::u16string materialName;
    const std::uint8_t* colour = nullptr; // nullptr when no picture was wanted
    const std::uint8_t* depth = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;

    HandleEntry handle(std::uint32_t i) const
    {
        HandleEntry e;
        std::memcpy(&e, handleTable + std::size_t(i) * sizeof(HandleEntry), sizeof e);
        return e;
    }
};

// Reads the reply to `request` from the response view (already remapped to the reply's
// view size). Returns nothing for a reply that is malformed: a missing or overrunning
// handle table, a material name without a terminator inside the view, or picture blocks
// missing or overrunning when a picture was wanted.
Optional<Reply> readReply(ByteView response, const RequestHeader& request);

// The requester clears a handled material request.
void clearMaterialRequest(SharedRegion& response);

} // namespace kvt

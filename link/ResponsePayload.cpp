#include "ResponsePayload.h"

#include "RelLink.h"

namespace kvt {
namespace {

// Appends a block and links it from the header field at `linkOffset`. The link is stored
// after the allocation, since the allocation may move the view.
Optional<std::uint32_t> appendLinked(SharedRegion& response, std::uint32_t linkOffset, std::uint64_t bytes)
{
    std::uint32_t offset = response.used;
    if (response.extend(std::uint64_t(response.used) + bytes) == nullptr)
        return none;
    storeLink(response.view + linkOffset, response.view + offset);
    return offset;
}

} // namespace

Optional<std::uint32_t> pictureBlockBytes(std::int32_t width, std::int32_t height)
{
    if (width < 0 || height < 0)
        return none;
    std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) * 4u;
    // Both blocks together must fit the region.
    if (bytes * 2 > kRegionMaximum)
        return none;
    return static_cast<std::uint32_t>(bytes);
}

Optional<std::uint32_t> writeHandleTable(SharedRegion& response, std::uint32_t count)
{
    return appendLinked(response, kHandleTableOffset, std::uint64_t(count) * sizeof(HandleEntry));
}

void setHandleEntry(SharedRegion& response, std::uint32_t tableOffset, std::uint32_t index, std::uint64_t key,
                    std::uint64_t remoteHandle)
{
    HandleEntry e{key, remoteHandle};
    std::memcpy(response.view + tableOffset + std::size_t(index) * sizeof(HandleEntry), &e, sizeof e);
}

Optional<std::uint32_t> writeMaterialName(SharedRegion& response, const char16_t* name, std::size_t length)
{
    std::uint64_t bytes = (std::uint64_t(length) + 1) * sizeof(char16_t);
    auto offset = appendLinked(response, kAssignMaterialOffset, bytes);
    if (offset) {
        if (length != 0)
            std::memcpy(response.view + *offset, name, length * sizeof(char16_t));
        std::memset(response.view + *offset + length * sizeof(char16_t), 0, sizeof(char16_t));
    }
    return offset;
}

Optional<PictureBlocks> writePictureBlocks(SharedRegion& response, std::int32_t width, std::int32_t height)
{
    auto bytes = pictureBlockBytes(width, height);
    if (!bytes)
        return none;
    auto colour = appendLinked(response, kColourOffset, *bytes);
    if (!colour)
        return none;
    auto depth = appendLinked(response, kDepthOffset, *bytes);
    if (!depth)
        return none;
    return PictureBlocks{*colour, *depth};
}

Optional<Reply> readReply(ByteView response, const RequestHeader& request)
{
    if (!response.contains(0, sizeof(ResponseHeader)))
        return none;
    Reply reply;

    std::uint64_t tableBytes = std::uint64_t(request.newCount) * sizeof(HandleEntry);
    auto table = followLink(response, kHandleTableOffset, tableBytes);
    if (!table)
        return none;
    reply.handleTable = response.data + *table;
    reply.handleCount = request.newCount;

    if (response.load<RelLink>(kAssignMaterialOffset) != 0) {
        auto at = followLink(response, kAssignMaterialOffset, sizeof(char16_t));
        Optional<std::u16string> name;
        if (at)
            name = response.string16(*at);
        if (!name)
            return none;
        reply.materialName = std::move(*name);
        reply.hasMaterial = true;
    }

    if (request.pictureWanted) {
        auto bytes = pictureBlockBytes(request.viewportWidth, request.viewportHeight);
        if (!bytes)
            return none;
        auto colour = followLink(response, kColourOffset, *bytes);
        auto depth = followLink(response, kDepthOffset, *bytes);
        if (!colour || !depth)
            return none;
        reply.colour = response.data + *colour;
        reply.depth = response.data + *depth;
        reply.width = request.viewportWidth;
        reply.height = request.viewportHeight;
    }
    return reply;
}

void clearMaterialRequest(SharedRegion& response)
{
    if (response.contains(0, sizeof(ResponseHeader)))
        storeLink(response.view + kAssignMaterialOffset, nullptr);
}

} // namespace kvt

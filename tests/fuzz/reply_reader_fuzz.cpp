// Feeds arbitrary bytes to the requester's reply reader: the first 176 bytes are the
// request header it answers, the rest the response view.

#include "link/Headers.h"
#include "link/ResponsePayload.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(kvt::RequestHeader))
        return 0;
    kvt::RequestHeader request;
    std::memcpy(&request, data, sizeof request);
    // Keep pictures small enough that the fuzzer reaches them.
    request.viewportWidth &= 0x3F;
    request.viewportHeight &= 0x3F;
    std::vector<std::uint8_t> view(data + sizeof request, data + size);
    auto reply = kvt::readReply(kvt::ByteView{view.data(), static_cast<std::uint32_t>(view.size())}, request);
    if (reply) {
        std::uint64_t sum = 0;
        for (std::uint32_t i = 0; i < reply->handleCount; ++i)
            sum += reply->handle(i).remoteHandle;
        if (reply->colour) {
            std::size_t bytes = std::size_t(reply->width) * std::size_t(reply->height) * 4;
            for (std::size_t i = 0; i < bytes; ++i)
                sum += reply->colour[i] + reply->depth[i];
        }
        volatile std::uint64_t sink = sum;
        (void)sink;
    }
    return 0;
}

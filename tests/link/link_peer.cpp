// The other process of the two-process link tests.
//   link_peer respond <prefix> <mode>   mode: echo | echo-restricted | exit-on-request |
//                                        shutdown-on-request | echo-varying | echo-late-ninth
//   (echo-restricted: as echo, but other processes may open this one with the query right
//   alone; exits 11 where that cannot be arranged)
//   link_peer claim <prefix> <holdMilliseconds>   exit 0 connected, 2 refused, 3 down
//   link_peer request <prefix> <newCount>   claims, publishes one request, never reads on
// echo-varying answers as echo does, each reply after a sleep of 2 to 12 ms in a fixed
// cycle, as an editor whose tick falls at a different time of each Maya frame;
// echo-late-ninth answers after 2 ms, every ninth reply after 30 ms (a heavier frame).
// An echo responder answers until nobody has asked for 20 seconds (the tests kill it
// sooner); it answers each new record with remote handle key + 1 and, when a
// picture is wanted, fills colour with (x, y, x ^ y, 255) and depth with y / height.

#include "ChildProcess.h"
#include "link/Link.h"
#include "link/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace kvt;

namespace {

void fillPicture(SharedRegion& rsp, const PictureBlocks& blocks, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        std::uint8_t* c = rsp.view + blocks.colour + std::size_t(y) * width * 4;
        std::uint8_t* d = rsp.view + blocks.depth + std::size_t(y) * width * 4;
        float depth = float(y) / float(height);
        for (int x = 0; x < width; ++x) {
            c[x * 4 + 0] = std::uint8_t(x);
            c[x * 4 + 1] = std::uint8_t(y);
            c[x * 4 + 2] = std::uint8_t(x ^ y);
            c[x * 4 + 3] = 255;
            std::memcpy(d + x * 4, &depth, 4);
        }
    }
}

int respond(const std::string& prefix, const std::string& mode)
{
    if (mode == "echo-restricted" && !testsupport::restrictOwnProcessAccess())
        return 11;
    LinkResponder responder(RegionNames::prefixed(prefix));
    if (!responder.createRegions())
        return 10;
    std::uint64_t idleSince = platform::tickCountMilliseconds();
    static const std::uint32_t kVaryingDelays[] = {2, 9, 5, 12, 3, 10, 7, 4};
    std::size_t replies = 0;
    for (;;) {
        if (!responder.pollRequest()) {
            if (platform::tickCountMilliseconds() - idleSince > 20000)
                return 0; // nobody asks any more: do not linger
            platform::sleepMilliseconds(1);
            continue;
        }
        if (mode == "exit-on-request")
            std::_Exit(0); // vanish without zeroing anything
        if (mode == "shutdown-on-request") {
            responder.shutdown();
            platform::sleepMilliseconds(10000);
            return 0;
        }
        if (mode == "echo-varying")
            platform::sleepMilliseconds(kVaryingDelays[replies++ % 8]);
        if (mode == "echo-late-ninth")
            platform::sleepMilliseconds(++replies % 9 == 0 ? 30 : 2);
        if (!responder.beginResponse()) {
            responder.publishResponse();
            continue;
        }
        const RequestHeader req = *responder.requestHeader();
        SharedRegion& rsp = responder.response();
        auto table = writeHandleTable(rsp, req.newCount);
        if (!table)
            return 12;
        // Records are not walked here: keys are 1..newCount.
        for (std::uint32_t i = 0; i < req.newCount; ++i)
            setHandleEntry(rsp, *table, i, i + 1, i + 2);
        if (req.pictureWanted) {
            auto blocks = writePictureBlocks(rsp, req.viewportWidth, req.viewportHeight);
            if (!blocks)
                return 13;
            fillPicture(rsp, *blocks, req.viewportWidth, req.viewportHeight);
        }
        responder.publishResponse();
        idleSince = platform::tickCountMilliseconds();
    }
}

int claim(const std::string& prefix, int holdMs)
{
    LinkRequester requester(nullptr, RegionNames::prefixed(prefix));
    for (int tries = 0; tries < 5000; ++tries) {
        auto result = requester.connect();
        if (result == LinkRequester::ConnectResult::Refused)
            return 2;
        if (result == LinkRequester::ConnectResult::Connected) {
            std::printf("claimed\n");
            std::fflush(stdout);
            platform::sleepMilliseconds(std::uint32_t(holdMs));
            return 0;
        }
        platform::sleepMilliseconds(2);
    }
    return 3;
}

// Claims the link, publishes one request with `newCount` objects and never reads the
// reply: a Maya that dies while the editor works on its request.
int request(const std::string& prefix, int newCount)
{
    LinkRequester requester(nullptr, RegionNames::prefixed(prefix));
    for (int tries = 0; tries < 5000; ++tries) {
        auto result = requester.connect();
        if (result == LinkRequester::ConnectResult::Refused)
            return 2;
        if (result == LinkRequester::ConnectResult::Connected && requester.isOurTurn()) {
            RequestHeader* req = requester.beginRequest();
            if (!req)
                return 4;
            req->newCount = std::uint32_t(newCount);
            requester.publishRequest();
            std::printf("requested\n");
            std::fflush(stdout);
            platform::sleepMilliseconds(60000); // the test kills it long before
            return 0;
        }
        platform::sleepMilliseconds(2);
    }
    return 3;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "respond")
        return respond(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "claim")
        return claim(argv[2], std::atoi(argv[3]));
    if (argc == 4 && std::string(argv[1]) == "request")
        return request(argv[2], std::atoi(argv[3]));
    std::fprintf(stderr, "usage: link_peer respond <prefix> <mode> | claim <prefix> <holdMs> | request <prefix> <newCount>\n");
    return 64;
}

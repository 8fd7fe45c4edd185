// kvt-inspect: attaches to the live "KVTRequest" and "KVTResponse" regions and prints
// the current frame. It never writes into the regions.
//   kvt-inspect [--watch] [--frames N] [--picture DIR] [--request NAME] [--response NAME]

#include "FrameReport.h"
#include "ReplyPicture.h"

#include "link/Headers.h"
#include "link/Link.h"
#include "link/Platform.h"
#include "link/SharedRegion.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

using namespace kvt;

namespace {

int usage()
{
    std::fprintf(stderr, "usage: kvt-inspect [--watch] [--frames N] [--picture DIR] [--request NAME] [--response NAME]\n"
                         "  the regions are \"KVTRequest\" and \"KVTResponse\", with KVT_REGION_SUFFIX after both when it is set\n"
                         "  --watch        print every new frame until interrupted (or N frames)\n"
                         "  --picture DIR  also write the reply's colour and depth to DIR/colour.png and\n"
                         "                 DIR/depth.png (depth as a grey ramp, near white, far black)\n");
    return 64;
}

// Maps each region at the size its header announces.
bool attach(SharedRegion& region, const std::string& name, std::uint32_t headerSize)
{
    if (!region.isOpen() && !region.open(name.c_str(), 0, kInitialView))
        return false;
    if (!region.contains(0, headerSize))
        return false;
    std::uint32_t announced = 0;
    std::memcpy(&announced, region.view + 8, sizeof announced); // viewSize sits at 8 in both headers
    if (announced >= headerSize && announced <= kRegionMaximum && announced != region.mappedSize)
        region.remap(announced); // a failure keeps the old view: still readable
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    bool watch = false;
    long frames = -1;
    // The names the plug-ins use: KVT_REGION_SUFFIX, when set, follows both.
    const RegionNames names = RegionNames::fromEnvironment();
    std::string requestName = names.request, responseName = names.response, pictureDir;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--watch")
            watch = true;
        else if (arg == "--frames" && i + 1 < argc) {
            char* end = nullptr;
            frames = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || frames <= 0)
                return usage();
        }
        else if (arg == "--picture" && i + 1 < argc)
            pictureDir = argv[++i];
        else if (arg == "--request" && i + 1 < argc)
            requestName = argv[++i];
        else if (arg == "--response" && i + 1 < argc)
            responseName = argv[++i];
        else
            return usage();
    }

    if (!pictureDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(pictureDir, error);
        if (error) {
            std::printf("picture: could not create the folder %s: %s\n", pictureDir.c_str(), error.message().c_str());
            return 1;
        }
    }

    SharedRegion request, response;
    std::uint64_t lastFrame = ~0ull;
    bool toldMissing = false;
    for (long shown = 0;;) {
        const bool haveRequest = attach(request, requestName, sizeof(RequestHeader));
        if (!haveRequest || !attach(response, responseName, sizeof(ResponseHeader))) {
            request.close();
            response.close();
            // One line a user can act on: the editor makes both regions when its plug-in starts.
            const std::string& missing = haveRequest ? responseName : requestName;
            if (!watch) {
                std::printf("no editor with the plug-in has created %s: start Unreal Editor 4.18 with the "
                            "Quorbell Mirror plug-in enabled\n",
                            missing.c_str());
                return 1;
            }
            if (!toldMissing)
                std::printf("no editor with the plug-in has created %s yet: waiting for it...\n", missing.c_str());
            std::fflush(stdout);
            toldMissing = true;
            platform::sleepMilliseconds(250);
            continue;
        }
        toldMissing = false;
        std::uint64_t frame = loadCounter(request.view) ^ (loadCounter(response.view) << 1);
        if (frame != lastFrame) {
            lastFrame = frame;
            std::fputs(kvtinspect::describeFrame(request.bytes(), response.bytes()).c_str(), stdout);
            if (!pictureDir.empty()) {
                std::string message;
                bool written = kvtinspect::writeReplyPicture(request.bytes(), response.bytes(), pictureDir, message);
                std::printf("picture: %s\n", message.c_str());
                if (!written && !watch)
                    return 1;
            }
            std::fflush(stdout);
            ++shown;
        }
        if (!watch || (frames > 0 && shown >= frames))
            return 0;
        platform::sleepMilliseconds(20);
    }
}

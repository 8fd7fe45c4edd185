// kvt-videoproducer: offers video frames in the "DeckLink" region, as the capture program
// beside Maya does: width and height (u32) followed by RGBA rows, the first row shown at
// the bottom. For the demo and the tests; the plug-in only reads the region.
//
//   kvt-videoproducer [--pattern green|bars] [--image FILE.png] [--size WxH]
//                     [--sizes WxH,WxH,...] [--frames N] [--interval MS] [--name NAME]
//
// --pattern green: the left half pure green (keyed: Unreal shows through), the right half
//                  colour bars; a white marker sweeps across so that frames differ.
// --pattern bars:  colour bars only (nothing keyed).
// --image FILE:    a still PNG picture, top row first as PNGs are.
// --sizes:         the frame size changes every frame, in turn.
// --frames N:      stop after N frames (0: until interrupted); the region stays offered
//                  until the program ends. Prints "ready" after the first frame.
// The region name is "DeckLink" followed by KVT_REGION_SUFFIX when that is set.
#include "link/SharedRegion.h"

#include <png.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> stopping{false};
void onSignal(int) { stopping = true; }

struct Size {
    std::uint32_t width = 0, height = 0;
};

bool parseSize(const std::string& text, Size& out)
{
    unsigned w = 0, h = 0;
    char x = 0;
    if (std::sscanf(text.c_str(), "%u%c%u", &w, &x, &h) != 3 || (x != 'x' && x != 'X') || w == 0 || h == 0 ||
        w > 16384 || h > 16384)
        return false;
    out = {w, h};
    return true;
}

struct Image {
    Size size;
    std::vector<std::uint8_t> rgba; // top row first
};

bool readPng(const std::string& path, Image& out)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGBA;
    out.size = {image.width, image.height};
    out.rgba.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr) != 0;
}

// Seven bars: white, yellow, cyan, green, magenta, red, blue (75 %).
void bar(std::uint32_t x, std::uint32_t width, std::uint8_t* p)
{
    static const std::uint8_t bars[7][3] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                            {191, 0, 191},   {191, 0, 0},   {0, 0, 191}};
    const std::uint8_t* c = bars[std::min<std::uint32_t>(6, x * 7 / width)];
    p[0] = c[0];
    p[1] = c[1];
    p[2] = c[2];
    p[3] = 255;
}

void drawFrame(std::uint8_t* pixels, Size s, const std::string& pattern, const Image* image, std::uint64_t frame)
{
    const std::uint32_t marker = static_cast<std::uint32_t>((frame * 8) % s.width);
    for (std::uint32_t y = 0; y < s.height; ++y)
        for (std::uint32_t x = 0; x < s.width; ++x) {
            std::uint8_t* p = pixels + (std::size_t(y) * s.width + x) * 4;
            if (image) {
                // Scaled to the frame; the PNG's top row goes to the top of the viewport.
                std::uint32_t ix = x * image->size.width / s.width;
                std::uint32_t iy = (s.height - 1 - y) * image->size.height / s.height;
                std::memcpy(p, &image->rgba[(std::size_t(iy) * image->size.width + ix) * 4], 4);
                continue;
            }
            if (pattern == "green" && x < s.width / 2) {
                p[0] = 0;
                p[1] = 255;
                p[2] = 0;
                p[3] = 255;
            } else {
                bar(pattern == "green" ? x - s.width / 2 : x, pattern == "green" ? s.width - s.width / 2 : s.width, p);
            }
            if (x >= marker && x < marker + 4 && y < s.height / 8) {
                p[0] = p[1] = p[2] = 255;
            }
        }
}

int usage(const char* why)
{
    std::fprintf(stderr,
                 "kvt-videoproducer: %s\nusage: kvt-videoproducer [--pattern green|bars] [--image FILE.png] "
                 "[--size WxH] [--sizes WxH,...] [--frames N] [--interval MS] [--name NAME]\n",
                 why);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string pattern = "green", imagePath;
    std::string name = std::string("DeckLink") + (std::getenv("KVT_REGION_SUFFIX") ? std::getenv("KVT_REGION_SUFFIX") : "");
    std::vector<Size> sizes;
    std::uint64_t frames = 0;
    unsigned interval = 40;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (arg == "--pattern") {
            pattern = value();
            if (pattern != "green" && pattern != "bars")
                return usage("--pattern is green or bars");
        } else if (arg == "--image") {
            imagePath = value();
        } else if (arg == "--size" || arg == "--sizes") {
            std::string list = value();
            sizes.clear();
            for (std::size_t start = 0; start <= list.size();) {
                std::size_t comma = list.find(',', start);
                Size s;
                if (!parseSize(list.substr(start, comma - start), s))
                    return usage("sizes are WxH, at most 16384 each");
                sizes.push_back(s);
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
        } else if (arg == "--frames") {
            frames = std::strtoull(value().c_str(), nullptr, 10);
        } else if (arg == "--interval") {
            interval = static_cast<unsigned>(std::strtoul(value().c_str(), nullptr, 10));
        } else if (arg == "--name") {
            name = value();
        } else {
            return usage(("unknown option " + arg).c_str());
        }
    }
    Image image;
    if (!imagePath.empty() && !readPng(imagePath, image)) {
        std::fprintf(stderr, "kvt-videoproducer: cannot read %s as PNG\n", imagePath.c_str());
        return 1;
    }
    if (sizes.empty())
        sizes.push_back(imagePath.empty() ? Size{1280, 720} : image.size);

    std::uint64_t largest = 0;
    for (Size s : sizes)
        largest = std::max<std::uint64_t>(largest, std::uint64_t(s.width) * s.height * 4 + 8);
    const std::uint32_t page = 4096;
    const std::uint32_t maximum = static_cast<std::uint32_t>((largest + page - 1) / page * page);
    kvt::SharedRegion region;
    if (!region.open(name.c_str(), maximum, maximum)) {
        std::fprintf(stderr, "kvt-videoproducer: cannot create the region %s (%u bytes)\n", name.c_str(), maximum);
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    for (std::uint64_t n = 0; !stopping && (frames == 0 || n < frames); ++n) {
        Size s = sizes[n % sizes.size()];
        // No frame counter exists: the size is written last, after the pixels it covers. It
        // is cleared first only when it changes, so that a reader never takes pixels for a
        // size they were not written for; a frame of the same size is written in place, as a
        // capture card does, so that the video does not drop out while it is written.
        std::uint32_t shown[2];
        std::memcpy(shown, region.view, 8);
        if (shown[0] != s.width || shown[1] != s.height)
            std::memset(region.view, 0, 8);
        drawFrame(region.view + 8, s, pattern, imagePath.empty() ? nullptr : &image, n);
        std::memcpy(region.view + 4, &s.height, 4);
        std::memcpy(region.view, &s.width, 4);
        if (n == 0) {
            std::printf("ready %s\n", name.c_str());
            std::fflush(stdout);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(interval));
    }
    // With --frames the last frame stays offered until the program is stopped.
    while (!stopping && frames != 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return 0;
}

#include "ReplyPicture.h"

#include "link/Headers.h"
#include "link/ResponsePayload.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace kvtinspect {
namespace {

bool writePng(const std::string& path, int width, int height, int channels, const std::vector<unsigned char>& pixels,
              std::string& message)
{
    if (!stbi_write_png(path.c_str(), width, height, channels, pixels.data(), width * channels)) {
        message = "could not write " + path + " (is the folder writable?)";
        return false;
    }
    return true;
}

} // namespace

bool writeReplyPicture(kvt::ByteView request, kvt::ByteView response, const std::string& dir, std::string& message)
{
    if (!request.contains(0, sizeof(kvt::RequestHeader)) || !response.contains(0, sizeof(kvt::ResponseHeader))) {
        message = "the regions do not hold their headers";
        return false;
    }
    const auto header = request.load<kvt::RequestHeader>(0);
    if (kvt::loadCounter(request.data) != kvt::loadCounter(response.data)) {
        message = "the reply to the current request is still outstanding: no picture yet";
        return false;
    }
    if (!header.pictureWanted) {
        message = "the current request asked for no picture";
        return false;
    }
    auto reply = kvt::readReply(response, header);
    if (!reply || !reply->colour || !reply->depth) {
        message = "the reply is malformed: its picture blocks are missing or leave the view";
        return false;
    }
    const int width = reply->width, height = reply->height;
    if (width <= 0 || height <= 0) {
        message = "the picture is empty (" + std::to_string(width) + " x " + std::to_string(height) + ")";
        return false;
    }
    // The blocks are bottom row first; PNG rows are top first.
    std::vector<unsigned char> colour(std::size_t(width) * height * 3), depth(std::size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        const std::size_t from = std::size_t(height - 1 - y) * width * 4;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* bgr = reply->colour + from + std::size_t(x) * 4;
            unsigned char* rgb = &colour[(std::size_t(y) * width + x) * 3];
            rgb[0] = bgr[2];
            rgb[1] = bgr[1];
            rgb[2] = bgr[0];
            float d;
            std::memcpy(&d, reply->depth + from + std::size_t(x) * 4, sizeof d);
            const float clamped = std::isfinite(d) ? std::min(1.0f, std::max(0.0f, d)) : 1.0f;
            depth[std::size_t(y) * width + x] = static_cast<unsigned char>(std::lround((1.0f - clamped) * 255.0f));
        }
    }
    const std::string colourPath = dir + "/colour.png", depthPath = dir + "/depth.png";
    if (!writePng(colourPath, width, height, 3, colour, message) || !writePng(depthPath, width, height, 1, depth, message))
        return false;
    message = "wrote " + colourPath + " and " + depthPath + " (" + std::to_string(width) + " x " +
              std::to_string(height) + ")";
    return true;
}

} // namespace kvtinspect

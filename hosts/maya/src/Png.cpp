#include "Png.h"

#include <png.h>

#include <cstring>

namespace mayahost::png {

bool writeRgb(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string& error) {
    if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height * 3) {
        error = "no picture to write";
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // A positive row stride: the first row in memory is the top of the picture.
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr)) {
        error = "could not write " + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

} // namespace mayahost::png

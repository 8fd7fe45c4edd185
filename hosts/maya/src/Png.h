#pragma once
// PNG files through libpng.

#include <string>
#include <vector>

namespace mayahost::png {

// Writes 8-bit RGB pixels, top row first.
bool writeRgb(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string& error);

} // namespace mayahost::png

#include "ContactSheet.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace demo {

bool readPng(const std::string& path, Image& out, std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    out.width = int(image.width);
    out.height = int(image.height);
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        return false;
    }
    return true;
}

bool writePng(const std::string& path, const Image& source, std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(source.width);
    image.height = png_uint_32(source.height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, source.rgb.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        return false;
    }
    return true;
}

Image downscale(const Image& source, int width, int height)
{
    Image out;
    out.width = width;
    out.height = height;
    out.rgb.assign(std::size_t(width) * height * 3, 0);
    for (int y = 0; y < height; ++y) {
        const int y0 = int(std::int64_t(y) * source.height / height);
        const int y1 = std::max(y0 + 1, int(std::int64_t(y + 1) * source.height / height));
        for (int x = 0; x < width; ++x) {
            const int x0 = int(std::int64_t(x) * source.width / width);
            const int x1 = std::max(x0 + 1, int(std::int64_t(x + 1) * source.width / width));
            unsigned sum[3] = {0, 0, 0};
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    for (int c = 0; c < 3; ++c) sum[c] += source.at(sx, sy)[c];
            const unsigned n = unsigned((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 3; ++c) out.at(x, y)[c] = std::uint8_t((sum[c] + n / 2) / n);
        }
    }
    return out;
}

int cellHeight(const SheetLayout& layout, const Image& first)
{
    return std::max(1, int((std::int64_t(layout.cellWidth) * first.height + first.width / 2) / first.width));
}

namespace {

// Rows of a 3 x 5 font, three bits each, the top row first.
const std::uint8_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void fill(Image& image, int x, int y, int w, int h, std::uint8_t value)
{
    for (int yy = std::max(0, y); yy < std::min(image.height, y + h); ++yy)
        for (int xx = std::max(0, x); xx < std::min(image.width, x + w); ++xx) std::memset(image.at(xx, yy), value, 3);
}

} // namespace

void drawNumber(Image& image, int x, int y, unsigned number, int scale)
{
    const std::string digits = std::to_string(number);
    const int n = int(digits.size());
    fill(image, x, y, (n * 4 + 1) * scale, 7 * scale, 0);
    for (int d = 0; d < n; ++d) {
        const std::uint8_t* glyph = kDigits[digits[d] - '0'];
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (glyph[row] & (4 >> col))
                    fill(image, x + (1 + d * 4 + col) * scale, y + (1 + row) * scale, scale, scale, kLabelInk);
    }
}

Image contactSheet(const std::vector<Image>& frames, const std::vector<unsigned>& labels, const SheetLayout& layout)
{
    Image sheet;
    if (frames.empty()) return sheet;
    const int columns = std::max(1, std::min(layout.columns, int(frames.size())));
    const int rows = int((frames.size() + columns - 1) / columns);
    const int cw = layout.cellWidth, ch = cellHeight(layout, frames[0]);
    sheet.width = layout.gap + columns * (cw + layout.gap);
    sheet.height = layout.gap + rows * (ch + layout.gap);
    sheet.rgb.assign(std::size_t(sheet.width) * sheet.height * 3, kSheetBackground);
    const int scale = std::max(1, ch / 40);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const int x = layout.gap + int(i % columns) * (cw + layout.gap);
        const int y = layout.gap + int(i / columns) * (ch + layout.gap);
        const Image cell = downscale(frames[i], cw, ch);
        for (int row = 0; row < ch; ++row) std::memcpy(sheet.at(x, y + row), cell.at(0, row), std::size_t(cw) * 3);
        if (i < labels.size()) drawNumber(sheet, x + scale, y + scale, labels[i], scale);
    }
    return sheet;
}

} // namespace demo

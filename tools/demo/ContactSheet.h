#pragma once
// A contact sheet: frames downscaled into a grid, each with its frame number in its
// top-left corner, on a dark background.

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb; // top row first
    std::uint8_t* at(int x, int y) { return rgb.data() + (std::size_t(y) * width + x) * 3; }
    const std::uint8_t* at(int x, int y) const { return rgb.data() + (std::size_t(y) * width + x) * 3; }
};

bool readPng(const std::string& path, Image& out, std::string& error);
bool writePng(const std::string& path, const Image& image, std::string& error);

// The source scaled to width x height, each output pixel the mean of the source pixels
// under it (box filter).
Image downscale(const Image& source, int width, int height);

struct SheetLayout {
    int columns = 4;
    int cellWidth = 240; // each frame's width on the sheet; the height keeps the first frame's aspect
    int gap = 4;         // between cells and around the grid
};

constexpr std::uint8_t kSheetBackground = 24;
constexpr std::uint8_t kLabelInk = 255;

// Cell i sits at column i % columns, row i / columns; its top-left corner is
// (gap + column * (cellWidth + gap), gap + row * (cellHeight + gap)).
int cellHeight(const SheetLayout& layout, const Image& first);

// Draws a number in a 3 x 5 pixel font, each font pixel `scale` wide, white on a black box
// one font pixel wider all round, top-left at (x, y).
void drawNumber(Image& image, int x, int y, unsigned number, int scale);

Image contactSheet(const std::vector<Image>& frames, const std::vector<unsigned>& labels, const SheetLayout& layout);

} // namespace demo

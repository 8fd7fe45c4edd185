// The contact sheet: frames in a grid at the places the layout gives, each downscaled by
// the mean of the pixels under it, and labelled with its number.
#include "ContactSheet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace {

using demo::Image;

Image solid(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    Image i;
    i.width = w;
    i.height = h;
    for (int n = 0; n < w * h; ++n) i.rgb.insert(i.rgb.end(), {r, g, b});
    return i;
}

bool is(const Image& i, int x, int y, int r, int g, int b)
{
    const std::uint8_t* p = i.at(x, y);
    return p[0] == r && p[1] == g && p[2] == b;
}

TEST(Downscale, EachPixelIsTheMeanOfTheSourcePixelsUnderIt)
{
    // Columns of 0 and 200 alternating: halving the width averages each pair to 100; the
    // top half red, the bottom half blue, so a 2 x 2 result keeps them apart.
    Image src = solid(8, 4, 0, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            std::uint8_t* p = src.at(x, y);
            p[0] = y < 2 && x % 2 ? 200 : 0;
            p[2] = y >= 2 ? 60 : 0;
        }
    Image half = demo::downscale(src, 4, 2);
    EXPECT_EQ(half.width, 4);
    EXPECT_EQ(half.height, 2);
    for (int x = 0; x < 4; ++x) {
        EXPECT_TRUE(is(half, x, 0, 100, 0, 0)) << x;
        EXPECT_TRUE(is(half, x, 1, 0, 0, 60)) << x;
    }
    Image one = demo::downscale(src, 1, 1);
    EXPECT_TRUE(is(one, 0, 0, 50, 0, 30));
}

TEST(ContactSheet, FramesSitInTheGridWithTheirNumbers)
{
    // Five 400 x 200 frames, three columns of 100-pixel cells: two rows of 50-pixel cells.
    std::vector<Image> frames;
    for (int i = 0; i < 5; ++i) frames.push_back(solid(400, 200, std::uint8_t(40 * i + 40), 100, 10));
    demo::SheetLayout layout;
    layout.columns = 3;
    layout.cellWidth = 100;
    layout.gap = 4;
    ASSERT_EQ(demo::cellHeight(layout, frames[0]), 50);
    Image sheet = demo::contactSheet(frames, {1, 25, 50, 75, 100}, layout);
    EXPECT_EQ(sheet.width, 4 + 3 * 104);
    EXPECT_EQ(sheet.height, 4 + 2 * 54);
    for (int i = 0; i < 5; ++i) {
        const int x = 4 + (i % 3) * 104, y = 4 + (i / 3) * 54;
        // The bottom-right corner of each cell is its frame (the label is top-left).
        EXPECT_TRUE(is(sheet, x + 99, y + 49, 40 * i + 40, 100, 10)) << i;
        EXPECT_TRUE(is(sheet, x + 50, y + 40, 40 * i + 40, 100, 10)) << i;
        // The gaps around it are background.
        EXPECT_TRUE(is(sheet, x - 1, y + 20, demo::kSheetBackground, demo::kSheetBackground, demo::kSheetBackground)) << i;
        EXPECT_TRUE(is(sheet, x + 100, y + 20, demo::kSheetBackground, demo::kSheetBackground, demo::kSheetBackground)) << i;
        EXPECT_TRUE(is(sheet, x + 20, y + 50, demo::kSheetBackground, demo::kSheetBackground, demo::kSheetBackground)) << i;
    }
    // The sixth cell of the grid is empty.
    EXPECT_TRUE(is(sheet, 4 + 2 * 104 + 50, 4 + 54 + 25, demo::kSheetBackground, demo::kSheetBackground,
                   demo::kSheetBackground));
    // Label "1" of the first cell at scale 1: a black box from (x+1, y+1), the digit's
    // column of ink one pixel in (the font's "1" is 010 / 110 / 010 / 010 / 111).
    const int x = 4 + 1, y = 4 + 1;
    EXPECT_TRUE(is(sheet, x, y, 0, 0, 0));
    EXPECT_TRUE(is(sheet, x + 2, y + 1, demo::kLabelInk, demo::kLabelInk, demo::kLabelInk));
    EXPECT_TRUE(is(sheet, x + 1, y + 1, 0, 0, 0));
    EXPECT_TRUE(is(sheet, x + 1, y + 2, demo::kLabelInk, demo::kLabelInk, demo::kLabelInk));
    EXPECT_TRUE(is(sheet, x + 3, y + 5, demo::kLabelInk, demo::kLabelInk, demo::kLabelInk));
    // "100" in the fifth cell is three digits wide: ink in the third digit's place.
    const int x5 = 4 + 104 + 1, y5 = 4 + 54 + 1;
    int ink = 0;
    for (int yy = y5 + 1; yy < y5 + 6; ++yy)
        for (int xx = x5 + 9; xx < x5 + 12; ++xx) ink += is(sheet, xx, yy, demo::kLabelInk, demo::kLabelInk, demo::kLabelInk);
    EXPECT_EQ(ink, 12) << "a 0 in the 3 x 5 font has 12 pixels of ink";
}

TEST(ContactSheet, WritesAndReadsBackAPng)
{
    Image sheet = demo::contactSheet({solid(64, 32, 10, 20, 30)}, {7}, {});
    const std::string path = ::testing::TempDir() + "sheet_" + std::to_string(getpid()) + ".png";
    std::string error;
    ASSERT_TRUE(demo::writePng(path, sheet, error)) << error;
    Image back;
    ASSERT_TRUE(demo::readPng(path, back, error)) << error;
    std::remove(path.c_str());
    EXPECT_EQ(back.width, sheet.width);
    EXPECT_EQ(back.height, sheet.height);
    EXPECT_EQ(back.rgb, sheet.rgb);
    EXPECT_FALSE(demo::readPng(path, back, error)) << "a missing file";
    EXPECT_NE(error.find(path), std::string::npos) << error;
}

} // namespace

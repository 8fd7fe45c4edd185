// The "DeckLink" video region as Maya maps it: a producer sizes its region for its
// largest frame and changes the frame size as it likes.

#include "link/SharedRegion.h"
#include "link/VideoFrame.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kvt;

namespace {

struct Size {
    std::uint32_t width, height;
    std::uint32_t bytes() const { return width * height * 4 + kVideoHeader; }
};

class VideoRegion : public ::testing::Test {
protected:
    // A producer's frames grow by 1.5 times in bytes (less than the double a growing
    // arena would map), then shrink again; its region holds exactly the largest one.
    const Size small{320, 240}, large{392, 294};
    std::string name = testsupport::uniqueName("KVTVideo");
    SharedRegion producer;
    SharedRegion maya;

    void SetUp() override
    {
        ASSERT_TRUE(producer.open(name.c_str(), large.bytes(), large.bytes()));
        ASSERT_TRUE(maya.open(name.c_str(), 0, kVideoHeader));
    }
    // Writes a frame whose every pixel carries `tag`, the last one included.
    void offer(Size s, std::uint8_t tag)
    {
        std::memcpy(producer.view, &s.width, 4);
        std::memcpy(producer.view + 4, &s.height, 4);
        std::memset(producer.view + kVideoHeader, tag, s.bytes() - kVideoHeader);
    }
    // Maps the frame as Maya does and checks it is all there, to its last byte.
    void expectShown(Size s, std::uint8_t tag)
    {
        std::uint32_t width = 0, height = 0;
        ASSERT_TRUE(mapVideoFrame(maya, width, height)) << s.width << "x" << s.height << " not shown";
        EXPECT_EQ(width, s.width);
        EXPECT_EQ(height, s.height);
        ASSERT_GE(maya.mappedSize, s.bytes());
        EXPECT_EQ(maya.view[kVideoHeader], tag);
        EXPECT_EQ(maya.view[s.bytes() - 1], tag);
    }
};

TEST_F(VideoRegion, FramesThatGrowByLessThanDoubleAreShownAndSoAreSmallerOnesAfter)
{
    offer(small, 1);
    expectShown(small, 1);
    offer(large, 2);
    expectShown(large, 2);
    offer(small, 3);
    expectShown(small, 3);
    offer(large, 4);
    expectShown(large, 4);
}

TEST_F(VideoRegion, OnlyAFrameBeyondTheRegionOrAnEmptyOneIsRefused)
{
    offer(small, 1);
    expectShown(small, 1);

    // Twice the rows the region holds: refused, and the frame after it is shown. (Windows
    // rounds a mapping up to whole pages, so a few bytes over may still map there.)
    const Size tooLarge{large.width, large.height * 2};
    std::memcpy(producer.view, &tooLarge.width, 4);
    std::memcpy(producer.view + 4, &tooLarge.height, 4);
    std::uint32_t width = 0, height = 0;
    EXPECT_FALSE(mapVideoFrame(maya, width, height));
    // Sizes whose byte count passes 32 bits are refused too, not wrapped.
    const std::uint32_t huge[2] = {0x10000u, 0x10000u};
    std::memcpy(producer.view, huge, 8);
    EXPECT_FALSE(mapVideoFrame(maya, width, height));
    const std::uint32_t none[2] = {large.width, 0};
    std::memcpy(producer.view, none, 8);
    EXPECT_FALSE(mapVideoFrame(maya, width, height));

    offer(large, 5);
    expectShown(large, 5);
}

} // namespace

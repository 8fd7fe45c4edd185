// The arena and the self-relative links of one region.

#include "link/RelLink.h"
#include "link/SharedRegion.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kvt;
using testsupport::uniqueName;

namespace {

constexpr std::uint32_t MiB = 1u << 20;

class RegionTest : public ::testing::Test {
protected:
    std::string name = uniqueName("KVTRegion");
    SharedRegion region;
    void SetUp() override { ASSERT_TRUE(region.open(name.c_str(), kRegionMaximum, 16 * MiB)); }
};

TEST_F(RegionTest, ExtendGrowsByDoublingOrToTheExactNeed)
{
    EXPECT_EQ(region.mappedSize, 16 * MiB);
    std::uint8_t* first = region.extend(100);
    EXPECT_EQ(first, region.view);
    std::uint8_t* view = region.view;
    EXPECT_EQ(region.extend(16 * MiB), view + 100); // fits: no remap
    EXPECT_EQ(region.view, view);
    EXPECT_EQ(region.mappedSize, 16 * MiB);

    // Bytes written before growth are still there after it, whatever address the view moves to.
    region.view[5] = 0x5A;
    std::uint8_t* block = region.extend(20 * MiB);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(region.mappedSize, 32 * MiB);
    EXPECT_EQ(block, region.view + 16 * MiB);
    EXPECT_EQ(region.view[5], 0x5A);
    EXPECT_EQ(region.used, 20 * MiB);

    region.used = 0;
    ASSERT_TRUE(region.remap(16 * MiB));
    ASSERT_NE(region.extend(40 * MiB), nullptr);
    EXPECT_EQ(region.mappedSize, 40 * MiB);

    // Never smaller, and a block past the section's maximum is refused without harm.
    region.used = 0;
    region.extend(1);
    EXPECT_EQ(region.mappedSize, 40 * MiB);
    EXPECT_EQ(region.extend(std::uint64_t(kRegionMaximum) + 1), nullptr);
    EXPECT_EQ(region.used, 1u);
    EXPECT_EQ(region.mappedSize, 40 * MiB);
}

TEST_F(RegionTest, RemapKeepsAddressOnSameSizeAndHandleOnZero)
{
    std::uint8_t* view = region.view;
    EXPECT_TRUE(region.remap(16 * MiB));
    EXPECT_EQ(region.view, view);

    region.view[0] = 42;
    EXPECT_TRUE(region.remap(0));
    EXPECT_EQ(region.mappedSize, 0u);
    EXPECT_TRUE(region.isOpen());
    ASSERT_TRUE(region.remap(4 * MiB));
    EXPECT_EQ(region.view[0], 42); // the mapping, not the view, holds the data
}

TEST_F(RegionTest, ViewBeyondTheMappingFailsAndKeepsTheOldView)
{
    SharedRegion small;
    std::string smallName = uniqueName("KVTSmall");
    ASSERT_TRUE(small.open(smallName.c_str(), 1 * MiB, 1 * MiB));
    small.view[0] = 7;
    EXPECT_FALSE(small.remap(2 * MiB));
    EXPECT_EQ(small.mappedSize, 1 * MiB);
    EXPECT_EQ(small.view[0], 7);
    small.used = 1 * MiB - 8;
    EXPECT_EQ(small.extend(1 * MiB + 8), nullptr);
    EXPECT_EQ(small.used, 1 * MiB - 8);
}

TEST_F(RegionTest, OpenByNameSharesBytesAndCloseForgetsTheView)
{
    region.view[10] = 0xC3;

    // Creating again with a maximum returns the existing mapping.
    SharedRegion again;
    ASSERT_TRUE(again.open(name.c_str(), kRegionMaximum, 1 * MiB));
    EXPECT_EQ(again.view[10], 0xC3);

    SharedRegion opener;
    ASSERT_TRUE(opener.open(name.c_str(), 0, 16 * MiB));
    EXPECT_EQ(opener.view[10], 0xC3);
    opener.view[11] = 0x3C;
    EXPECT_EQ(region.view[11], 0x3C);

    opener.close();
    EXPECT_FALSE(opener.isOpen());
    EXPECT_EQ(opener.mappedSize, 0u);
    EXPECT_EQ(opener.view, nullptr);
    ASSERT_TRUE(opener.open(name.c_str(), 0, 2 * MiB));
    EXPECT_EQ(opener.mappedSize, 2 * MiB);
    EXPECT_EQ(opener.view[11], 0x3C);

    SharedRegion missing;
    EXPECT_FALSE(missing.open(uniqueName("KVTMissing").c_str(), 0, 16 * MiB));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.mappedSize, 0u);
}

TEST(RegionReplaced, AnOpenerLearnsWhenItsCreatorsNameIsGivenToAnotherMapping)
{
    const std::string name = uniqueName("KVTVideo");
    auto creator = std::make_unique<SharedRegion>();
    ASSERT_TRUE(creator->open(name.c_str(), 1 * MiB, 1 * MiB));
    creator->view[0] = 1;
    SharedRegion opener;
    ASSERT_TRUE(opener.open(name.c_str(), 0, 1 * MiB));
    EXPECT_FALSE(platform::mappingWasReplaced(opener.mapping, name.c_str()));

    // The creator goes: the opener keeps its bytes, and nothing else has the name.
    creator.reset();
    EXPECT_EQ(opener.view[0], 1);
    EXPECT_FALSE(platform::mappingWasReplaced(opener.mapping, name.c_str()));

    // A new creator of the name: either it has the opener's mapping (Windows keeps a
    // mapping while any handle does) or the opener is told that its mapping was replaced.
    SharedRegion next;
    ASSERT_TRUE(next.open(name.c_str(), 1 * MiB, 1 * MiB));
    next.view[0] = 2;
    const bool replaced = platform::mappingWasReplaced(opener.mapping, name.c_str());
    EXPECT_EQ(replaced, opener.view[0] != 2);
#if defined(_WIN32)
    EXPECT_FALSE(replaced);
#else
    EXPECT_TRUE(replaced);
#endif
}

TEST_F(RegionTest, LinksForwardBackwardAndNone)
{
    std::uint8_t* early = region.extend(64);
    std::uint8_t* slot = region.extend(region.used + 4);
    std::uint8_t* late = region.extend(region.used + 64);

    storeLink(slot, late);
    EXPECT_EQ(loadLink(slot), 4);
    EXPECT_EQ(followLink(region.bytes(), region.offsetOf(slot), 64), kvt::Optional<std::uint32_t>(68));

    storeLink(slot, early);
    EXPECT_EQ(loadLink(slot), -64);
    EXPECT_EQ(followLink(region.bytes(), region.offsetOf(slot), 64), kvt::Optional<std::uint32_t>(0));

    storeLink(slot, nullptr);
    EXPECT_EQ(loadLink(slot), 0);
    EXPECT_FALSE(followLink(region.bytes(), region.offsetOf(slot), 1));
}

TEST_F(RegionTest, FollowLinkRefusesTargetsOutsideTheView)
{
    std::uint8_t* slot = region.extend(4);
    RelLink before = -1; // one byte before the view
    std::memcpy(slot, &before, 4);
    EXPECT_FALSE(followLink(region.bytes(), 0, 1));

    RelLink tail = std::int32_t(region.mappedSize - 8);
    std::memcpy(slot, &tail, 4);
    EXPECT_TRUE(followLink(region.bytes(), 0, 8));
    EXPECT_FALSE(followLink(region.bytes(), 0, 9)); // block overruns the view's end
    EXPECT_FALSE(followLink(region.bytes(), region.mappedSize - 2, 1)); // the field itself overruns

    RelLink farAway = 0x7FFFFFFF;
    std::memcpy(slot, &farAway, 4);
    EXPECT_FALSE(followLink(region.bytes(), 0, 1));
}

} // namespace

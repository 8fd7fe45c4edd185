// The whole arrangement as an artist's machine runs it: `maya -batch` loads the plug-in
// and runs a scene script that ends in a saved picture, a responder plays Unreal, and the
// video producer offers a frame whose left half is green.
#include "TestResponder.h"

#include "../hostmaya/Picture.h"

#include "ChildProcess.h"
#include "RegionCleanup.h"

#include "link/SharedRegion.h"

#include "RunCommand.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/wait.h>
#include <thread>

namespace {

constexpr int kWidth = 320, kHeight = 240;

std::string runMaya(const std::string& script, int* status)
{
    return testsupport::runCommand(std::string(MAYA_PROGRAM) + " -batch -script '" + script + "' 2>&1", status);
}

// Waits until the producer's first frame is there (the producer writes the size last).
bool videoOffered(const std::string& name)
{
    for (int attempt = 0; attempt < 2000; ++attempt) {
        kvt::SharedRegion region;
        if (region.open(name.c_str(), 0, 8)) {
            std::uint32_t width = 0;
            std::memcpy(&width, region.view, 4);
            if (width != 0)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

TEST(Batch, MayaDrawsTheResponderPictureWithItsGridAndTheKeyedVideo)
{
    const std::string suffix = testsupport::uniqueName("VpBatch");
    // Before the producer: it is killed (or ends) without removing "DeckLink"'s name.
    testsupport::RegionCleanup regions;
    regions.addSuffixed(suffix);
    setenv("KVT_REGION_SUFFIX", suffix.c_str(), 1);
    TestResponder unreal(suffix);
    ASSERT_TRUE(unreal.link().isOpen());
    testsupport::ChildProcess producer;
    ASSERT_TRUE(producer.start(VIDEO_PRODUCER, {"--pattern", "green", "--size", "64x32", "--frames", "1"}));
    ASSERT_TRUE(videoOffered("DeckLink" + suffix)) << "the video producer offered no frame";

    const std::string dir = ::testing::TempDir();
    const std::string picture = dir + "viewport_batch.png", script = dir + "viewport_batch.mel";
    {
        std::ofstream mel(script);
        mel << "loadPlugin \"" << PLUGIN_PATH << "\";\n"
            << "polyCube -w 2 -h 2 -d 2;\nselect -cl;\n"
            << "modelEditor -e -rendererOverrideName \"Mirror\" -grid 1 -manipulators 0 modelPanel4;\n"
            << "control -e -w " << kWidth << " -h " << kHeight << " modelPanel4;\n"
            << "refresh;\n"
            << "refresh -fe png -fn \"" << picture << "\";\n";
    }
    std::remove(picture.c_str());
    int status = -1;
    std::string out = runMaya(script, &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out.find("Error"), std::string::npos) << out;
    producer.kill();

    ASSERT_GE(unreal.frameCount(), 2u) << out;
    EXPECT_EQ(unreal.frames()[0].header.newSession, 1);
    Picture p;
    ASSERT_TRUE(Picture::read(picture, p)) << out;
    ASSERT_EQ(p.width, kWidth);
    Projector cam = defaultPersp(kWidth, kHeight);
    const Rgb quad = {unreal.quadColour[2], unreal.quadColour[1], unreal.quadColour[0]};
    const Rgb gridLine = {135, 135, 135}, gridAxis = {0, 0, 0};

    // The video's left half is green: the responder's picture and its depth show there,
    // the quad where Maya projects it, Maya's grid beyond it and hidden under it.
    auto inside = cam.pixel({-3.6, 0.5, 3.6}), under = cam.pixel({0, 0, 3});
    ASSERT_LT(inside[0], kWidth / 2);
    ASSERT_LT(under[0], kWidth / 2);
    EXPECT_TRUE(close(p.at(inside[0], inside[1]), quad, 1)) << text(p.at(inside[0], inside[1]));
    EXPECT_TRUE(close(p.at(under[0], under[1]), quad, 1)) << "Z axis drawn through the quad";
    auto beyond = cam.pixel({-6.5, 0, 7});
    ASSERT_LT(beyond[0], kWidth / 2);
    EXPECT_TRUE(near(p, beyond, gridLine, 2) || near(p, beyond, gridAxis, 2)) << "grid beyond the quad";
    EXPECT_TRUE(near(p, cam.pixel({0, 0, 11}), gridAxis, 2)) << "Z axis beyond the quad";

    // The right half is colour bars: the video itself, not the quad, with Maya's grid over
    // it where the responder's depth is far.
    auto right = cam.pixel({3.6, 0.5, -3.6});
    ASSERT_GT(right[0], kWidth / 2);
    Rgb bars = p.at(right[0], right[1]);
    EXPECT_FALSE(close(bars, quad, 10)) << "the quad shows through the bars: " << text(bars);
    bool isBar = false;
    for (Rgb c : std::vector<Rgb>{{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0}, {191, 0, 191},
                                  {191, 0, 0}, {0, 0, 191}})
        isBar = isBar || close(bars, c, 2);
    EXPECT_TRUE(isBar) << text(bars);
    EXPECT_TRUE(near(p, cam.pixel({9, 0, 0}), gridAxis, 2)) << "X axis over the video beyond the quad";
}

} // namespace

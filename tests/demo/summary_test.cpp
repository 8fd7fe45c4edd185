// The demo's summary: percentiles on known values, the frame log's lines read strictly,
// the idle timer's redraws folded into their animation frame, paused frames left out of the
// times, the split of the time and the link's changes.
#include "DemoSummary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using demo::FrameRow;

FrameRow row(std::uint64_t frame, double time, std::uint64_t startMs, std::uint64_t waitMs, std::uint64_t uploadMs,
             const char* link, bool video = false, bool material = false)
{
    FrameRow r;
    r.frame = frame;
    r.time = time;
    r.startUs = startMs * 1000;
    r.waitUs = waitMs * 1000;
    r.uploadUs = uploadMs * 1000;
    r.sceneUs = 500;
    r.driverUs = r.waitUs + r.uploadUs + r.sceneUs;
    r.link = link;
    r.picture = std::string(link) == "new" || std::string(link) == "connected";
    r.video = video;
    r.material = material;
    return r;
}

TEST(Percentile, NearestRankOnKnownValues)
{
    std::vector<double> ten = {10, 1, 9, 2, 8, 3, 7, 4, 6, 5};
    EXPECT_EQ(demo::percentile(ten, 50), 5);
    EXPECT_EQ(demo::percentile(ten, 90), 9);
    EXPECT_EQ(demo::percentile(ten, 99), 10);
    EXPECT_EQ(demo::percentile(ten, 100), 10);
    EXPECT_EQ(demo::percentile(ten, 1), 1);
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i) hundred.push_back(i);
    EXPECT_EQ(demo::percentile(hundred, 50), 50);
    EXPECT_EQ(demo::percentile(hundred, 90), 90);
    EXPECT_EQ(demo::percentile(hundred, 99), 99);
    EXPECT_EQ(demo::percentile({7}, 50), 7);
    EXPECT_EQ(demo::percentile({}, 50), 0);
}

TEST(FrameLogLine, WellFormedLinesOnlyWithTheReasonForTheOthers)
{
    auto r = demo::parseFrameLine("12 7 1000 900 10 800 50 connected 1 0 1");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->frame, 12u);
    EXPECT_EQ(r->time, 7);
    EXPECT_EQ(r->startUs, 1000u);
    EXPECT_EQ(r->waitUs, 800u);
    EXPECT_EQ(r->uploadUs, 50u);
    EXPECT_EQ(r->link, "connected");
    EXPECT_TRUE(r->picture);
    EXPECT_FALSE(r->video);
    EXPECT_TRUE(r->material);

    std::string error;
    EXPECT_FALSE(demo::parseFrameLine("# frame time ...", &error));
    EXPECT_TRUE(error.empty()) << "a comment is no error";
    EXPECT_FALSE(demo::parseFrameLine("   ", &error));
    EXPECT_TRUE(error.empty());
    for (const char* bad : {"12 7 1000 900 10 800 50 connected 1 0", "12 7 1000 900 10 800 50 connected 1 0 1 9",
                            "12 7 1000 900 10 800 50 sideways 1 0 1", "12 7 1000 900 10 800 50 connected 2 0 1",
                            "0 7 1000 900 10 800 50 connected 1 0 1", "x 7 1000 900 10 800 50 connected 1 0 1"}) {
        error.clear();
        EXPECT_FALSE(demo::parseFrameLine(bad, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }

    const std::string path = ::testing::TempDir() + "demo_summary_" + std::to_string(getpid()) + ".log";
    {
        std::ofstream out(path);
        out << "# header\n1 1 0 5 0 4 1 new 1 0 0\nbroken line\n2 2 20000 5 0 4 1 connected 1 0 0\n";
    }
    int skipped = 0;
    auto rows = demo::readFrameLog(path, &skipped);
    std::remove(path.c_str());
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_EQ(skipped, 1);
}

TEST(Summary, IdleRedrawsFoldIntoTheirFramePausedFramesAreLeftOutAndTheSplitAddsUp)
{
    // Frames 1-4 at 20 ms, 10 ms of it waiting and 2 ms uploading; frame 5 comes after a
    // pause with three idle redraws at its time, the last of them with the video and the
    // material; frame 6 at 40 ms after frame 5.
    std::vector<FrameRow> rows = {
        row(1, 1, 0, 10, 2, "new"),          row(2, 2, 20, 10, 2, "connected"), row(3, 3, 40, 10, 2, "connected"),
        row(4, 4, 60, 10, 2, "connected"),   row(5, 5, 300, 10, 2, "connected"),
        row(6, 5, 600, 10, 2, "connected", true, true),
        row(7, 5, 1000, 10, 2, "connected"), row(8, 6, 1040, 10, 2, "connected", true),
    };
    demo::Summary s = demo::summarize(rows, {5});
    EXPECT_EQ(s.frames, 6u);
    EXPECT_EQ(s.viewportFrames, 8u);
    ASSERT_EQ(s.excluded.size(), 1u);
    EXPECT_EQ(s.excluded[0], 5u);
    // Times counted: 2, 3, 4 (20 ms each) and 6 (40 ms, from frame 5's last redraw).
    EXPECT_EQ(s.intervals, 4u);
    EXPECT_DOUBLE_EQ(s.p50, 20);
    EXPECT_DOUBLE_EQ(s.p90, 40);
    EXPECT_DOUBLE_EQ(s.max, 40);
    EXPECT_DOUBLE_EQ(s.mean, 25);
    EXPECT_DOUBLE_EQ(s.waitMs, 10);
    EXPECT_DOUBLE_EQ(s.uploadMs, 2);
    EXPECT_DOUBLE_EQ(s.mayaMs + s.waitMs + s.uploadMs, s.mean);
    EXPECT_DOUBLE_EQ(s.sceneMs, 0.5);
    EXPECT_EQ(s.pictures, 6u);
    EXPECT_EQ(s.videoFrames, 2u) << "frame 5 keeps the video of one of its redraws";
    ASSERT_TRUE(s.firstVideo);
    EXPECT_EQ(*s.firstVideo, 5u);
    ASSERT_TRUE(s.firstMaterial);
    EXPECT_EQ(*s.firstMaterial, 5u);

    // Without the exclusion the pause shows as frame 5's time.
    EXPECT_DOUBLE_EQ(demo::summarize(rows).max, 940);
}

TEST(Summary, LinkChangesInWordsAtTheirAnimationFrames)
{
    std::vector<FrameRow> rows = {
        row(1, 1, 0, 0, 0, "down"),       row(2, 2, 10, 0, 0, "down"),       row(3, 3, 20, 5, 1, "new"),
        row(4, 4, 30, 5, 1, "connected"), row(5, 5, 40, 0, 0, "lost"),       row(6, 6, 50, 0, 0, "down"),
        row(7, 7, 60, 5, 1, "new"),       row(8, 8, 70, 0, 0, "busy"),       row(9, 9, 80, 5, 1, "connected"),
    };
    demo::Summary s = demo::summarize(rows);
    std::vector<std::pair<std::uint64_t, std::string>> seen;
    for (const auto& c : s.changes) seen.push_back({c.frame, c.what});
    std::vector<std::pair<std::uint64_t, std::string>> expected = {
        {1, "Unreal not there"}, {3, "new session"},  {4, "connected"},   {5, "link lost"},
        {6, "disconnected"},     {7, "new session"},  {8, "Unreal busy"}, {9, "connected"},
    };
    EXPECT_EQ(seen, expected);

    nlohmann::json j = demo::toJson(s);
    EXPECT_EQ(j["frames"], 9);
    ASSERT_EQ(j["link"].size(), 8u);
    EXPECT_EQ(j["link"][1]["frame"], 3);
    EXPECT_EQ(j["link"][1]["state"], "new");
    EXPECT_TRUE(j["first_material_frame"].is_null());
    const std::string text = demo::toText(s);
    EXPECT_NE(text.find("frame 6 disconnected, frame 7 new session"), std::string::npos) << text;
}

} // namespace

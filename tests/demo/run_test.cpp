// The demo run end to end, small: ue4editor with the module, `maya -batch` with the plug-in
// and the video producer, through tools/demo/run.sh. The summary's frames, the stills and
// the contact sheet at their sizes, Unreal's colours where the scene's camera puts the
// objects, Maya's own grey there when it draws alone; bad options refused.
#include "../hostmaya/Picture.h"

#include "RunCommand.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kFrames = 12, kWidth = 320, kHeight = 180;

std::string runDemo(const std::string& options, int* status)
{
    return testsupport::runCommand(std::string("bash '") + DEMO_SCRIPT + "' --build '" + BUILD_DIR + "' " + options +
                                       " 2>&1",
                                   status);
}

// The camera of frame f as the run places it: once round (0, 1, 0) at distance 14, 6 above.
Projector cameraOfFrame(int f)
{
    const double a = 2 * std::acos(-1.0) * (f - 1) / kFrames;
    const double hx = 18.0 / 35; // the 36 mm film back fits the panel's width (aspect > 1.5)
    return Projector({14 * std::sin(a), 7, 14 * std::cos(a)}, {0, 1, 0}, {0, 1, 0}, hx, hx * kHeight / kWidth, false,
                     kWidth, kHeight);
}

bool reddish(const Rgb& c) { return c[0] > 80 && c[0] > 3 * c[1] && c[0] > 3 * c[2]; }
bool bluish(const Rgb& c) { return c[2] > 80 && c[2] > 2 * c[0] && c[2] > 2 * c[1]; }
bool greyish(const Rgb& c) { return std::abs(c[0] - c[1]) < 12 && std::abs(c[1] - c[2]) < 12; }

TEST(DemoRun, WritesTheSummaryStillsAndContactSheetWithUnrealsPicture)
{
    const std::string dir = ::testing::TempDir() + "mirror_demo_" + std::to_string(getpid());
    fs::remove_all(dir);
    const std::string* out = &dir;
    int status = -1;
    const std::string ran = runDemo("--frames " + std::to_string(kFrames) + " --size " + std::to_string(kWidth) + "x" +
                                        std::to_string(kHeight) + " --out '" + dir + "'",
                                    &status);
    const std::string* log = &ran;
    ASSERT_EQ(status, 0) << ran;
    {
        SCOPED_TRACE("summary");

    std::ifstream in(*out + "/summary.json");
    ASSERT_TRUE(in) << *log;
    nlohmann::json j = nlohmann::json::parse(in);
    EXPECT_EQ(j["frames"], kFrames);
    EXPECT_EQ(j["pictures"], kFrames) << "every frame had Unreal's picture";
    EXPECT_EQ(j["size"], "320x180");
    // The video starts at half the run and stays; the material comes at two thirds.
    EXPECT_EQ(j["first_video_frame"], kFrames / 2 + 1);
    EXPECT_EQ(j["video_frames"], kFrames / 2);
    EXPECT_EQ(j["first_material_frame"], kFrames * 2 / 3 + 1);
    EXPECT_EQ(j["link"][0]["state"], "new");
    const auto& t = j["frame_ms"];
    EXPECT_EQ(t["counted"], kFrames - 1 - 2) << "the first frame and the two after a pause have no time";
    EXPECT_LE(t["p50"].get<double>(), t["p90"].get<double>());
    EXPECT_LE(t["p90"].get<double>(), t["p99"].get<double>());
    EXPECT_LE(t["p99"].get<double>(), t["max"].get<double>());
    EXPECT_GT(t["p50"].get<double>(), 0);
    const auto& split = j["split_ms_per_frame"];
    EXPECT_NEAR(split["maya"].get<double>() + split["wait_for_unreal"].get<double>() +
                    split["upload_and_draw"].get<double>(),
                t["mean"].get<double>(), 0.01);
    EXPECT_GT(split["wait_for_unreal"].get<double>(), 0);
    std::ifstream text(*out + "/summary.txt");
    std::string words((std::istreambuf_iterator<char>(text)), std::istreambuf_iterator<char>());
    EXPECT_NE(words.find("p99"), std::string::npos) << words;
    EXPECT_NE(words.find("frame 1 new session"), std::string::npos) << words;
    }
    {
        SCOPED_TRACE("stills and contact sheet");

    int stills = 0;
    for (const auto& e : fs::directory_iterator(*out + "/frames")) {
        Picture p;
        ASSERT_TRUE(Picture::read(e.path().string(), p)) << e.path();
        EXPECT_EQ(p.width, kWidth) << e.path();
        EXPECT_EQ(p.height, kHeight) << e.path();
        ++stills;
    }
    EXPECT_EQ(stills, kFrames) << "twelve frames kept, every frame of a twelve-frame run";
    Picture sheet;
    ASSERT_TRUE(Picture::read(*out + "/contact-sheet.png", sheet));
    // Four columns of 240 x 135 cells with 4-pixel gaps, three rows.
    EXPECT_EQ(sheet.width, 4 + 4 * 244);
    EXPECT_EQ(sheet.height, 4 + 3 * 139);
    EXPECT_TRUE(fs::exists(*out + "/logs/producer.log"));
    EXPECT_TRUE(fs::exists(*out + "/logs/maya.log"));
    EXPECT_TRUE(fs::exists(*out + "/logs/unreal.log"));
    EXPECT_TRUE(fs::exists(*out + "/logs/frames.log"));
    }
    {
        SCOPED_TRACE("pictures");

    Picture first, alone, later;
    ASSERT_TRUE(Picture::read(*out + "/frames/0001.png", first));
    ASSERT_TRUE(Picture::read(*out + "/maya-alone.png", alone));
    // The crate's front face (z = 1) faces the first camera: M_Red in Unreal's picture,
    // lambert's grey where Maya draws alone from the same camera.
    const auto crate = cameraOfFrame(1).pixel({-2, 1, 1});
    EXPECT_TRUE(reddish(first.at(crate[0], crate[1]))) << text(first.at(crate[0], crate[1]));
    EXPECT_TRUE(greyish(alone.at(crate[0], crate[1]))) << text(alone.at(crate[0], crate[1]));
    // The floor in front of the crate: M_Grey, lit.
    const auto floor = cameraOfFrame(1).pixel({-2, 0, 4});
    EXPECT_TRUE(greyish(first.at(floor[0], floor[1])) && first.at(floor[0], floor[1])[0] > 40)
        << text(first.at(floor[0], floor[1]));

    // After Unreal's "Assign To Maya Object" the selected pillar is MI_Blue. Frame 10's camera
    // at (-14, 7, 0) sees its -x face in the keyed (left) half of the video.
    ASSERT_TRUE(Picture::read(*out + "/frames/0010.png", later));
    const auto pillar = cameraOfFrame(10).pixel({2.1, 2.6, -2.2});
    ASSERT_LT(pillar[0], kWidth / 2);
    EXPECT_TRUE(bluish(later.at(pillar[0], pillar[1]))) << text(later.at(pillar[0], pillar[1]));
    // Before it, in frame 1, the pillar was M_Grey (away from the move manipulator at its
    // pivot).
    const auto pillarBefore = cameraOfFrame(1).pixel({2.3, 2.6, -1.6});
    EXPECT_TRUE(greyish(first.at(pillarBefore[0], pillarBefore[1]))) << text(first.at(pillarBefore[0], pillarBefore[1]));
    }
    if (!HasFailure())
        fs::remove_all(dir);
}

TEST(DemoOptions, BadOptionsAreRefusedWithTheReason)
{
    struct Case {
        const char* options;
        const char* says;
    };
    for (const Case& c : {Case{"--size 0x100", "--size"}, Case{"--size big", "--size"}, Case{"--frames 1", "--frames"},
                          Case{"--frames many", "--frames"}, Case{"--scene /nonexistent.mel", "no readable file"},
                          Case{"--scene /etc/hostname", "MEL script"}, Case{"--colour red", "unknown option"},
                          Case{"--frames", "needs a value"}, Case{"--out '/tmp/a\"b'", "double quote"}}) {
        int status = -1;
        const std::string out = runDemo(std::string("--check ") + c.options, &status);
        EXPECT_EQ(status, 2) << c.options << "\n" << out;
        EXPECT_NE(out.find(c.says), std::string::npos) << c.options << "\n" << out;
        EXPECT_NE(out.find("usage:"), std::string::npos) << c.options << "\n" << out;
    }
    int status = -1;
    runDemo("--check --frames 30 --size 640x360", &status);
    EXPECT_EQ(status, 0);
    const std::string help = runDemo("--help", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(help.find("usage:"), std::string::npos) << help;
}

} // namespace

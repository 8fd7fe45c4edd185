// The frame log: with KVT_FRAME_LOG naming a file the frame driver appends one line per
// frame with Maya's time, where the frame's time went and what the link did; without it,
// nothing is written.
#include "FrameFixture.h"

#include "link/Headers.h"
#include "viewport/FrameDriver.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

struct LogLine {
    unsigned long long frame = 0, start = 0, driver = 0, scene = 0, wait = 0, upload = 0;
    double time = -1;
    std::string link;
    int picture = -1, video = -1, material = -1;
};

std::vector<LogLine> readLog(const std::string& path, int* comments)
{
    std::vector<LogLine> lines;
    std::ifstream in(path);
    std::string text;
    *comments = 0;
    while (std::getline(in, text)) {
        if (!text.empty() && text[0] == '#') {
            ++*comments;
            continue;
        }
        std::istringstream row(text);
        LogLine l;
        row >> l.frame >> l.time >> l.start >> l.driver >> l.scene >> l.wait >> l.upload >> l.link >> l.picture >>
            l.video >> l.material;
        EXPECT_TRUE(row) << "malformed line: " << text;
        lines.push_back(l);
    }
    return lines;
}

class FrameLogTest : public Frames {
protected:
    void SetUp() override
    {
        Frames::SetUp();
        path = ::testing::TempDir() + "framelog_" + std::to_string(getpid()) + ".log";
        std::remove(path.c_str());
    }
    void TearDown() override
    {
        unsetenv(kFrameLogVariable);
        Frames::TearDown();
        std::remove(path.c_str());
    }
    std::string path;
};

TEST_F(FrameLogTest, OneLinePerFrameWithMayasTimeTheLinkStateAndTheWait)
{
    mel("polyCube -n logged; select -cl");
    mel("refresh"); // not logged: no file named
    setenv(kFrameLogVariable, path.c_str(), 1);
    mel("currentTime 3; refresh"); // the link is down
    TestResponder& u = startUnreal();
    mel("currentTime 4; refresh"); // claimed: a new session
    u.sendMaterial(u"/Game/M_Log");
    mel("currentTime 5; refresh");
    unsetenv(kFrameLogVariable);
    mel("currentTime 6; refresh"); // not logged any more

    int comments = 0;
    std::vector<LogLine> lines = readLog(path, &comments);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(comments, 1);
    EXPECT_EQ(lines[0].frame, 1u);
    EXPECT_EQ(lines[2].frame, 3u);
    EXPECT_EQ(lines[0].time, 3);
    EXPECT_EQ(lines[1].time, 4);
    EXPECT_EQ(lines[2].time, 5);
    EXPECT_EQ(lines[0].link, "down");
    EXPECT_EQ(lines[0].picture, 0);
    EXPECT_EQ(lines[0].wait, 0u);
    EXPECT_EQ(lines[1].link, "new");
    EXPECT_EQ(lines[1].picture, 1);
    EXPECT_EQ(lines[1].material, 0);
    EXPECT_EQ(lines[2].link, "connected");
    EXPECT_EQ(lines[2].material, 1);
    EXPECT_EQ(lines[2].video, 0);
    for (const LogLine& l : lines) {
        // The parts lie within the driver's whole time; the clock goes forward.
        EXPECT_LE(l.scene + l.wait + l.upload, l.driver) << l.frame;
    }
    EXPECT_LT(lines[0].start, lines[1].start);
    EXPECT_LT(lines[1].start, lines[2].start);
    // The frames after the claim waited for the responder's thread to answer.
    EXPECT_GT(lines[1].wait, 0u);
}

TEST_F(FrameLogTest, BusyFramesAndANewFileName)
{
    TestResponder& u = startUnreal();
    setenv(kFrameLogVariable, path.c_str(), 1);
    mel("refresh");
    // A request still outstanding when the next frame starts: Unreal is busy.
    u.paused = true;
    auto* req = reinterpret_cast<kvt::RequestHeader*>(u.link().request().view);
    auto* rsp = reinterpret_cast<kvt::ResponseHeader*>(u.link().response().view);
    const std::uint64_t counter = kvt::loadCounter(req) + 1;
    kvt::storeCounter(req, counter);
    const std::string other = path + ".other";
    std::remove(other.c_str());
    setenv(kFrameLogVariable, other.c_str(), 1);
    mel("refresh");
    kvt::storeCounter(rsp, counter);
    u.paused = false;
    mel("refresh");

    int comments = 0;
    std::vector<LogLine> first = readLog(path, &comments);
    std::vector<LogLine> second = readLog(other, &comments);
    std::remove(other.c_str());
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].link, "new");
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].frame, 1u) << "frames count from 1 in each file";
    EXPECT_EQ(second[0].link, "busy");
    EXPECT_EQ(second[0].picture, 0);
    EXPECT_EQ(second[0].wait, 0u);
    EXPECT_EQ(second[1].link, "connected");
    EXPECT_EQ(second[1].picture, 1);
}

} // namespace

// The README's "Check the installation" section, run as written under Windows. Each
// ```text <state> block there holds one `> kvt-inspect.exe …` command and lines its output
// must show (`<…>` stands for text that differs from run to run). The test sets up the
// state the block names with a real responder and requester in this process, runs the
// command through cmd.exe and checks the lines, so the README and the inspector cannot
// drift apart.

#include "InspectorCommand.h"

#include "link/Link.h"
#include "link/RecordWriter.h"
#include "link/ResponsePayload.h"

#include "ChildProcess.h"
#include "RunCommand.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <windows.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace kvt;

namespace {

struct Block {
    std::string state;
    std::string command;
    std::vector<std::string> expected;
    int line = 0;
};

std::string trim(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return "";
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

// The blocks of the section, in order. `error` names what is wrong with the section's form.
std::vector<Block> readSection(std::string& error)
{
    std::filesystem::path readme =
        std::filesystem::path(testsupport::siblingExecutable("inspect_test")).parent_path() / "README.md";
    std::ifstream in(readme);
    if (!in) {
        error = "cannot read " + readme.string();
        return {};
    }
    std::vector<Block> blocks;
    bool inSection = false, inBlock = false;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.rfind("## ", 0) == 0) {
            inSection = trim(line) == "## Check the installation";
            continue;
        }
        if (!inSection)
            continue;
        const std::string text = trim(line);
        if (!inBlock) {
            if (text.rfind("```text ", 0) == 0) {
                inBlock = true;
                blocks.push_back(Block{trim(text.substr(8)), "", {}, number});
            } else if (text.rfind("```", 0) == 0) {
                error = "README.md:" + std::to_string(number) + ": a block without a state (```text <state>)";
                return {};
            }
            continue;
        }
        if (text == "```") {
            inBlock = false;
            continue;
        }
        Block& block = blocks.back();
        if (block.command.empty()) {
            if (text.rfind("> kvt-inspect.exe", 0) != 0) {
                error = "README.md:" + std::to_string(number) + ": a block must start with \"> kvt-inspect.exe\"";
                return {};
            }
            block.command = text.substr(2);
        } else if (!text.empty()) {
            block.expected.push_back(text);
        }
    }
    if (blocks.empty())
        error = "README.md has no \"## Check the installation\" section with ```text blocks";
    return blocks;
}

// True when one line of `output` holds the literal parts of `expected` in order.
bool shows(const std::string& output, const std::string& expected)
{
    std::vector<std::string> parts;
    static const std::regex placeholder("<[^>]*>");
    std::sregex_token_iterator it(expected.begin(), expected.end(), placeholder, -1), end;
    for (; it != end; ++it)
        if (!it->str().empty())
            parts.push_back(it->str());
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        line = trim(line);
        std::size_t at = 0;
        bool all = true;
        for (std::size_t i = 0; i < parts.size() && all; ++i) {
            const std::string part = i == 0 ? trim(parts[i]) : parts[i];
            const std::size_t found = line.find(part, at);
            all = found != std::string::npos && (i != 0 || expected[0] == '<' || found == 0);
            at = found + part.size();
        }
        if (all)
            return true;
    }
    return false;
}

// The picture the responder sends: colour block row r (bottom first), column c:
// B = 10 c, G = 20 r, R = 77; depth c / (width - 1).
constexpr int kWidth = 12, kHeight = 6;

void answer(LinkResponder& unreal)
{
    if (!unreal.beginResponse()) {
        unreal.publishResponse();
        return;
    }
    SharedRegion& rsp = unreal.response();
    auto table = writeHandleTable(rsp, 0);
    const RequestHeader& req = *reinterpret_cast<const RequestHeader*>(unreal.request().view);
    if (table && req.pictureWanted) {
        auto blocks = writePictureBlocks(rsp, kWidth, kHeight);
        for (int r = 0; blocks && r < kHeight; ++r)
            for (int c = 0; c < kWidth; ++c) {
                std::uint8_t* px = rsp.view + blocks->colour + (r * kWidth + c) * 4;
                px[0] = std::uint8_t(10 * c);
                px[1] = std::uint8_t(20 * r);
                px[2] = 77;
                px[3] = 255;
                const float d = float(c) / float(kWidth - 1);
                std::memcpy(rsp.view + blocks->depth + (r * kWidth + c) * 4, &d, 4);
            }
    }
    unreal.publishResponse();
}

// One request as Maya's viewport makes it when it draws: no records, a picture wanted.
void ask(LinkRequester& maya)
{
    RequestHeader* req = maya.beginRequest();
    ASSERT_NE(req, nullptr);
    req->pictureWanted = 1;
    req->viewportWidth = kWidth;
    req->viewportHeight = kHeight;
    RecordWriter noRecords(maya.request());
    maya.publishRequest();
}

// The editor and Maya, live: the editor answers in a thread, Maya asks every 30 ms until
// `pause`, as a viewport that draws and then rests.
class LivePair {
public:
    LivePair(LinkResponder& unreal, LinkRequester& maya) : unreal_(unreal), maya_(maya)
    {
        editor_ = std::thread([this] {
            while (!stopEditor_) {
                if (unreal_.pollRequest())
                    answer(unreal_);
                else
                    Sleep(1);
            }
        });
        viewport_ = std::thread([this] {
            while (!stopViewport_) {
                if (maya_.isOurTurn() && !paused_) {
                    ask(maya_);
                    if (maya_.awaitResponse() == LinkRequester::AwaitResult::Reply)
                        ++frames_;
                }
                Sleep(30);
            }
        });
    }
    ~LivePair()
    {
        stopViewport_ = true;
        viewport_.join();
        stopEditor_ = true;
        editor_.join();
    }
    int frames() const { return frames_; }
    void pause() { paused_ = true; }
    // True once Maya stands still with its last request answered.
    bool rested() { return paused_ && maya_.isOurTurn(); }

private:
    LinkResponder& unreal_;
    LinkRequester& maya_;
    std::atomic<bool> stopEditor_{false}, stopViewport_{false}, paused_{false};
    std::atomic<int> frames_{0};
    std::thread editor_, viewport_;
};

bool waitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 500 && !condition(); ++i)
        Sleep(10);
    return condition();
}

// The folder the README's picture command names, on the prefix's drive C:. Removed with
// what the inspector writes into it; the test refuses to run over a folder it did not make.
struct PictureFolder {
    std::filesystem::path path;
    bool existed;
    explicit PictureFolder(const std::string& name) : path(name), existed(std::filesystem::exists(path)) {}
    ~PictureFolder()
    {
        std::error_code ignored;
        if (!existed)
            std::filesystem::remove_all(path, ignored);
    }
};

void checkPicture(const std::string& folder)
{
    int w = 0, h = 0, n = 0;
    unsigned char* colour = stbi_load((folder + "\\colour.png").c_str(), &w, &h, &n, 3);
    ASSERT_NE(colour, nullptr) << "colour.png does not decode";
    std::unique_ptr<unsigned char, void (*)(void*)> colourOwner(colour, stbi_image_free);
    ASSERT_EQ(w, kWidth);
    ASSERT_EQ(h, kHeight);
    unsigned char* depth = stbi_load((folder + "\\depth.png").c_str(), &w, &h, &n, 1);
    ASSERT_NE(depth, nullptr) << "depth.png does not decode";
    std::unique_ptr<unsigned char, void (*)(void*)> depthOwner(depth, stbi_image_free);
    ASSERT_EQ(w, kWidth);
    ASSERT_EQ(h, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const int blockRow = kHeight - 1 - y; // the picture's top row is the last block row
            const unsigned char* rgb = colour + (y * kWidth + x) * 3;
            EXPECT_EQ(rgb[0], 77);
            EXPECT_EQ(rgb[1], 20 * blockRow);
            EXPECT_EQ(rgb[2], 10 * x);
            EXPECT_EQ(depth[y * kWidth + x], std::lround((1.0 - double(x) / (kWidth - 1)) * 255.0));
        }
}

const std::set<std::string> kStates = {"created", "live", "picture", "missing", "maya-gone", "stalled",
                                       "editor-closed", "malformed"};

// Sets up the state `block` names, runs its command and checks the output it shows.
void runBlock(const Block& block)
{
    // The plug-ins' names with a suffix of this run's own, as KVT_REGION_SUFFIX makes them.
    const std::string suffix = testsupport::uniqueName("-readme");
    testsupport::ScopedEnvironment environment("KVT_REGION_SUFFIX", suffix);
    const RegionNames names = RegionNames::suffixed(suffix);
    std::unique_ptr<LinkResponder> unreal;
    std::unique_ptr<LinkRequester> maya;
    std::unique_ptr<LivePair> live;
    std::unique_ptr<PictureFolder> folder;
    if (block.state != "missing") {
        unreal = std::make_unique<LinkResponder>(names);
        ASSERT_TRUE(unreal->createRegions());
    }
    if (block.state != "missing" && block.state != "created") {
        maya = std::make_unique<LinkRequester>(nullptr, names);
        ASSERT_EQ(maya->connect(), LinkRequester::ConnectResult::Connected);
    }
    if (block.state == "live" || block.state == "picture") {
        live = std::make_unique<LivePair>(*unreal, *maya);
        ASSERT_TRUE(waitFor([&] { return live->frames() >= 3; })) << "the live pair made no frames";
    }
    if (block.state == "picture") {
        live->pause();
        ASSERT_TRUE(waitFor([&] { return live->rested(); }));
        const std::size_t at = block.command.find("--picture ");
        ASSERT_NE(at, std::string::npos);
        folder = std::make_unique<PictureFolder>(trim(block.command.substr(at + 10)));
        ASSERT_FALSE(folder->existed) << folder->path.string() << " exists already: not overwriting it";
    }
    if (block.state == "maya-gone") {
        ask(*maya);
        ASSERT_TRUE(unreal->pollRequest());
        answer(*unreal);
        // Maya's process ended while it held the link: an owner pid nobody runs.
        testsupport::ChildProcess ended;
        ASSERT_TRUE(ended.start(testsupport::siblingExecutable("kvt-inspect"), {"--no-such-option"}));
        ASSERT_EQ(ended.wait(), 64);
        maya->requestHeader()->ownerPid = ended.pid();
    }
    if (block.state == "stalled")
        ask(*maya);
    if (block.state == "editor-closed") {
        ask(*maya);
        unreal->announceShutdown();
    }
    if (block.state == "malformed") {
        RequestHeader* req = maya->beginRequest();
        ASSERT_NE(req, nullptr);
        req->firstRecord = 0x7FFFFF00;
        maya->publishRequest();
    }
    
    int status = -1;
    ASSERT_EQ(inspector(), "kvt-inspect.exe"); // and the working folder is the one that holds it
    std::string output = testsupport::runCommand(block.command, &status);
    // The user's names carry no suffix.
    for (std::size_t at; (at = output.find(suffix)) != std::string::npos;)
        output.erase(at, suffix.size());
    EXPECT_EQ(status, block.state == "missing" ? 1 : 0) << output;
    for (const std::string& expected : block.expected)
        EXPECT_TRUE(shows(output, expected)) << "the output does not show: " << expected << "\n" << output;
    
    if (block.state == "live") {
        // Three reports of Maya's claim, frame numbers growing (a request shows twice at
        // most: outstanding, then answered): frames move.
        std::regex report("Request   frame ([0-9]+) .* owner pid ([0-9]+) \\(running\\)");
        std::vector<long> frames;
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);) {
            std::smatch m;
            if (std::regex_search(line, m, report)) {
                frames.push_back(std::stol(m[1]));
                EXPECT_EQ(std::stoul(m[2]), GetCurrentProcessId()) << "the owner is not the claiming process";
            }
        }
        ASSERT_EQ(frames.size(), 3u) << output;
        EXPECT_LE(frames[0], frames[1]);
        EXPECT_LE(frames[1], frames[2]);
        EXPECT_LT(frames[0], frames[2]);
    }
    if (block.state == "picture")
        checkPicture(folder->path.string());
}

TEST(ReadmeCheck, EveryInspectorCommandShowsWhatTheReadmeSays)
{
    std::string error;
    const std::vector<Block> blocks = readSection(error);
    ASSERT_TRUE(error.empty()) << error;
    std::set<std::string> seen;
    for (const Block& block : blocks) {
        SCOPED_TRACE("README.md:" + std::to_string(block.line) + " (" + block.state + "): " + block.command);
        ASSERT_TRUE(kStates.count(block.state)) << "no such state: " << block.state;
        ASSERT_FALSE(block.command.empty()) << "the block has no command";
        seen.insert(block.state);
        runBlock(block);
    }
    for (const std::string& state : kStates)
        EXPECT_TRUE(seen.count(state)) << "the README shows no " << state << " block";
}

TEST(ReadmeCheck, MatchesPlaceholdersWithinOneLine)
{
    EXPECT_TRUE(shows("Request   frame 7  view 176 bytes  owner pid 12 (running)\n",
                      "Request   frame <n>  view <n> bytes  owner pid <pid> (running)"));
    EXPECT_FALSE(shows("Request   frame 7  view 176 bytes  owner pid 12 (not running)\n",
                       "Request   frame <n>  view <n> bytes  owner pid <pid> (running)"));
    EXPECT_FALSE(shows("Request   frame 7\nowner pid 12 (running)\n", "Request   frame <n> <x> owner pid <pid> (running)"));
    EXPECT_TRUE(shows("  the responder has shut down\n", "  the responder has shut down"));
    EXPECT_FALSE(shows("x  the responder has shut down\n", "the responder has shut down"));
}

} // namespace

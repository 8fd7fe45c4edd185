// Faults between the two programs, nothing lost: the editor killed in the middle of a
// frame or quitting while Maya idles, Maya killed in the middle of a request, a second
// Maya while the first lives, and the video producer coming, changing size and going.
//
// The mirror's state is judged from outside, by what Maya's saved picture shows: every
// object of Maya's scene at the pixels Maya's projection gives, in its Unreal material's
// colour, and nothing where an object no longer is. Maya's own drawing (when the link is
// down) is told apart by the Maya shaders' colours, which differ from the Unreal ones.
#include "Mirror.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace e2e;

namespace {

// Maya's own colours for the two tagged shading engines, bright enough under the sky
// light's 0.01: green for the red-tagged one, blue for the grey-tagged one.
const char* const kMayaGreen = "10 70 10";
const char* const kMayaBlue = "10 10 70";

CameraAttributes viewCamera()
{
    CameraAttributes c;
    c.translate = {0, 4, 14};
    c.rotate = {-15, 0, 0};
    return c;
}

std::string sceneMel()
{
    return newSceneMel() + taggedMaterialMel("red", kRed, kMayaGreen) + taggedMaterialMel("grey", kGrey, kMayaBlue) +
           viewCamera().mel("persp", "perspShape") + " lookThru persp;";
}

PixelPos front(Vec3 c) { return MayaCamera(viewCamera(), kWidth, kHeight).project({c[0], c[1], c[2] + 1}); }

// What a cube's front face shows.
enum class Seen { Unreal, MayaOwn, Other };
Seen seen(const Picture& p, Vec3 c, const Material& m)
{
    PixelPos at = front(c);
    if (blockShows(p, at, unrealColour(m))) return Seen::Unreal;
    Rgb px = p.at(at.ix(), at.iy());
    // Maya's lambert: green or blue well above the other channels.
    int own = &m == &kRed ? px[1] : px[2];
    if (own > 60 && own > px[0] + 40 && own > (&m == &kRed ? px[2] : px[1]) + 40) return Seen::MayaOwn;
    return Seen::Other;
}

class Faults : public ::testing::Test {
protected:
    void SetUp() override { suffix = useFreshRegionNames("E2eFault"); }
    void TearDown() override
    {
        for (auto& m : mayas) expectNoSanitizerReport(m->program(), "maya");
        for (auto& e : editors) expectNoSanitizerReport(e->program(), "ue4editor");
        for (auto& m : mayas) m->kill();
        for (auto& e : editors) e->quit();
        removeRegionNames();
    }
    Editor& startEditor()
    {
        editors.push_back(std::make_unique<Editor>());
        EXPECT_TRUE(editors.back()->start()) << editors.back()->program().output();
        return *editors.back();
    }
    // Each Maya keeps the frame driver's log (KVT_FRAME_LOG): one line per viewport frame
    // with what the link did in it.
    Maya& startMaya()
    {
        mayas.push_back(std::make_unique<Maya>());
        logs.push_back(tempDir() + "frames_" + suffix + "_" + std::to_string(logs.size()) + ".log");
        setenv("KVT_FRAME_LOG", logs.back().c_str(), 1);
        EXPECT_TRUE(mayas.back()->start(kWidth, kHeight)) << mayas.back()->program().output();
        unsetenv("KVT_FRAME_LOG");
        return *mayas.back();
    }
    // The link states of a Maya's frames so far ("new", "connected", "busy", "lost",
    // "down", "refused").
    std::vector<std::string> linkStates(const Maya& maya) const
    {
        std::vector<std::string> states;
        for (size_t i = 0; i < mayas.size(); ++i) {
            if (mayas[i].get() != &maya) continue;
            std::ifstream in(logs[i]);
            std::string line;
            while (std::getline(in, line)) {
                if (line.empty() || line[0] == '#') continue;
                std::istringstream fields(line);
                std::string field;
                for (int f = 0; f < 8 && fields >> field; ++f) {
                }
                states.push_back(field);
            }
        }
        return states;
    }
    static size_t count(const std::vector<std::string>& states, const std::string& state, size_t from = 0)
    {
        size_t n = 0;
        for (size_t i = from; i < states.size(); ++i) n += states[i] == state;
        return n;
    }
    static std::string joined(const std::vector<std::string>& states, size_t from = 0)
    {
        std::string out;
        for (size_t i = from; i < states.size(); ++i) out += (i + 1 < states.size() && states[i] == states[i + 1]) ? "" : states[i] + " ";
        return out;
    }
    static void run(Maya& maya, const std::string& mel)
    {
        std::string out = maya.mel(mel);
        EXPECT_EQ(out.find("Error"), std::string::npos) << mel << "\n" << out;
    }
    // Draws frames until `done` holds for the saved picture (bounded); the last picture.
    template <class Done>
    Picture until(Maya& maya, const std::string& name, Done done, int attempts = 400)
    {
        Picture p;
        for (int i = 0; i < attempts; ++i) {
            maya.mel("refresh");
            if (!Picture::read(maya.picture(name), p)) continue;
            if (done(p)) return p;
            usleep(20000);
        }
        return p;
    }
    // Waits until the link is in the middle of a frame: Maya has published, Unreal has
    // not answered. False if that was not seen (the caller then acts anyway).
    static bool midFrame()
    {
        for (int i = 0; i < 200000; ++i) {
            LinkState s = linkState();
            if (s.present && s.requestFrame != s.responseFrame && s.ownerPid != 0) return true;
            usleep(50);
        }
        return false;
    }

    std::string suffix;
    std::vector<std::unique_ptr<Editor>> editors;
    std::vector<std::unique_ptr<Maya>> mayas;
    std::vector<std::string> logs;
    const Vec3 a{-2.5, 1, 0}, b{2.5, 1, 0};
};

TEST_F(Faults, EditorKilledMidFrameThenMayaDrawsItsOwnAndTheNextEditorGetsTheWholeScene)
{
    Editor& first = startEditor();
    Maya& maya = startMaya();
    run(maya, sceneMel() + cubeMel("redBox", a, 2, "redSG") + cubeMel("greyBox", b, 2, "greySG"));
    Picture p = until(maya, "before", [&](const Picture& p) { return seen(p, a, kRed) == Seen::Unreal; });
    ASSERT_EQ(seen(p, a, kRed), Seen::Unreal) << describe(p, front(a));
    ASSERT_EQ(seen(p, b, kGrey), Seen::Unreal) << describe(p, front(b));

    // Maya draws frames on its idle timer meanwhile; kill the editor while one is out.
    EXPECT_TRUE(midFrame()) << "no frame was seen in flight";
    const size_t beforeKill = linkStates(maya).size();
    first.program().signal(SIGKILL);
    EXPECT_EQ(first.program().wait(kCommandMs), 128 + SIGKILL);
    auto killed = std::chrono::steady_clock::now();
    p = until(maya, "down", [&](const Picture& p) { return seen(p, a, kRed) == Seen::MayaOwn; });
    EXPECT_EQ(seen(p, a, kRed), Seen::MayaOwn) << "Maya does not draw its own scene: " << describe(p, front(a));
    EXPECT_EQ(seen(p, b, kGrey), Seen::MayaOwn) << describe(p, front(b));
    std::printf("Maya drew its own scene %.2f s after the kill\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - killed).count());
    // The driver let the link go (a frame ended "lost") and then found no editor.
    std::vector<std::string> states = linkStates(maya);
    EXPECT_GE(count(states, "lost", beforeKill), 1u) << joined(states, beforeKill);
    EXPECT_GE(count(states, "down", beforeKill), 1u) << joined(states, beforeKill);
    // The killed editor's names are still there.
    EXPECT_GT(regionFileBytes("KVTRequest"), 0u);
    const size_t beforeSecond = linkStates(maya).size();

    // Edits while the link is down: the red cube moves, the grey one goes, a new grey one
    // comes. (The engine's default material is grey too: the moved cube is the red one,
    // so that a material lost on the way would show.)
    const Vec3 c{0, 1, 4}, d{0, 3, -1};
    run(maya, "setAttr redBox.translate 0 1 4; delete greyBox;" + cubeMel("newBox", d, 2, "greySG"));
    Editor& second = startEditor();
    p = until(maya, "after", [&](const Picture& p) { return seen(p, d, kGrey) == Seen::Unreal; });
    EXPECT_EQ(seen(p, d, kGrey), Seen::Unreal) << "the new editor's picture is missing: " << describe(p, front(d));
    EXPECT_EQ(seen(p, c, kRed), Seen::Unreal) << "moved cube: " << describe(p, front(c));
    EXPECT_NE(seen(p, b, kGrey), Seen::Unreal) << "deleted cube still mirrored: " << describe(p, front(b));
    EXPECT_NE(seen(p, a, kRed), Seen::Unreal) << "the moved cube's old place: " << describe(p, front(a));
    LinkState s = linkState();
    EXPECT_EQ(s.ownerPid, static_cast<std::uint32_t>(maya.pid()));
    EXPECT_EQ(s.responderPid, static_cast<std::uint32_t>(second.pid()));
    // Claimed afresh: one frame of a new session, the rest connected.
    states = linkStates(maya);
    EXPECT_EQ(count(states, "new", beforeSecond), 1u) << joined(states, beforeSecond);
    EXPECT_GE(count(states, "connected", beforeSecond), 1u) << joined(states, beforeSecond);
}

TEST_F(Faults, EditorQuittingWhileMayaIdlesIsNoticedAndTheNextEditorIsClaimedAfresh)
{
    Editor& first = startEditor();
    Maya& maya = startMaya();
    run(maya, sceneMel() + cubeMel("redBox", a, 2, "redSG") + cubeMel("greyBox", b, 2, "greySG"));
    Picture p = until(maya, "before", [&](const Picture& p) { return seen(p, a, kRed) == Seen::Unreal; });
    ASSERT_EQ(seen(p, a, kRed), Seen::Unreal) << describe(p, front(a));

    const size_t beforeQuit = linkStates(maya).size();
    EXPECT_TRUE(first.quit()) << first.program().output();
    EXPECT_EQ(first.program().wait(0), 0);
    EXPECT_EQ(regionFileBytes("KVTRequest"), 0u) << "the quitting editor left its names";
    p = until(maya, "down", [&](const Picture& p) { return seen(p, a, kRed) == Seen::MayaOwn; });
    EXPECT_EQ(seen(p, a, kRed), Seen::MayaOwn) << describe(p, front(a));

    std::vector<std::string> states = linkStates(maya);
    EXPECT_GE(count(states, "down", beforeQuit), 1u) << joined(states, beforeQuit);
    EXPECT_EQ(count(states, "new", beforeQuit), 0u) << joined(states, beforeQuit);
    const size_t beforeSecond = states.size();
    // The new editor starts empty: the cubes come back only through a new session's resend.
    Editor& second = startEditor();
    // Unclaimed, or already claimed by this Maya: its idle redraw may come first.
    const std::uint32_t owner = linkState().ownerPid;
    EXPECT_TRUE(owner == 0u || owner == static_cast<std::uint32_t>(maya.pid())) << owner;
    p = until(maya, "after", [&](const Picture& p) { return seen(p, a, kRed) == Seen::Unreal; });
    EXPECT_EQ(seen(p, a, kRed), Seen::Unreal) << describe(p, front(a));
    EXPECT_EQ(seen(p, b, kGrey), Seen::Unreal) << describe(p, front(b));
    LinkState s = linkState();
    EXPECT_EQ(s.ownerPid, static_cast<std::uint32_t>(maya.pid()));
    EXPECT_EQ(s.responderPid, static_cast<std::uint32_t>(second.pid()));
    states = linkStates(maya);
    EXPECT_EQ(count(states, "new", beforeSecond), 1u) << joined(states, beforeSecond);
}

TEST_F(Faults, MayaKilledMidRequestThenUnrealFinishesIdlesAndTheNextMayaTakesOver)
{
    Editor& editor = startEditor();
    Maya& first = startMaya();
    run(first, sceneMel() + cubeMel("redBox", a, 2, "redSG"));
    Picture p = until(first, "first", [&](const Picture& p) { return seen(p, a, kRed) == Seen::Unreal; });
    ASSERT_EQ(seen(p, a, kRed), Seen::Unreal) << describe(p, front(a));

    EXPECT_TRUE(midFrame()) << "no request was seen in flight";
    first.kill();
    // Unreal answers the last request and then waits: the counters meet and stay.
    LinkState s;
    for (int i = 0; i < 3000; ++i) {
        s = linkState();
        if (s.requestFrame == s.responseFrame) break;
        usleep(10000);
    }
    EXPECT_EQ(s.requestFrame, s.responseFrame) << "Unreal never finished the dead Maya's request";
    usleep(200000);
    LinkState later = linkState();
    EXPECT_EQ(later.requestFrame, s.requestFrame);
    EXPECT_EQ(later.responseFrame, s.responseFrame);
    std::string stats = editor.command("stat tickables", "Frames");
    EXPECT_NE(stats.find("Frames"), std::string::npos) << "the editor no longer answers: " << editor.program().output();
    EXPECT_TRUE(editor.program().running());

    // The next Maya has only a grey cube elsewhere: the dead one's red cube is dropped.
    Maya& second = startMaya();
    run(second, sceneMel() + cubeMel("greyBox", b, 2, "greySG"));
    p = until(second, "second", [&](const Picture& p) { return seen(p, b, kGrey) == Seen::Unreal; });
    EXPECT_EQ(seen(p, b, kGrey), Seen::Unreal) << describe(p, front(b));
    EXPECT_NE(seen(p, a, kRed), Seen::Unreal) << "the dead Maya's cube survived the new session: " << describe(p, front(a));
    EXPECT_EQ(linkState().ownerPid, static_cast<std::uint32_t>(second.pid()));
    std::vector<std::string> states = linkStates(second);
    EXPECT_EQ(count(states, "new"), 1u) << joined(states);
    EXPECT_EQ(count(states, "refused"), 0u) << joined(states);
}

// Holds the editor stopped (SIGSTOP) while it lives: a request it has been given stays
// unanswered, as behind a slow frame; it runs again at resume() or at the end.
class HeldEditor {
public:
    explicit HeldEditor(pid_t pid) : pid_(pid) { ::kill(pid_, SIGSTOP); }
    ~HeldEditor() { resume(); }
    HeldEditor(const HeldEditor&) = delete;
    HeldEditor& operator=(const HeldEditor&) = delete;
    void resume()
    {
        if (pid_ > 0) ::kill(pid_, SIGCONT);
        pid_ = -1;
    }

private:
    pid_t pid_;
};

// A Maya dies while the editor still works on its request, and the next Maya claims the
// link in frames that find the editor busy: when the editor comes back, the new Maya's
// first request is a new session, and the mirror holds its scene only.
TEST_F(Faults, MayaKilledWhileTheEditorIsSlowThenTheNextMayaReplacesItsScene)
{
    Editor& editor = startEditor();
    Maya& first = startMaya();
    run(first, sceneMel() + cubeMel("redBox", a, 2, "redSG"));
    Picture p = until(first, "first", [&](const Picture& p) { return seen(p, a, kRed) == Seen::Unreal; });
    ASSERT_EQ(seen(p, a, kRed), Seen::Unreal) << describe(p, front(a));

    HeldEditor held(editor.pid());
    // Maya's idle redraw publishes a request that the stopped editor does not answer.
    EXPECT_TRUE(midFrame()) << "no request was seen in flight";
    first.kill();

    Maya& second = startMaya();
    run(second, sceneMel() + cubeMel("greyBox", b, 2, "greySG"));
    second.mel("refresh");
    EXPECT_EQ(linkState().ownerPid, static_cast<std::uint32_t>(second.pid())) << "the claim was not made while busy";
    held.resume();

    p = until(second, "second", [&](const Picture& p) { return seen(p, b, kGrey) == Seen::Unreal; });
    EXPECT_EQ(seen(p, b, kGrey), Seen::Unreal) << describe(p, front(b));
    EXPECT_NE(seen(p, a, kRed), Seen::Unreal) << "the dead Maya's cube is still mirrored: " << describe(p, front(a));
    std::vector<std::string> states = linkStates(second);
    EXPECT_EQ(count(states, "new"), 1u) << joined(states);
}

TEST_F(Faults, SecondMayaIsRefusedWithoutDisturbingTheFirstAndTakesOverWhenItDies)
{
    startEditor();
    Maya& first = startMaya();
    run(first, sceneMel() + cubeMel("redBox", a, 2, "redSG"));
    Picture p = until(first, "first", [&](const Picture& p) { return seen(p, a, kRed) == Seen::Unreal; });
    ASSERT_EQ(seen(p, a, kRed), Seen::Unreal) << describe(p, front(a));

    Maya& second = startMaya();
    run(second, sceneMel() + cubeMel("greyBox", b, 2, "greySG"));
    for (int frame = 0; frame < 5; ++frame) {
        p = readPicture(second.picture("second"));
        EXPECT_EQ(seen(p, b, kGrey), Seen::MayaOwn) << "the second Maya got a picture: " << describe(p, front(b));
        p = readPicture(first.picture("first"));
        EXPECT_EQ(seen(p, a, kRed), Seen::Unreal) << describe(p, front(a));
        EXPECT_NE(seen(p, b, kGrey), Seen::Unreal) << "the second Maya's cube reached the mirror: " << describe(p, front(b));
        EXPECT_EQ(linkState().ownerPid, static_cast<std::uint32_t>(first.pid()));
    }
    // The first keeps editing undisturbed.
    const Vec3 moved{-1, 2, 1};
    run(first, "setAttr redBox.translate -1 2 1;");
    p = readPicture(first.picture("firstMoved"));
    EXPECT_EQ(seen(p, moved, kRed), Seen::Unreal) << describe(p, front(moved));

    std::vector<std::string> states = linkStates(second);
    EXPECT_GE(count(states, "refused"), 5u) << joined(states);
    EXPECT_EQ(count(states, "new") + count(states, "connected"), 0u) << joined(states);
    const size_t beforeTakeOver = states.size();
    states = linkStates(first);
    EXPECT_EQ(count(states, "new"), 1u) << joined(states);
    EXPECT_EQ(count(states, "refused") + count(states, "lost"), 0u) << joined(states);
    // When the owner dies, the other takes the link over with its own scene.
    first.kill();
    p = until(second, "takeover", [&](const Picture& p) { return seen(p, b, kGrey) == Seen::Unreal; });
    EXPECT_EQ(seen(p, b, kGrey), Seen::Unreal) << describe(p, front(b));
    EXPECT_NE(seen(p, moved, kRed), Seen::Unreal) << describe(p, front(moved));
    EXPECT_EQ(linkState().ownerPid, static_cast<std::uint32_t>(second.pid()));
    states = linkStates(second);
    EXPECT_EQ(count(states, "new", beforeTakeOver), 1u) << joined(states, beforeTakeOver);
}

TEST_F(Faults, VideoProducerAppearsChangesSizeAndDisappears)
{
    startEditor();
    Maya& maya = startMaya();
    run(maya, sceneMel() + cubeMel("redBox", a, 2, "redSG") + cubeMel("greyBox", b, 2, "greySG"));
    Picture p = until(maya, "plain", [&](const Picture& p) { return seen(p, b, kGrey) == Seen::Unreal; });
    ASSERT_EQ(seen(p, b, kGrey), Seen::Unreal) << describe(p, front(b));
    ASSERT_LT(front(a).x, kWidth / 2);
    ASSERT_GT(front(b).x, kWidth / 2);

    // Left half keyed green (Unreal shows through), right half colour bars over the grey cube.
    auto keyed = [&](const Picture& p, Vec3 red) {
        Rgb right = p.at(front(b).ix(), front(b).iy());
        return seen(p, red, kRed) == Seen::Unreal && seen(p, b, kGrey) != Seen::Unreal && right[0] + right[1] + right[2] > 150;
    };
    // The producer comes and changes its frame size every 5 ms, in turn.
    Program producer;
    ASSERT_TRUE(producer.start(VIDEO_PRODUCER, {"--pattern", "green", "--sizes", "64x48,200x90,33x17", "--interval", "5",
                                                "--frames", "0"},
                               false));
    ASSERT_NE(producer.waitFor("ready", 0, kStartMs), std::string::npos) << producer.output();
    for (int frame = 0; frame < 10; ++frame) {
        p = until(maya, "video", [&](const Picture& p) { return keyed(p, a); }, 50);
        EXPECT_TRUE(keyed(p, a)) << describe(p, front(a)) << ", " << describe(p, front(b));
    }
    // It goes. The region stays open in Maya once opened and holds the last frame: Maya
    // goes on drawing Unreal's live picture through it.
    producer.signal(SIGTERM);
    EXPECT_GE(producer.wait(kCommandMs), 0);
    const Vec3 moved{-3.5, 3, -1};
    run(maya, "setAttr redBox.translate -3.5 3 -1;");
    p = until(maya, "gone", [&](const Picture& p) { return keyed(p, moved); });
    EXPECT_TRUE(keyed(p, moved)) << describe(p, front(moved)) << ", " << describe(p, front(b));
    EXPECT_NE(seen(p, a, kRed), Seen::Unreal) << describe(p, front(a));
}

} // namespace

namespace {

// Maya keeps the video region open once it has opened it. On Windows that handle keeps the
// named mapping alive, so a producer that starts again opens the same mapping and its
// frames reach Maya; the next producer's frames must show here too.
TEST_F(Faults, VideoProducerThatComesAgainIsShown)
{
    startEditor();
    Maya& maya = startMaya();
    run(maya, sceneMel() + cubeMel("redBox", a, 2, "redSG"));
    Picture p = until(maya, "plain", [&](const Picture& p) { return seen(p, a, kRed) == Seen::Unreal; });
    ASSERT_EQ(seen(p, a, kRed), Seen::Unreal) << describe(p, front(a));
    {
        Program green;
        ASSERT_TRUE(green.start(VIDEO_PRODUCER, {"--pattern", "green", "--size", "64x48", "--frames", "0"}, false));
        ASSERT_NE(green.waitFor("ready", 0, kStartMs), std::string::npos) << green.output();
        p = until(maya, "green", [&](const Picture& p) { return seen(p, a, kRed) == Seen::Unreal; });
        ASSERT_EQ(seen(p, a, kRed), Seen::Unreal) << describe(p, front(a));
        green.signal(SIGTERM);
        green.wait(kCommandMs);
    }
    // Colour bars only: nothing keyed, the red cube's place shows a bar.
    Program bars;
    ASSERT_TRUE(bars.start(VIDEO_PRODUCER, {"--pattern", "bars", "--size", "64x48", "--frames", "0"}, false));
    ASSERT_NE(bars.waitFor("ready", 0, kStartMs), std::string::npos) << bars.output();
    p = until(maya, "bars", [&](const Picture& p) { return seen(p, a, kRed) != Seen::Unreal; });
    EXPECT_NE(seen(p, a, kRed), Seen::Unreal) << "the new producer's frame is not shown: " << describe(p, front(a));
    bars.signal(SIGTERM);
    bars.wait(kCommandMs);
}

} // namespace

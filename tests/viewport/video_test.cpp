// Live video from "DeckLink" keyed over the picture: pixels read back from the target
// where each band of the video frame lands.
#include "FrameFixture.h"

#include "link/SharedRegion.h"

#include <cmath>
#include <cstring>

namespace {

struct Rgba {
    double r, g, b;
};

// The outside producer: a region with width, height and RGBA rows, bottom row first.
// One for the whole process, as a capture program runs beside Maya: the plug-in keeps the
// region it opened.
class VideoProducer {
public:
    VideoProducer() { EXPECT_TRUE(region.open(("DeckLink" + regionSuffix()).c_str(), 1u << 24, 1u << 24)); }
    // One row of bands, repeated over `rows` rows.
    void frame(const std::vector<Rgba>& bands, std::uint32_t bandWidth, std::uint32_t rows)
    {
        std::uint32_t width = static_cast<std::uint32_t>(bands.size()) * bandWidth;
        std::memcpy(region.view, &width, 4);
        std::memcpy(region.view + 4, &rows, 4);
        for (std::uint32_t y = 0; y < rows; ++y)
            for (std::uint32_t x = 0; x < width; ++x) {
                const Rgba& c = bands[x / bandWidth];
                std::uint8_t* p = region.view + 8 + (std::size_t(y) * width + x) * 4;
                p[0] = static_cast<std::uint8_t>(byte(c.r));
                p[1] = static_cast<std::uint8_t>(byte(c.g));
                p[2] = static_cast<std::uint8_t>(byte(c.b));
                p[3] = 255;
            }
    }
    void empty()
    {
        std::memset(region.view, 0, 8);
    }
    kvt::SharedRegion region;
};

// What the key gives for a video colour over a picture colour (8-bit video, as sampled).
Rgb keyed(const Rgba& video, const Rgb& picture)
{
    double r = byte(video.r) / 255.0, g = byte(video.g) / 255.0, b = byte(video.b) / 255.0;
    double dist = std::fmin(std::fmax(100.0 * (0.3 - std::fabs(r - b)), 0.0), 1.0);
    double alpha = std::fmin(std::fmax((g - std::fmax(r, b) - 0.07) * 1000.0, 0.0), 1.0);
    double k = alpha * dist;
    return {byte(r * (1 - k) + picture[0] / 255.0 * k), byte(g * (1 - k) + picture[1] / 255.0 * k),
            byte(b * (1 - k) + picture[2] / 255.0 * k)};
}

const std::vector<Rgba> kBands = {
    {0, 1, 0},          // pure green: the picture
    {1, 1, 1},          // white: the video
    {0.2, 0.3, 0.2},    // dark green, 0.03 over the threshold: the picture
    {0.2, 0.25, 0.2},   // under the threshold: the video
    {0, 1, 0.28},       // red and blue 0.28 apart: still keyed
    {0, 1, 0.295},      // 0.295 apart: half keyed
    {0, 1, 0.32},       // beyond 0.3: the video
    {1, 0, 0},          // red: the video
};

// Each band covers kWidth / bands pixels; its middle is sampled exactly.
void expectBands(const Picture& p, const std::vector<Rgba>& bands, const Rgb& picture, const char* what)
{
    const int bandPixels = kWidth / static_cast<int>(bands.size());
    for (std::size_t i = 0; i < bands.size(); ++i) {
        Rgb want = keyed(bands[i], picture);
        for (int y : {kHeight / 4, kHeight * 3 / 4}) {
            Rgb got = p.at(static_cast<int>(i) * bandPixels + bandPixels / 2, y);
            EXPECT_TRUE(close(got, want, 2)) << what << ": band " << i << " row " << y << " is " << text(got)
                                             << ", expected " << text(want);
        }
    }
}

class Video : public Frames {
protected:
    void SetUp() override
    {
        Frames::SetUp();
        mel("modelEditor -e -grid 0 -manipulators 0 modelPanel4");
    }
    void TearDown() override
    {
        producer->empty();
        Frames::TearDown();
    }
    VideoProducer* producer = [] {
        static VideoProducer shared;
        return &shared;
    }();
};

TEST_F(Video, GreenOfTheVideoShowsTheUnrealPicture)
{
    TestResponder& u = startUnreal();
    u.quadHalf = 0; // the whole picture is the responder's background
    producer->frame(kBands, 4, 2);
    mel("refresh");
    ASSERT_EQ(u.frameCount(), 1u);
    expectBands(Picture::presented(), kBands, rgbOf(u.backColour), "over the picture");
}

TEST_F(Video, WithoutUnrealTheKeyedAreasAreBlack)
{
    // Maya's own scene under every band: a lit floor and a cube.
    mel("polyPlane -w 1000 -h 1000; polyCube -w 4 -h 4 -d 4; select -cl; refresh");
    Picture own = Picture::presented();
    for (int x = 20; x < kWidth; x += 40)
        EXPECT_GT(own.at(x, kHeight / 4)[0], 10) << "the floor at " << x;
    producer->frame(kBands, 4, 2);
    mel("refresh");
    expectBands(Picture::presented(), kBands, {0, 0, 0}, "link down");

    // An empty frame draws nothing of the video: Maya's scene shows.
    producer->empty();
    mel("refresh");
    Picture p = Picture::presented();
    Projector cam = defaultPersp(kWidth, kHeight);
    auto at = cam.pixel({0.5, 2, 0.5});
    Rgb top = p.at(at[0], at[1]);
    EXPECT_GT(top[0], 40) << "cube's top face: " << text(top);
    EXPECT_FALSE(close(p.at(2, 2), {255, 255, 255}, 2)) << "video still shown: " << text(p.at(2, 2));
}

TEST_F(Video, ANewVideoSizeIsShownWholeAtOnce)
{
    TestResponder& u = startUnreal();
    u.quadHalf = 0;
    producer->frame(kBands, 4, 2);
    mel("refresh");
    expectBands(Picture::presented(), kBands, rgbOf(u.backColour), "first size");
    // Four bands three times as wide, eight rows: another texture size.
    const std::vector<Rgba> four = {{1, 1, 1}, {0, 1, 0}, {1, 0, 0}, {0, 0, 1}};
    producer->frame(four, 12, 8);
    mel("refresh");
    expectBands(Picture::presented(), four, rgbOf(u.backColour), "second size");
    // Back to a smaller frame.
    producer->frame(kBands, 2, 1);
    mel("refresh");
    expectBands(Picture::presented(), kBands, rgbOf(u.backColour), "third size");
}

// A producer sizes its region for its largest frame: a frame half as large again as the one
// before (less than the double an arena would grow to) still fits and is shown, and so
// is the smaller one after it. The largest frame here nearly fills the producer's region.
TEST_F(Video, AFrameGrowingByHalfIsShownAndSoIsTheSmallerOneAfter)
{
    TestResponder& u = startUnreal();
    u.quadHalf = 0;
    const std::vector<Rgba> four = {{1, 1, 1}, {0, 1, 0}, {1, 0, 0}, {0, 0, 1}};
    producer->frame(kBands, 209, 1672); // 1672 x 1672
    mel("refresh");
    expectBands(Picture::presented(), kBands, rgbOf(u.backColour), "smaller frame");
    producer->frame(four, 512, 2047); // 2048 x 2047: 1.5 times the bytes
    mel("refresh");
    expectBands(Picture::presented(), four, rgbOf(u.backColour), "larger frame");
    producer->frame(kBands, 209, 1672);
    mel("refresh");
    expectBands(Picture::presented(), kBands, rgbOf(u.backColour), "smaller again");
}

} // namespace

namespace {

// The compositor's OpenGL objects: released by the frame that keys no video (Maya's context
// current), forgotten without an OpenGL call by uninitializePlugin, which Maya runs with no
// context; the plug-in keys again after reloading.
TEST_F(Video, UnloadingAfterAKeyedFrameMakesNoOpenGlCall)
{
    mel("polyCube; select -cl");
    producer->frame(kBands, 4, 2);
    mel("refresh");
    mel("unloadPlugin QuorbellMirror");
    mel("loadPlugin \"" PLUGIN_PATH "\"");
    mel("refresh"); // keys again with objects made afresh
    expectBands(Picture::presented(), kBands, {0, 0, 0}, "after reloading");
    producer->empty();
    mel("refresh"); // releases them
    mel("unloadPlugin QuorbellMirror");
    mel("loadPlugin \"" PLUGIN_PATH "\"");
}

} // namespace

// The region inspector, run against regions that this test writes as both sides would
// (on Linux, and cross-built as kvt-inspect.exe under Wine).

#include "FrameReport.h"

#include "link/Link.h"
#include "link/RecordWriter.h"

#include "ChildProcess.h"
#include "InspectorCommand.h"
#include "RunCommand.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using namespace kvt;

namespace {

std::string run(const std::string& args, int* status = nullptr)
{
    return testsupport::runCommand(inspector() + " " + args, status);
}

class Inspect : public ::testing::Test {
protected:
    std::string prefix = testsupport::uniqueName("KVTInspect");
    RegionNames names = RegionNames::prefixed(prefix);
    LinkResponder unreal{names};
    LinkRequester maya{nullptr, names};
    std::string args = "--request " + names.request + " --response " + names.response;

    void SetUp() override
    {
        ASSERT_TRUE(unreal.createRegions());
        ASSERT_EQ(maya.connect(), LinkRequester::ConnectResult::Connected);
    }

    // A request with a new mesh and its instance, answered with handles and a picture.
    void answeredFrame()
    {
        RequestHeader* req = maya.beginRequest();
        req->pictureWanted = 1;
        req->viewportWidth = 64;
        req->viewportHeight = 32;
        RecordWriter w(maya.request());
        std::uint32_t mesh = *w.appendShape(RecordKind::Mesh, false, 0xA000, true);
        w.setFlags(mesh, 0xF8, RecordFlags::isNew | RecordFlags::hasData);
        MeshRecord* m = w.as<MeshRecord>(mesh);
        m->vertexCount = m->indexCount = m->sectionCount = 0;
        std::uint32_t t = *w.appendTransform(TransformForm::LongWithMaterials, 0xB000, true);
        w.setFlags(t, 0xF8, RecordFlags::isNew | RecordFlags::hasData | RecordFlags::visibilityValid |
                                RecordFlags::visible);
        w.as<TransformRecord>(t)->shapeRefIsAddress = 1;
        w.as<TransformRecord>(t)->shapeRef = 0xA000;
        w.as<TransformRecord>(t)->hasMaterials = 1;
        w.appendMaterialNames(t, {u"/Game/M_Brass", kvt::none});
        maya.publishRequest();

        ASSERT_TRUE(unreal.beginResponse());
        auto table = writeHandleTable(unreal.response(), 2);
        setHandleEntry(unreal.response(), *table, 0, 0xA000, 0x5001);
        setHandleEntry(unreal.response(), *table, 1, 0xB000, 0x5002);
        writeMaterialName(unreal.response(), u"/Game/M_Steel");
        writePictureBlocks(unreal.response(), 64, 32);
        unreal.publishResponse();
    }
};

TEST_F(Inspect, PrintsHeadersRecordsAndReplyOfTheCurrentFrame)
{
    answeredFrame();
    int status = -1;
    std::string out = run(args, &status);
    if (std::getenv("KVT_SHOW_REPORT"))
        std::fputs(out.c_str(), stdout);
    EXPECT_EQ(status, 0);
    for (const char* expected :
         {"Request   frame 2", "viewport 64 x 32  pictureWanted 1  newSession 1  newCount 2", "records: 2",
          "mesh              id 0x000000000000a000  hasData|isNew", "0 vertices, 0 indices, 0 sections",
          "shape 0x000000000000a000 (Maya address, new in this request)",
          "materials \"/Game/M_Brass\" (none)", "visibilityValid|visible", "turn: Maya's",
          "handle table: 2 entries", "0x000000000000b000 -> 0x0000000000005002",
          "material name: \"/Game/M_Steel\" (28 bytes)", "colour: 64 x 32, 8192 bytes; depth: 8192 bytes"})
        EXPECT_NE(out.find(expected), std::string::npos) << "missing: " << expected << "\n" << out;
}

TEST_F(Inspect, ShowsAMalformedRequestAsSuch)
{
    RequestHeader* req = maya.beginRequest();
    req->firstRecord = 0x7FFFFF00;
    maya.publishRequest();
    std::string report = kvtinspect::describeFrame(maya.request().bytes(), maya.response().bytes());
    EXPECT_NE(report.find("records: MALFORMED at offset 40: the link to the next record leaves the view"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("turn: Unreal's"), std::string::npos) << report;
}

TEST_F(Inspect, SaysWhenTheLinkIsIdleOrTheRegionsAreMissing)
{
    // Fresh regions as the responder made them: nobody has claimed them.
    RequestHeader* req = reinterpret_cast<RequestHeader*>(unreal.request().view);
    req->ownerPid = 0;
    EXPECT_NE(run(args).find("the link is idle"), std::string::npos);

    int status = 0;
    std::string missing = run("--request KVTNoSuchRequest --response KVTNoSuchResponse", &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(missing, "no editor with the plug-in has created KVTNoSuchRequest: start Unreal Editor 4.18 with the "
                       "Quorbell Mirror plug-in enabled\n");
}

TEST(InspectNames, FindsTheRegionsOfTheSuffixThePlugInsUse)
{
    const std::string suffix = testsupport::uniqueName("-inspect");
    const RegionNames names = RegionNames::suffixed(suffix);
    LinkResponder unreal{names};
    ASSERT_TRUE(unreal.createRegions());
    int status = -1;
    const std::string without = run("", &status);
    EXPECT_EQ(without.find("the link is idle"), std::string::npos) << "the real names are not this test's";
    testsupport::ScopedEnvironment environment("KVT_REGION_SUFFIX", suffix);
    const std::string with = run("", &status);
    EXPECT_NE(with.find("the link is idle"), std::string::npos) << with;
}

// Reads a PNG as 8-bit grey (1 channel) or RGB (3), top row first.
std::vector<unsigned char> readPng(const std::string& path, int channels, int& width, int& height)
{
    std::vector<unsigned char> pixels;
    int inFile = 0;
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &inFile, channels);
    if (!data)
        return pixels;
    pixels.assign(data, data + std::size_t(width) * height * channels);
    stbi_image_free(data);
    return pixels;
}

// A folder of its own for one test's pictures, removed with everything in it.
struct TempFolder {
    std::filesystem::path path;
    explicit TempFolder(const std::string& name) : path(std::filesystem::path(::testing::TempDir()) / name) {}
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

TEST_F(Inspect, WritesTheReplysPictureRightSideUpAndItsDepthAsAGreyRamp)
{
    const int w = 5, h = 3; // odd sizes: no row is its own mirror image
    RequestHeader* req = maya.beginRequest();
    req->pictureWanted = 1;
    req->viewportWidth = w;
    req->viewportHeight = h;
    RecordWriter noRecords(maya.request()); // newCount 0, no chain
    maya.publishRequest();
    ASSERT_TRUE(unreal.beginResponse());
    ASSERT_TRUE(writeHandleTable(unreal.response(), 0));
    auto blocks = writePictureBlocks(unreal.response(), w, h);
    ASSERT_TRUE(blocks);
    // Block row r (bottom first), column c: B = 10 c, G = 100 + r, R = 200; depth c / 4.
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            std::uint8_t* px = unreal.response().view + blocks->colour + (r * w + c) * 4;
            px[0] = std::uint8_t(10 * c);
            px[1] = std::uint8_t(100 + r);
            px[2] = 200;
            px[3] = 0;
            float d = float(c) / 4.0f;
            std::memcpy(unreal.response().view + blocks->depth + (r * w + c) * 4, &d, 4);
        }
    unreal.publishResponse();

    TempFolder folder(prefix); // the inspector makes it
    const std::string dir = folder.path.string();
    int status = -1;
    std::string out = run(args + " --picture " + dir, &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("picture: wrote " + dir + "/colour.png"), std::string::npos) << out;

    int cw = 0, ch = 0, dw = 0, dh = 0;
    auto colour = readPng(dir + "/colour.png", 3, cw, ch);
    auto depth = readPng(dir + "/depth.png", 1, dw, dh);
    ASSERT_EQ(colour.size(), std::size_t(w * h * 3));
    ASSERT_EQ(depth.size(), std::size_t(w * h));
    EXPECT_EQ(cw, w);
    EXPECT_EQ(ch, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const int blockRow = h - 1 - y; // the top of the picture is the last block row
            const unsigned char* rgb = &colour[(y * w + x) * 3];
            EXPECT_EQ(rgb[0], 200);
            EXPECT_EQ(rgb[1], 100 + blockRow);
            EXPECT_EQ(rgb[2], 10 * x);
            EXPECT_EQ(depth[y * w + x], std::lround((1.0 - x / 4.0) * 255.0)); // near white, far black
        }
}

TEST_F(Inspect, SaysWhyThereIsNoPictureToWrite)
{
    RequestHeader* req = maya.beginRequest();
    req->pictureWanted = 0;
    maya.publishRequest();
    int status = 0;
    TempFolder folder(prefix);
    const std::string dir = folder.path.string();
    // Outstanding: the editor has not answered yet.
    std::string out = run(args + " --picture " + dir, &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("still outstanding"), std::string::npos) << out;

    ASSERT_TRUE(unreal.beginResponse());
    ASSERT_TRUE(writeHandleTable(unreal.response(), 0));
    unreal.publishResponse();
    out = run(args + " --picture " + dir, &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("asked for no picture"), std::string::npos) << out;
}

TEST(InspectFlags, SpellsOutEveryBit)
{
    EXPECT_EQ(kvtinspect::flagNames(0x07), "-");
    EXPECT_EQ(kvtinspect::flagNames(0xF8), "hasData|isNew|deleted|visibilityValid|visible");
}

} // namespace

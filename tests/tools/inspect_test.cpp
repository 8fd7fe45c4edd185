// The region inspector, run against regions that this test writes as both sides would.

#include "FrameReport.h"

#include "link/Link.h"
#include "link/RecordWriter.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace kvt;

namespace {

std::string run(const std::string& args, int* status = nullptr)
{
    std::string output;
    FILE* pipe = popen((std::string(KVT_INSPECT) + " " + args).c_str(), "r");
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    int rc = pclose(pipe);
    if (status)
        *status = WEXITSTATUS(rc);
    return output;
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
    EXPECT_NE(missing.find("do not exist"), std::string::npos) << missing;
}

TEST(InspectFlags, SpellsOutEveryBit)
{
    EXPECT_EQ(kvtinspect::flagNames(0x07), "-");
    EXPECT_EQ(kvtinspect::flagNames(0xF8), "hasData|isNew|deleted|visibilityValid|visible");
}

} // namespace

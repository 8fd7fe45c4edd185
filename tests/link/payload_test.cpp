// Reply blocks written by the responder and read by the requester, and the refusal of
// replies and requests that do not fit their views. Both sides run in this process.

#include "link/Link.h"
#include "link/RelLink.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kvt;
using testsupport::uniqueName;

namespace {

class Payload : public ::testing::Test {
protected:
    std::string prefix = uniqueName("KVTPayload");
    RegionNames names = RegionNames::prefixed(prefix);
    LinkResponder unreal{names};
    LinkRequester maya{nullptr, names};

    void SetUp() override
    {
        ASSERT_TRUE(unreal.createRegions());
        ASSERT_EQ(maya.connect(), LinkRequester::ConnectResult::Connected);
    }

    // Publishes a request and starts the reply to it.
    void request(std::uint32_t newCount, bool picture, int width = 0, int height = 0)
    {
        RequestHeader* req = maya.beginRequest();
        ASSERT_NE(req, nullptr);
        req->newCount = newCount;
        req->pictureWanted = picture ? 1 : 0;
        req->viewportWidth = width;
        req->viewportHeight = height;
        maya.publishRequest();
        ASSERT_TRUE(unreal.pollRequest());
        ASSERT_TRUE(unreal.beginResponse());
    }

    // Publishes the reply and reads it on the requester's side.
    kvt::Optional<Reply> answer()
    {
        unreal.publishResponse();
        if (maya.awaitResponse() != LinkRequester::AwaitResult::Reply)
            return kvt::none;
        return maya.readReply();
    }

    void setLink(std::uint32_t field, std::int32_t value)
    {
        std::memcpy(unreal.response().view + field, &value, 4);
    }
};

TEST_F(Payload, BlocksAreLaidInOrderAndReadBack)
{
    request(2, true, 4, 3);
    SharedRegion& rsp = unreal.response();
    auto table = writeHandleTable(rsp, 2);
    ASSERT_TRUE(table);
    EXPECT_EQ(*table, 32u);
    setHandleEntry(rsp, *table, 0, 0x1111, 0xAAAA);
    setHandleEntry(rsp, *table, 1, 0x2222, 0xBBBB);
    auto name = writeMaterialName(rsp, u"/Game/M_Chrome");
    ASSERT_TRUE(name);
    EXPECT_EQ(*name, 32u + 32u);
    auto blocks = writePictureBlocks(rsp, 4, 3);
    ASSERT_TRUE(blocks);
    EXPECT_EQ(blocks->colour, *name + 15u * 2u); // the name lies between table and colour
    EXPECT_EQ(blocks->depth, blocks->colour + 48u);

    auto reply = answer();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->handle(0).key, 0x1111u);
    EXPECT_EQ(reply->handle(1).remoteHandle, 0xBBBBu);
    EXPECT_TRUE(reply->hasMaterial);
    EXPECT_EQ(reply->materialName, u"/Game/M_Chrome");
    EXPECT_EQ(reply->colour, maya.response().view + blocks->colour);
    EXPECT_EQ(reply->width, 4);
    EXPECT_EQ(reply->height, 3);

    clearMaterialRequest(maya.response());
    EXPECT_EQ(maya.responseHeader()->assignMaterial, 0);
}

TEST_F(Payload, EmptyTableEmptyNameAndNoPicture)
{
    request(0, false);
    ASSERT_TRUE(writeHandleTable(unreal.response(), 0));
    ASSERT_TRUE(writeMaterialName(unreal.response(), u""));
    auto reply = answer();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->handleCount, 0u);
    EXPECT_TRUE(reply->hasMaterial);
    EXPECT_TRUE(reply->materialName.empty());
    EXPECT_EQ(reply->colour, nullptr);
    EXPECT_EQ(maya.responseHeader()->colour, 0);
    EXPECT_EQ(maya.responseHeader()->depth, 0);
}

TEST_F(Payload, MalformedRepliesAreRefusedAndDropTheLink)
{
    struct Case {
        const char* what;
        std::uint32_t newCount;
        bool picture;
        std::function<void(SharedRegion&)> corrupt;
    };
    const std::uint32_t mib = 1u << 20;
    std::vector<Case> cases = {
        {"no handle table", 0, false, [](SharedRegion&) {}},
        {"table link past the view", 1, false,
         [&](SharedRegion& r) { writeHandleTable(r, 1); setLink(kHandleTableOffset, 0x7FFFFF00); }},
        {"table link before the view", 1, false,
         [&](SharedRegion& r) { writeHandleTable(r, 1); setLink(kHandleTableOffset, -1000); }},
        {"count overruns the table", 0x10000000, false,
         [&](SharedRegion& r) { writeHandleTable(r, 1); }},
        {"picture wanted, none linked", 0, true, [](SharedRegion& r) { writeHandleTable(r, 0); }},
        {"depth block missing", 0, true,
         [&](SharedRegion& r) { writeHandleTable(r, 0); writePictureBlocks(r, 64, 64); setLink(kDepthOffset, 0); }},
        {"name without terminator", 0, false,
         [&](SharedRegion& r) {
             writeHandleTable(r, 0);
             // A name running to the last byte of the view.
             r.used = r.mappedSize - 64;
             std::uint8_t* name = r.extend(r.mappedSize);
             std::memset(name, 0x41, 64);
             storeLink(r.view + kAssignMaterialOffset, name);
         }},
        {"blocks beyond the announced view", 0, true,
         [&](SharedRegion& r) {
             writeHandleTable(r, 0);
             r.used = 15 * mib;
             writePictureBlocks(r, 1024, 1024); // grows the view past 16 MiB
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        request(c.newCount, c.picture, 1024, 1024);
        c.corrupt(unreal.response());
        unreal.publishResponse();
        if (std::string(c.what) == "blocks beyond the announced view")
            unreal.responseHeader()->viewSize = 16 * mib; // announce less than was written
        ASSERT_EQ(maya.awaitResponse(), LinkRequester::AwaitResult::Reply);
        EXPECT_FALSE(maya.readReply());
        EXPECT_FALSE(maya.isConnected());
        ASSERT_EQ(maya.connect(), LinkRequester::ConnectResult::Connected);
    }
}

TEST_F(Payload, UnmappableReplyViewDropsTheLink)
{
    for (std::uint32_t size : {0u, 16u, 0x80000001u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(size);
        request(0, false);
        writeHandleTable(unreal.response(), 0);
        unreal.publishResponse();
        unreal.responseHeader()->viewSize = size;
        EXPECT_EQ(maya.awaitResponse(), LinkRequester::AwaitResult::Disconnected);
        EXPECT_FALSE(maya.isConnected());
        ASSERT_EQ(maya.connect(), LinkRequester::ConnectResult::Connected);
    }
}

TEST_F(Payload, RequestViewThatCannotBeMappedIsRefusedByTheResponder)
{
    for (std::uint32_t size : {0u, 100u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(size);
        RequestHeader* req = maya.beginRequest();
        req->newCount = 0;
        maya.publishRequest();
        req->viewSize = size;
        ASSERT_TRUE(unreal.pollRequest());
        EXPECT_FALSE(unreal.beginResponse());
        // The bare header goes back with every link zeroed; the requester refuses it.
        EXPECT_EQ(unreal.responseHeader()->handleTable, 0);
        unreal.publishResponse();
        ASSERT_EQ(maya.awaitResponse(), LinkRequester::AwaitResult::Reply);
        EXPECT_FALSE(maya.readReply());
        ASSERT_EQ(maya.connect(), LinkRequester::ConnectResult::Connected);
    }
}

TEST(PictureBlockBytes, SizesTheRegionsCanHold)
{
    EXPECT_EQ(pictureBlockBytes(1920, 1080), kvt::Optional<std::uint32_t>(8294400));
    EXPECT_EQ(pictureBlockBytes(0, 1080), kvt::Optional<std::uint32_t>(0));
    EXPECT_FALSE(pictureBlockBytes(-1, 10));
    EXPECT_FALSE(pictureBlockBytes(65536, 65536));
    EXPECT_FALSE(pictureBlockBytes(0x7FFFFFFF, 0x7FFFFFFF));
}

} // namespace

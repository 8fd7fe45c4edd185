#include "SceneHarness.h"

#include "ChildProcess.h"

#include <maya/MGlobal.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace kvt;

SceneHarness::SceneHarness(std::uint32_t regionMaximum)
    : prefix_(testsupport::uniqueName("KVTScene")), names_(RegionNames::prefixed(prefix_)),
      unreal_(names_, regionMaximum), maya_([this] { registry.resync(); }, names_)
{
    EXPECT_TRUE(unreal_.createRegions());
    registry.link = &maya_;
    newScene();
}

SceneHarness::~SceneHarness() { registry.link = nullptr; }

std::string SceneHarness::mel(const std::string& command)
{
    MString result;
    MStatus status = MGlobal::executeCommand(command.c_str(), result);
    EXPECT_TRUE(status == MS::kSuccess) << "MEL failed: " << command;
    return result.asChar();
}

void SceneHarness::newScene()
{
    mel("file -f -new");
    frame(); // flushes what the old scene left
    given_.clear();
}

std::vector<Record> SceneHarness::frame(std::uint64_t typeMask, bool answer)
{
    if (maya_.connect() != LinkRequester::ConnectResult::Connected) {
        ADD_FAILURE() << "the link did not connect";
        return {};
    }
    RequestHeader* req = maya_.beginRequest();
    registry.registerCallbacks();
    lastFrameComplete = registry.writeChanges(maya_.request(), maya_.response(), typeMask);
    if (!lastFrameComplete)
        return {}; // nothing goes out; the link was let go
    lastHeader = *maya_.requestHeader();
    (void)req;
    RequestRecords read = readRecords(maya_.request().bytes());
    EXPECT_TRUE(read.ok()) << read.error->message << " at " << read.error->offset;
    if (answer) {
        std::vector<HandleEntry> table;
        for (const Record& r : read.records)
            if (r.isNew() && !r.deleted()) {
                table.push_back({r.identity, nextHandle_});
                given_.push_back({r.identity, nextHandle_++});
            }
        Reply reply;
        reply.handleTable = reinterpret_cast<const std::uint8_t*>(table.data());
        reply.handleCount = static_cast<std::uint32_t>(table.size());
        registry.applyHandles(reply);
    }
    return read.records;
}

std::uint64_t SceneHarness::handleOf(std::uint64_t identity) const
{
    for (auto [key, handle] : given_)
        if (key == identity)
            return handle;
    return 0;
}

// ue4editor with the module, run as its own process, answering a requester's frames end
// to end through the regions; the material entry chosen from the editor's console.
#include "ReceiverFixture.h"

#include <unistd.h>

using namespace receivertest;

namespace {

TEST(EditorProgram, AnswersFramesThroughTheRegionsAndSendsTheConsolesMaterialChoice) {
    const kvt::RegionNames Names = UseUniqueRegionNames(); // the child inherits the suffix
    // The editor is killed at the end: its names go after it (declared before it).
    testsupport::RegionCleanup Regions{{Names.request, Names.response}};
    testsupport::ChildProcess Editor;
    ASSERT_TRUE(Editor.start(UE4EDITOR_PROGRAM, {std::string("-Content=") + MIRROR_EXAMPLES_CONTENT,
                                                 std::string("-Plugin=") + QUORBELL_PLUGIN_FILE,
                                                 "-ExecCmds=menurun \"Assign To Maya Object\" /Game/Materials/M_Red"}));
    kvt::LinkRequester Maya(nullptr, Names);
    // The editor needs a moment to start; wait for its regions (bounded, not timed).
    for (int Attempt = 0; Attempt < 3000 && Maya.connect() != kvt::LinkRequester::ConnectResult::Connected; ++Attempt)
        usleep(10000);
    ASSERT_TRUE(Maya.isConnected());
    EXPECT_EQ(Maya.responseHeader()->responderPid, Editor.pid());

    auto Frame = [&](bool bPicture, auto&& Records) -> kvt::Optional<kvt::Reply> {
        EXPECT_EQ(Maya.connect(), kvt::LinkRequester::ConnectResult::Connected);
        kvt::RequestHeader* Header = Maya.beginRequest();
        if (!Header) return kvt::none;
        Header->pictureWanted = bPicture ? 1 : 0;
        Header->viewportWidth = 64;
        Header->viewportHeight = 32;
        {
            FRequest Request(Maya.request());
            Records(Request);
        }
        Maya.publishRequest();
        if (Maya.awaitResponse() != kvt::LinkRequester::AwaitResult::Reply) return kvt::none;
        return Maya.readReply();
    };

    // Wait until the console command has run (it runs between the editor's first frames).
    kvt::Optional<kvt::Reply> First;
    for (int Attempt = 0; Attempt < 300; ++Attempt) {
        First = Frame(false, [](FRequest&) {});
        if (!First || First->hasMaterial) break;
        usleep(10000);
    }
    ASSERT_TRUE(First.hasValue());
    ASSERT_TRUE(First->hasMaterial);
    EXPECT_EQ(First->materialName, u"/Game/Materials/M_Red");

    auto Scene = Frame(false, [](FRequest& R) {
        R.Mesh(0x10, true, kMin, kMax);
        R.Instance(0x20, true, 0x10, true, FMatrix4::ScaleTranslate(1, 1, 1, 0, 0, 100));
    });
    ASSERT_TRUE(Scene.hasValue());
    ASSERT_EQ(Scene->handleCount, 2u);
    EXPECT_EQ(Scene->handle(0).key, 0x10u);
    EXPECT_FALSE(Scene->hasMaterial);

    const uint64 Instance = Scene->handle(1).remoteHandle;
    auto Picture = Frame(true, [&](FRequest& R) { R.Visibility(Instance, false); });
    ASSERT_TRUE(Picture.hasValue());
    ASSERT_NE(Picture->colour, nullptr);
    ASSERT_NE(Picture->depth, nullptr);
    EXPECT_EQ(Picture->width, 64);
    EXPECT_EQ(Picture->height, 32);

    Editor.kill();
    Editor.wait();
    unsetenv("KVT_REGION_SUFFIX");
}

} // namespace

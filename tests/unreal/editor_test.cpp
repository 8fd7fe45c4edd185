// ue4editor with the module, run as its own process, answering a requester's frames end
// to end through the regions; the material entry chosen from the editor's console.
#include "ReceiverFixture.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace receivertest;

namespace {

// ue4editor with console commands written to its standard input; killed and reaped if the
// test ends before it quits.
class FEditorWithConsole {
public:
    bool Start() {
        int Pipe[2];
        if (pipe2(Pipe, O_CLOEXEC) != 0) return false;
        posix_spawn_file_actions_t Actions;
        posix_spawn_file_actions_init(&Actions);
        posix_spawn_file_actions_adddup2(&Actions, Pipe[0], 0);
        const std::string Content = std::string("-Content=") + MIRROR_EXAMPLES_CONTENT;
        const std::string Plugin = std::string("-Plugin=") + QUORBELL_PLUGIN_FILE;
        char* Argv[] = {const_cast<char*>(UE4EDITOR_PROGRAM), const_cast<char*>(Content.c_str()), const_cast<char*>(Plugin.c_str()),
                        nullptr};
        const bool bStarted = posix_spawn(&Pid, UE4EDITOR_PROGRAM, &Actions, nullptr, Argv, environ) == 0;
        posix_spawn_file_actions_destroy(&Actions);
        close(Pipe[0]);
        Input = Pipe[1];
        if (!bStarted) Pid = -1;
        return bStarted;
    }
    // "quit" on the console; the exit code (-1 when it did not exit normally).
    int Quit() {
        const char Line[] = "quit\n";
        if (write(Input, Line, sizeof Line - 1) != ssize_t(sizeof Line - 1)) return -1;
        return Wait();
    }
    pid_t GetPid() const { return Pid; }
    ~FEditorWithConsole() {
        if (Pid > 0) {
            kill(Pid, SIGKILL);
            Wait();
        }
        if (Input >= 0) close(Input);
    }

private:
    int Wait() {
        int Status = 0;
        const pid_t Done = waitpid(Pid, &Status, 0);
        Pid = -1;
        return Done > 0 && WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    }
    pid_t Pid = -1;
    int Input = -1;
};

// One frame of a connected requester with these records; the reply, if one came.
template <class F> kvt::Optional<kvt::Reply> RequestFrame(kvt::LinkRequester& Maya, bool bPicture, F&& Records) {
    if (Maya.connect() != kvt::LinkRequester::ConnectResult::Connected) return kvt::none;
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
}

// Waits (bounded, not timed) until the editor's regions answer a claim.
bool ConnectToEditor(kvt::LinkRequester& Maya) {
    for (int Attempt = 0; Attempt < 3000; ++Attempt) {
        if (Maya.connect() == kvt::LinkRequester::ConnectResult::Connected) return true;
        usleep(10000);
    }
    return false;
}

// The editor quits with a live mirror (meshes, lights, the capture): the module's service
// goes while the engine is alive (under ASan a touch of freed engine state fails the exit
// code), Maya sees the editor gone at once, and the next editor is claimed afresh.
TEST(EditorProgram, QuittingWithALiveMirrorTellsMayaAndTheNextEditorIsClaimedAfresh) {
    const kvt::RegionNames Names = UseUniqueRegionNames();
    kvt::LinkRequester Maya(nullptr, Names);
    auto Scene = [](FRequest& R) {
        R.Mesh(0x10, true, kMin, kMax);
        R.Instance(0x20, true, 0x10, true, FMatrix4::ScaleTranslate(1, 1, 1, 0, 0, 100));
        R.Light(kvt::RecordKind::PointLight, 0x30, true, FLinearColor(1, 1, 1, 1), 2.f);
        R.Instance(0x40, true, 0x30, true, FMatrix4::ScaleTranslate(1, 1, 1, 0, 50, 100));
        R.Light(kvt::RecordKind::AmbientLight, 0x50, true, FLinearColor(1, 1, 1, 1), 0.5f);
        R.Instance(0x60, true, 0x50, true, {});
    };
    {
        FEditorWithConsole First;
        ASSERT_TRUE(First.Start());
        ASSERT_TRUE(ConnectToEditor(Maya));
        auto Reply = RequestFrame(Maya, true, Scene);
        ASSERT_TRUE(Reply.hasValue());
        EXPECT_EQ(Reply->handleCount, 6u);
        ASSERT_NE(Reply->colour, nullptr); // the capture ran
        ASSERT_TRUE(RequestFrame(Maya, true, [](FRequest&) {}).hasValue());

        EXPECT_EQ(First.Quit(), 0);
        // Told at once: the editor zeroed the counter and its pid as it went.
        EXPECT_EQ(kvt::loadCounter(Maya.responseHeader()), 0u);
        EXPECT_EQ(Maya.responseHeader()->responderPid, 0u);
        EXPECT_NE(Maya.connect(), kvt::LinkRequester::ConnectResult::Connected);
    }
    FEditorWithConsole Second;
    ASSERT_TRUE(Second.Start());
    ASSERT_TRUE(ConnectToEditor(Maya));
    EXPECT_TRUE(Maya.claimedThisFrame());
    EXPECT_EQ(Maya.responseHeader()->responderPid, uint32(Second.GetPid()));
    auto Reply = RequestFrame(Maya, true, Scene);
    ASSERT_TRUE(Reply.hasValue());
    EXPECT_EQ(Reply->handleCount, 6u);
    EXPECT_EQ(Second.Quit(), 0);
    unsetenv("KVT_REGION_SUFFIX");
}

TEST(EditorProgram, AnswersFramesThroughTheRegionsAndSendsTheConsolesMaterialChoice) {
    const kvt::RegionNames Names = UseUniqueRegionNames(); // the child inherits the suffix
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

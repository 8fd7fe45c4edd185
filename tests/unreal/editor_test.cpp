// ue4editor with the module, run as its own process, answering a requester's frames end
// to end through the regions; the material entry chosen from the editor's console.
#include "ReceiverFixture.h"

#include <csignal>
#include <functional>
#include <filesystem>
#include <fstream>
#include <sstream>
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
    bool Send(const std::string& Line) {
        const std::string Text = Line + "\n";
        return write(Input, Text.data(), Text.size()) == ssize_t(Text.size());
    }
    // "quit" on the console; the exit code (-1 when it did not exit normally).
    int Quit() { return Send("quit") ? Wait() : -1; }
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

    auto Frame = [&](bool bPicture, auto&& Records) { return RequestFrame(Maya, bPicture, Records); };

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

// A folder for the test's files, removed with everything in it when the test ends.
struct FTempDir {
    std::filesystem::path Path = std::filesystem::temp_directory_path() / testsupport::uniqueName("mirror-levels");
    FTempDir() { std::filesystem::create_directories(Path); }
    ~FTempDir() { std::filesystem::remove_all(Path); }
    std::string File(const char* Name) const { return (Path / Name).string(); }
};

// Waits (bounded, not timed) for a file the editor writes; its text, or "" when it did not come.
std::string AwaitFile(const std::string& Path) {
    for (int Attempt = 0; Attempt < 3000; ++Attempt) {
        if (std::filesystem::exists(Path)) {
            usleep(20000); // written in one go, but let the writer close it
            std::ifstream In(Path);
            std::stringstream Text;
            Text << In.rdbuf();
            return Text.str();
        }
        usleep(10000);
    }
    return "";
}

// A 32 x 32 picture from the origin looking down +X through a reversed orthographic
// projection over Y and Z in [-100, 100]; true when the centre pixel shows something.
kvt::Optional<bool> CentreIsLit(kvt::LinkRequester& Maya, const std::function<void(FRequest&)>& Records) {
    if (Maya.connect() != kvt::LinkRequester::ConnectResult::Connected) return kvt::none;
    kvt::RequestHeader* Header = Maya.beginRequest();
    if (!Header) return kvt::none;
    constexpr int32 Size = 32;
    Header->pictureWanted = 1;
    Header->viewportWidth = Size;
    Header->viewportHeight = Size;
    const float Near = 1.f, Far = 1000.f, Half = 100.f;
    const float Identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float Projection[16] = {1.f / Half, 0, 0, 0, 0, 1.f / Half, 0, 0, 0, 0, -1.f / (Far - Near), 0, 0, 0, Far / (Far - Near), 1};
    std::memcpy(Header->cameraMatrix, Identity, sizeof Identity);
    std::memcpy(Header->projection, Projection, sizeof Projection);
    {
        FRequest Request(Maya.request());
        Records(Request);
    }
    Maya.publishRequest();
    if (Maya.awaitResponse() != kvt::LinkRequester::AwaitResult::Reply) return kvt::none;
    auto Reply = Maya.readReply();
    if (!Reply || !Reply->colour) return kvt::none;
    uint32 Centre;
    std::memcpy(&Centre, Reply->colour + (size_t(Size - 1 - Size / 2) * Size + Size / 2) * 4, 4);
    return (Centre & 0xFFFFFFu) != 0;
}

// A triangle facing the camera at X = 500 over the centre of the picture, and a sky light.
void TriangleAndSky(FRequest& R) {
    const uint32 At = *R.Writer.appendShape(kvt::RecordKind::Mesh, false, 0x10, true);
    R.Writer.setFlags(At, 0xF8, kvt::RecordFlags::isNew | kvt::RecordFlags::hasData);
    auto* Body = R.Writer.as<kvt::MeshRecord>(At);
    Body->sectionCount = 1;
    Body->vertexCount = 3;
    Body->indexCount = 3;
    const float Min[3] = {0, -50, -50}, Max[3] = {0, 50, 50};
    std::memcpy(Body->boundsMin, Min, 12);
    std::memcpy(Body->boundsMax, Max, 12);
    kvt::FKvtMeshVertex Vertices[3];
    std::memset(Vertices, 0xFF, sizeof Vertices); // white, normals and tangents at +1
    const float Positions[3][3] = {{0, -50, -50}, {0, 50, -50}, {0, 0, 50}};
    for (int32 V = 0; V < 3; ++V) {
        std::memcpy(Vertices[V].position, Positions[V], sizeof Positions[V]);
        std::memset(Vertices[V].texCoord, 0, sizeof Vertices[V].texCoord);
    }
    const uint32 VertexArray = *R.Writer.appendArray(At + offsetof(kvt::MeshRecord, vertices), sizeof Vertices);
    std::memcpy(R.Writer.at(VertexArray), Vertices, sizeof Vertices);
    const uint32 Index[3] = {0, 1, 2};
    const uint32 IndexArray = *R.Writer.appendArray(At + offsetof(kvt::MeshRecord, indices), sizeof Index);
    std::memcpy(R.Writer.at(IndexArray), Index, sizeof Index);
    const kvt::FKvtMeshSection Section{0, 1};
    const uint32 Sections = *R.Writer.appendArray(At + offsetof(kvt::MeshRecord, sections), sizeof Section);
    std::memcpy(R.Writer.at(Sections), &Section, sizeof Section);
    R.Instance(0x20, true, 0x10, true, FMatrix4::ScaleTranslate(1, 1, 1, 500, 0, 0));
    R.Light(kvt::RecordKind::AmbientLight, 0x30, true, FLinearColor(1, 1, 1, 1), 1.f);
    R.Instance(0x40, true, 0x30, true, {});
}

// File > New Level and Open Level with a live mirror: the world's teardown finds no
// component of the mirror still registered (the check would stop the editor), the next
// frames show the scene again, and the level the user saves holds no placeholder actor.
TEST(EditorProgram, TheMirrorFollowsANewAndAnOpenedLevelAndIsNeverSavedWithOne) {
    const kvt::RegionNames Names = UseUniqueRegionNames();
    const FTempDir Dir;
    kvt::LinkRequester Maya(nullptr, Names);
    FEditorWithConsole Editor;
    ASSERT_TRUE(Editor.Start());
    ASSERT_TRUE(ConnectToEditor(Maya));
    const auto Nothing = [](FRequest&) {};
    EXPECT_EQ(CentreIsLit(Maya, Nothing), kvt::Optional<bool>(false)); // an empty scene is black
    EXPECT_EQ(CentreIsLit(Maya, TriangleAndSky), kvt::Optional<bool>(true));

    ASSERT_TRUE(Editor.Send("savelevel " + Dir.File("saved.txt")));
    const std::string Saved = AwaitFile(Dir.File("saved.txt"));
    ASSERT_EQ(Saved.rfind("Level ", 0), 0u) << Saved;
    EXPECT_EQ(Saved.find("KvtActor"), std::string::npos) << Saved;

    // The console runs the commands in order: the second file says the first has run.
    ASSERT_TRUE(Editor.Send("newlevel"));
    ASSERT_TRUE(Editor.Send("savelevel " + Dir.File("new.txt")));
    EXPECT_EQ(AwaitFile(Dir.File("new.txt")).find("KvtActor"), std::string::npos);
    EXPECT_EQ(CentreIsLit(Maya, Nothing), kvt::Optional<bool>(true));

    ASSERT_TRUE(Editor.Send("openlevel " + Dir.File("saved.txt")));
    ASSERT_TRUE(Editor.Send("savelevel " + Dir.File("opened.txt")));
    EXPECT_EQ(AwaitFile(Dir.File("opened.txt")).find("KvtActor"), std::string::npos);
    EXPECT_EQ(CentreIsLit(Maya, Nothing), kvt::Optional<bool>(true));

    EXPECT_EQ(Editor.Quit(), 0);
    unsetenv("KVT_REGION_SUFFIX");
}

} // namespace

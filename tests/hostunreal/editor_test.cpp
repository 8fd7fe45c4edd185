// The ue4editor program end to end: plug-in module loaded in the editor's order, ticked at
// a fixed 60 frames per second, its material menu entry shown and run, a new level, and
// a clean quit in the engine's exit order.
#include "ChildProcess.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

class EditorProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = std::filesystem::temp_directory_path() / ("hostunreal_editor_" + std::to_string(getpid()));
        std::filesystem::create_directories(Dir);
        const std::string Self = testsupport::siblingExecutable("hostunreal_test");
        BuildDir = Self.substr(0, Self.rfind('/'));
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }

    // Runs ue4editor with Args and Input on standard input; returns the exit code.
    int Run(const std::string& Args, const std::string& Input) {
        std::ofstream(Dir / "in.txt") << Input;
        const std::string Editor = BuildDir + "/../../hosts/unreal/ue4editor";
        const std::string Command = "exec '" + Editor + "' " + Args + " < '" + (Dir / "in.txt").string() + "' > '" + (Dir / "out.txt").string() + "' 2>&1";
        testsupport::ChildProcess Child;
        if (!Child.start("/bin/sh", {"-c", Command})) return -1;
        const int Code = Child.wait();
        std::ifstream In(Dir / "out.txt");
        std::stringstream S;
        S << In.rdbuf();
        Output = S.str();
        return Code;
    }
    std::string Plugin() const { return "-Plugin=" + BuildDir + "/HostTestModule.uplugin"; }
    std::string Content() const { return std::string("-Content=") + MIRROR_EXAMPLES_CONTENT; }
    size_t Find(const std::string& Text) const { return Output.find(Text); }
    bool Has(const std::string& Text) const { return Find(Text) != std::string::npos; }

    std::filesystem::path Dir;
    std::string BuildDir;
    std::string Output;
};

TEST_F(EditorProgramTest, LoadsTicksShowsAndRunsTheMenuOpensALevelAndQuits) {
    const int Code = Run(Content() + " " + Plugin(),
                         "frames 30\n"
                         "stat tickables\n"
                         "menu /Game/Materials/M_Red\n"
                         "menurun \"Test Entry\" /Game/Materials/M_Red\n"
                         "newlevel\n"
                         "frames 2\n"
                         "quit\n");
    ASSERT_EQ(Code, 0) << Output;
    // The editor's order: AssetTools, then the plug-in module, whose statics run at load.
    ASSERT_TRUE(Has("Loaded module AssetTools")) << Output;
    EXPECT_LT(Find("Loaded module AssetTools"), Find("LogHostTestModule: constructed"));
    EXPECT_LT(Find("LogHostTestModule: constructed"), Find("LogHostTestModule: wrapped 2"));
    EXPECT_LT(Find("LogHostTestModule: wrapped 2"), Find("Loaded module HostTestModule"));
    // 30 frames waited plus the first: the module ticked on every one, at its fixed 60.
    EXPECT_TRUE(Has("Frames 32, ")) << Output;
    EXPECT_TRUE(Has("fixed frame rate on 60.0")) << Output;
    EXPECT_TRUE(Has("FTestService ticks 32,")) << Output;
    EXPECT_FALSE(Has("FGameOnlyTicker ticks")) << Output;
    EXPECT_TRUE(Has("1. Create Material Instance  [EditorStyle ClassIcon.MaterialInstanceActor]\n2. Test Entry  [EditorStyle ClassIcon.MaterialInstanceActor]")) << Output;
    EXPECT_TRUE(Has("LogHostTestModule: chose /Game/Materials/M_Red\nTest Entry: done")) << Output;
    EXPECT_TRUE(Has("New level /Temp/Untitled_2.Untitled_2\nLogHostTestModule: world /Temp/Untitled_2")) << Output;
    // The engine's exit: AssetTools abandoned first, the module's service torn down on
    // OnPreExit, ShutdownModule once the engine is gone, its statics at process exit.
    EXPECT_LT(Find("Shut down and abandoned module AssetTools"), Find("LogHostTestModule: pre-exit, engine alive")) << Output;
    EXPECT_LT(Find("LogHostTestModule: pre-exit, engine alive"), Find("LogHostTestModule: destroyed"));
    EXPECT_LT(Find("LogHostTestModule: destroyed"), Find("LogHostTestModule: shutdown, engine gone"));
    EXPECT_LT(Find("LogHostTestModule: shutdown, engine gone"), Find("Shut down and abandoned module HostTestModule"));
    EXPECT_LT(Find("Shut down and abandoned module HostTestModule"), Find("LogHostTestModule: static destroyed")) << Output;
    EXPECT_FALSE(Has("left")) << Output; // no objects of the module were left behind
}

TEST_F(EditorProgramTest, ExecCmdsAndSingleThreadedMode) {
    const int Code = Run(Content() + " " + Plugin() + " -onethread \"-ExecCmds=assets, menurun \\\"Test Entry\\\" /Game/Materials/MI_Blue, quit\"", "");
    ASSERT_EQ(Code, 0) << Output;
    EXPECT_TRUE(Has("/Game/Curves/C_Fade CurveFloat\n/Game/Materials/M_Grey Material\n/Game/Materials/M_Red Material\n"
                    "/Game/Materials/MI_Blue MaterialInstanceConstant\n")) << Output;
    EXPECT_TRUE(Has("chose /Game/Materials/MI_Blue")) << Output;
    EXPECT_TRUE(Has("LogHostTestModule: destroyed")) << Output;
}

TEST_F(EditorProgramTest, BadInputGivesErrorsNotCrashes) {
    EXPECT_EQ(Run("-Bogus", ""), 2);
    EXPECT_TRUE(Has("unknown option -Bogus")) << Output;

    std::ofstream(Dir / "broken.uplugin") << "{ not json";
    EXPECT_EQ(Run("-Plugin=" + (Dir / "broken.uplugin").string(), ""), 1);
    EXPECT_TRUE(Has("is not a plug-in descriptor")) << Output;

    std::ofstream(Dir / "missing.uplugin") << R"({"Modules": [{"Name": "NotBuilt", "LoadingPhase": "PostEngineInit"}]})";
    EXPECT_EQ(Run("-Plugin=" + (Dir / "missing.uplugin").string(), ""), 1);
    EXPECT_TRUE(Has("Plug-in module NotBuilt could not be loaded")) << Output;

    ASSERT_EQ(Run(Content(), "menu\nmenu /Game/Nope\nmenurun Nothing /Game/Materials/M_Red\nframes -3\nstat\nwhat\n\"unterminated\nquit\n"), 0) << Output;
    EXPECT_TRUE(Has("No assets given")) << Output;
    EXPECT_TRUE(Has("Asset not found: /Game/Nope")) << Output;
    EXPECT_TRUE(Has("No entry \"Nothing\" in the menu of this selection")) << Output;
    EXPECT_TRUE(Has("Command not recognized: frames -3")) << Output;
    EXPECT_TRUE(Has("Command not recognized: what")) << Output;
}

TEST_F(EditorProgramTest, WithoutAnOpenGLDriverTheEditorSaysWhatIsMissing) {
    // Mesa finds no DRI driver in an empty folder, so EGL cannot make a context.
    EXPECT_EQ(Run("", "quit\n"), 0) << Output; // the normal start, for comparison
    const std::string Editor = "LIBGL_DRIVERS_PATH='" + Dir.string() + "' ";
    std::ofstream(Dir / "in.txt") << "quit\n";
    testsupport::ChildProcess Child;
    ASSERT_TRUE(Child.start("/bin/sh", {"-c", "exec env " + Editor + "'" + BuildDir + "/../../hosts/unreal/ue4editor' < '" + (Dir / "in.txt").string() +
                                                 "' > '" + (Dir / "out.txt").string() + "' 2>&1"}));
    EXPECT_EQ(Child.wait(), 1);
    std::ifstream In(Dir / "out.txt");
    std::stringstream S;
    S << In.rdbuf();
    EXPECT_NE(S.str().find("no OpenGL 3.3 context"), std::string::npos) << S.str();
    EXPECT_NE(S.str().find("EGL"), std::string::npos) << S.str();
    EXPECT_NE(S.str().find("libgl1-mesa-dri"), std::string::npos) << S.str();
}

} // namespace

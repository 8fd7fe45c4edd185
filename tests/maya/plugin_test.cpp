// The plug-in loaded and unloaded by the `maya` program as Maya would: nothing of it may
// be called after unloading, even while Maya idles with its timers running.

#include "RunCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string runMaya(const std::string& mel, int* status)
{
    return testsupport::runCommand(std::string(MAYA_PROGRAM) + " -batch -command '" + mel + "' 2>&1", status);
}

TEST(Plugin, LoadsIdlesAndUnloadsCleanly)
{
    int status = -1;
    std::string out = runMaya(std::string("loadPlugin \"") + PLUGIN_PATH +
                                  "\"; polyCube -n box; pause -sec 0.2; unloadPlugin QuorbellMirror; "
                                  "pause -sec 0.2; move -r 1 1 1 box; delete box; polyCube;",
                              &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out.find("Error"), std::string::npos) << out;
}

} // namespace

namespace {

TEST(Plugin, DrawsThroughMirrorAndUnloadsCleanlyWhileThePanelStillNamesIt)
{
    int status = -1;
    std::string out = runMaya(std::string("loadPlugin \"") + PLUGIN_PATH +
                                  "\"; polyCube -n box; modelEditor -e -rendererOverrideName Mirror modelPanel4; "
                                  "refresh; refresh; unloadPlugin QuorbellMirror; refresh; pause -sec 0.1; "
                                  "loadPlugin \"" + PLUGIN_PATH + "\"; refresh; unloadPlugin QuorbellMirror;",
                              &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out.find("Error"), std::string::npos) << out;
    EXPECT_EQ(out.find("registerOverride"), std::string::npos) << out;
}

} // namespace

namespace {

// A file of this test's own, removed however the test ends.
struct TempFile {
    std::string path = ::testing::TempDir() + "/" + std::to_string(::getpid()) + "_frames.txt";
    ~TempFile() { std::remove(path.c_str()); }
};

// Frames the idle loop drew, from the program's -frameTimes file.
int framesDrawn(const std::string& mel)
{
    TempFile times;
    int status = -1;
    std::string out = testsupport::runCommand(std::string(MAYA_PROGRAM) + " -batch -frameTimes " + times.path +
                                                  " -command '" + mel + "' 2>&1",
                                              &status);
    EXPECT_EQ(status, 0) << out;
    std::ifstream in(times.path);
    int lines = 0;
    for (std::string line; std::getline(in, line);)
        ++lines;
    return lines;
}

TEST(Plugin, IdleTimerRedrawsOnlyWhileMirrorDrawsAPanel)
{
    // One frame drawn first, so that the pause does not wait for OpenGL to start.
    const std::string load = std::string("loadPlugin \"") + PLUGIN_PATH + "\"; polyCube; ";
    EXPECT_EQ(framesDrawn(load + "refresh; pause -sec 0.4;"), 1);
    EXPECT_GT(framesDrawn(load + "modelEditor -e -rendererOverrideName Mirror modelPanel4; refresh; pause -sec 0.4;"),
              3);
}

} // namespace

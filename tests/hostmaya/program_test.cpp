// The `maya` program: batch scripts, plug-in loading, the idle loop, bad command lines,
// the viewport's picture.
#include "Picture.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {

struct MayaRun {
    std::string output;
    int exitCode = -1;
};

MayaRun runMaya(const std::string& arguments, const std::string& environment = "") {
    MayaRun r;
    std::string command = environment + " " + std::string(MAYA_PROGRAM) + " " + arguments + " 2>&1 </dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.output.append(buffer, n);
    int status = pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string writeScript(const std::string& name, const std::string& text) {
    std::string path = tempFile(name);
    std::ofstream(path) << text;
    return path;
}

size_t position(const std::string& text, const std::string& line) {
    size_t at = text.find(line);
    EXPECT_NE(at, std::string::npos) << "missing: " << line << "\n" << text;
    return at;
}

TEST(MayaProgram, BuildsASceneInBatchModeWithALoadedPlugin) {
    std::string script = writeScript("build.mel",
        "loadPlugin \"" TEST_PLUGIN "\";\n"
        "polyCube; polySphere; nurbsPlane;\n"
        "instance pCube1;\n"
        "group -n grp pCube1 pCube2;\n"
        "ambientLight; directionalLight; pointLight; spotLight -ca 30;\n"
        "string $red = `shadingNode -asShader lambert`;\n"
        "select -r pSphere1; hyperShade -assign $red;\n"
        "string $blue = `shadingNode -asShader lambert`;\n"
        "select -r pCube1.f[0:2]; hyperShade -assign $blue;\n"
        "modelEditor -e -polymeshes false -lights false modelPanel4;\n"
        "hide grp;\n"
        "noSuchCommand;\n"
        "pause -sec 0.1;\n"
        "delete pSphere1;\n"
        "print \"done\\n\";\n");
    MayaRun r = runMaya("-batch -script " + script);
    EXPECT_EQ(r.exitCode, 0);
    const std::string& out = r.output;
    size_t loaded = position(out, "plugin: loaded by Autodesk");
    EXPECT_LT(loaded, position(out, "plugin: added pCube1"));
    EXPECT_LT(position(out, "plugin: added pCube1"), position(out, "plugin: child |pCube1|pCubeShape1 under 1-long path"));
    position(out, "plugin: child |pCube2|pCubeShape1 under 1-long path");
    position(out, "plugin: added lambert2SG");
    position(out, "plugin: added lambert3SG");
    position(out, "plugin: dirty grp.v");
    position(out, "plugin: timer");
    position(out, "Cannot find procedure \"noSuchCommand\"");
    EXPECT_LT(position(out, "plugin: removed pSphereShape1"), position(out, "plugin: removed pSphere1\n"));
    EXPECT_LT(position(out, "done"), position(out, "plugin: unloaded after ticks"));
}

// Unloading is where Maya holds a plug-in to what it made: a callback left registered or
// an OpenGL call with no context current is a fatal error naming the culprit.
TEST(MayaProgram, UnloadingWithACallbackLeftOrAnOpenGlCallIsFatal) {
    const std::string unload = "-batch -command \"loadPlugin \\\"" TEST_PLUGIN "\\\"; unloadPlugin hostmaya_plugin; "
                               "print \\\"survived\\\\n\\\";\"";
    MayaRun clean = runMaya(unload);
    EXPECT_EQ(clean.exitCode, 0) << clean.output;
    EXPECT_NE(clean.output.find("survived"), std::string::npos) << clean.output;

    MayaRun leaked = runMaya(unload, "TEST_PLUGIN_KEEP_TIMER=1");
    EXPECT_NE(leaked.exitCode, 0) << leaked.output;
    EXPECT_NE(leaked.output.find("Fatal Error: plug-in 'hostmaya_plugin' was unloaded with 1 callback still "
                                 "registered (timer callback"),
              std::string::npos)
        << leaked.output;
    EXPECT_EQ(leaked.output.find("survived"), std::string::npos) << leaked.output;

    const std::string drawn = "-batch -command \"loadPlugin \\\"" VIEWPORT_PLUGIN "\\\"; refresh; "
                              "unloadPlugin hostmaya_viewportplugin; print \\\"survived\\\\n\\\";\"";
    MayaRun gl = runMaya(drawn, "TEST_PLUGIN_GL_AT_UNLOAD=1");
    EXPECT_NE(gl.exitCode, 0) << gl.output;
    EXPECT_NE(gl.output.find("Fatal Error: an OpenGL function was called with no OpenGL context current (from "),
              std::string::npos)
        << gl.output;
    EXPECT_NE(gl.output.find("hostmaya_viewportplugin"), std::string::npos) << gl.output;
    EXPECT_EQ(runMaya(drawn).exitCode, 0);
}

TEST(MayaProgram, ReadsMelFromStandardInputAndRejectsBadOptions) {
    MayaRun r = runMaya("-batch -command \"print (1 + 2)\"");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("3"), std::string::npos) << r.output;
    EXPECT_EQ(runMaya("-viewport 12by7").exitCode, 2);
    EXPECT_EQ(runMaya("-viewport 0x10").exitCode, 2);
    EXPECT_EQ(runMaya("-frobnicate").exitCode, 2);
    EXPECT_EQ(runMaya("-script").exitCode, 2);
    EXPECT_EQ(runMaya("-batch -script /nonexistent/scene.mel").exitCode, 1);
    MayaRun bad = runMaya("-batch -command \"loadPlugin \\\"/nonexistent/libnothing.so\\\"; print \\\"after\\\"\"");
    EXPECT_EQ(bad.exitCode, 0);
    EXPECT_NE(bad.output.find("// Error:"), std::string::npos) << bad.output;
    EXPECT_NE(bad.output.find("after"), std::string::npos) << bad.output;
    MayaRun foreign = runMaya("-batch -command \"loadPlugin \\\"" NOT_A_PLUGIN "\\\"\"");
    EXPECT_NE(foreign.output.find("MApiVersion missing"), std::string::npos) << foreign.output;
    EXPECT_EQ(foreign.output.find("initialized"), std::string::npos) << foreign.output;
}

TEST(MayaProgram, RefusesPluginsBuiltForAnotherApiOrWithCEntryPoints) {
    // Entry points of a plug-in built without the versioned namespace: not Maya 2018's.
    MayaRun old = runMaya("-batch -command \"loadPlugin \\\"" UNVERSIONED_PLUGIN "\\\"\"");
    EXPECT_NE(old.output.find("without the Autodesk::Maya::OpenMaya20180000 namespace"), std::string::npos)
        << old.output;
    EXPECT_EQ(old.output.find("initialized"), std::string::npos) << old.output;
    MayaRun newer = runMaya("-batch -command \"loadPlugin \\\"" NEWER_PLUGIN "\\\"\"");
    EXPECT_NE(newer.output.find("MApiVersion too new"), std::string::npos) << newer.output;
    EXPECT_EQ(newer.output.find("initialized"), std::string::npos) << newer.output;
    MayaRun c = runMaya("-batch -command \"loadPlugin \\\"" C_LINKAGE_PLUGIN "\\\"\"");
    EXPECT_NE(c.output.find("Unable to find initializePlugin"), std::string::npos) << c.output;
    EXPECT_EQ(c.output.find("initialized"), std::string::npos) << c.output;
}

TEST(MayaProgram, BatchSceneScriptWritesTheViewportPicture) {
    std::string picture = tempFile("batch.png"), times = tempFile("frames.txt");
    std::remove(picture.c_str());
    std::string script = writeScript("picture.mel",
        "file -f -new;\n"
        "polyCube -w 4 -h 4 -d 4 -n box;\n"
        "string $red = `shadingNode -asShader lambert`;\n"
        "setAttr ($red + \".color\") -type double3 1 0 0;\n"
        "select -r box; hyperShade -assign $red;\n"
        "select -cl;\n"
        "refresh;\n"
        "refresh -fe png -fn \"" + picture + "\";\n");
    MayaRun r = runMaya("-batch -viewport 480x270 -frameTimes " + times + " -script " + script);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find("Error"), std::string::npos) << r.output;
    Picture p;
    ASSERT_TRUE(Picture::read(picture, p)) << r.output;
    EXPECT_EQ(p.width, 480);
    EXPECT_EQ(p.height, 270);
    // The red cube's top face, lit by the headlight, where persp sees it.
    Projector cam = defaultPersp(480, 270);
    Rgb top = p.at(cam.pixel({0, 2, 0.5})[0], cam.pixel({0, 2, 0.5})[1]);
    EXPECT_TRUE(close(top, {byte(0.8 * 21 / std::sqrt(2009.0)), 0, 0}, 2)) << text(top);
    EXPECT_TRUE(near(p, cam.pixel({8, 0, 0}), {0, 0, 0}, 2)) << "grid axis";
    // One time per frame drawn.
    std::ifstream in(times);
    std::vector<double> ms;
    for (double t; in >> t;) ms.push_back(t);
    ASSERT_EQ(ms.size(), 2u);
    EXPECT_GT(ms[0], 0);
}

TEST(MayaProgram, NamesWhatIsMissingWhenThereIsNoOpenGL) {
    // No EGL vendor library: no driver can be found.
    MayaRun r = runMaya("-batch -command \"polyCube; refresh; print \\\"after\\\"\"",
                        "__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent/vendor.json");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("// Error: line 1: refresh: no OpenGL context for Viewport 2.0"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("libegl-mesa0 libgl1-mesa-dri"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("after"), std::string::npos) << r.output;
}

} // namespace

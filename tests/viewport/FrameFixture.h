#pragma once
// Frames through the `maya` stand-in with the plug-in loaded and the panel drawn by
// "Mirror". Every process uses region names of its own (KVT_REGION_SUFFIX, which both
// the plug-in and the responder append), set before the plug-in first looks at them.

#include "TestResponder.h"

#include "../hostmaya/Picture.h"

#include "ChildProcess.h"
#include "Viewport.h"

#include <maya/MGlobal.h>
#include <maya/MViewport2Renderer.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

MStatus initializePlugin(MObject object);
MStatus uninitializePlugin(MObject object);

inline const std::string& regionSuffix()
{
    static const std::string suffix = [] {
        std::string s = testsupport::uniqueName("Vp");
        setenv("KVT_REGION_SUFFIX", s.c_str(), 1);
        return s;
    }();
    return suffix;
}

inline void mel(const std::string& command)
{
    ASSERT_TRUE(MGlobal::executeCommand(MString(command.c_str()))) << command;
}

inline std::string melString(const std::string& command)
{
    MString result;
    EXPECT_TRUE(MGlobal::executeCommand(MString(command.c_str()), result)) << command;
    return result.asChar();
}

constexpr int kWidth = 320, kHeight = 240;

class Frames : public ::testing::Test {
protected:
    void SetUp() override
    {
        regionSuffix();
        if (!MHWRender::MRenderer::theRenderer()->findRenderOverride("Mirror"))
            mel("loadPlugin \"" PLUGIN_PATH "\"");
        mel("file -f -new");
        mel("modelEditor -e -rendererOverrideName \"Mirror\" -allObjects 1 -grid 1 -manipulators 1 -camera persp "
            "modelPanel4");
        mel("control -e -w 320 -h 240 modelPanel4");
        mel("select -cl");
        editsBefore = mayahost::vp2::editsWhileDrawing();
    }
    void TearDown() override
    {
        unreal.reset();
        mel("refresh"); // lets the link notice the responder is gone
        EXPECT_EQ(mayahost::vp2::editsWhileDrawing(), editsBefore) << "the plug-in edited the scene while it drew";
    }

    TestResponder& startUnreal()
    {
        unreal = std::make_unique<TestResponder>(regionSuffix());
        EXPECT_TRUE(unreal->link().isOpen());
        return *unreal;
    }

    std::unique_ptr<TestResponder> unreal;
    int editsBefore = 0;
};

inline Rgb rgbOf(const std::array<std::uint8_t, 3>& bgr) { return {bgr[2], bgr[1], bgr[0]}; }

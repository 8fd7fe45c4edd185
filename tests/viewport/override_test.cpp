// The override "Mirror": its operations with the link down and up, the setup commands,
// and the plug-in's registration.
#include "FrameFixture.h"

#include "viewport/MayaRenderOverride.h"

#include "Messages.h"

#include "link/Platform.h"
#include "scene/MayaSceneRegistry.h"

#include <vector>

namespace {

std::vector<std::string> operations(MayaRenderOverride& o)
{
    std::vector<std::string> names;
    if (!o.startOperationIterator())
        return names;
    do {
        MHWRender::MRenderOperation* op = o.renderOperation();
        names.push_back(op ? op->name().asChar() : "(none)");
    } while (o.nextRenderOperation() && names.size() < 10);
    return names;
}

TEST_F(Frames, OperationsAreMayasSceneOnlyWhileTheLinkIsDown)
{
    MayaRenderOverride o("MirrorProbe");
    EXPECT_EQ(operations(o), (std::vector<std::string>{"preSceneRender", "gxSceneRender", "mayaSceneRender",
                                                        "mayaPresent"}));
    startUnreal();
    mel("refresh"); // the driver connects
    EXPECT_EQ(operations(o), (std::vector<std::string>{"gxSceneRender", "mayaSceneRender", "mayaPresent"}));
    // Past the present there is nothing.
    o.nextRenderOperation();
    EXPECT_EQ(o.renderOperation(), nullptr);
    EXPECT_EQ(o.supportedDrawAPIs(), MHWRender::kOpenGL | MHWRender::kOpenGLCoreProfile);
}

TEST_F(Frames, PassesFilterAndClearAsTheirPlaceInTheFrameNeeds)
{
    PasPreScene pre;
    PassMayaScene ui;
    EXPECT_EQ(static_cast<unsigned>(pre.renderFilterOverride()), 0xFFFFFFF6u);
    EXPECT_EQ(pre.clearOperation().mask(), 0xFFFFFFFFu);
    EXPECT_EQ(static_cast<unsigned>(ui.renderFilterOverride()), 9u);
    // Stencil only: the picture's colour and depth stay under the interface items.
    EXPECT_EQ(ui.clearOperation().mask(), static_cast<unsigned>(MHWRender::MClearOperation::kClearStencil));
}

TEST_F(Frames, SetupTurnsMultisamplingOffAfterEachDrawApiQuery)
{
    // Whatever earlier frames left for idle (a redraw asked for, queued commands) goes first.
    mel("pause -sec 0; pause -sec 0");
    mel("setAttr hardwareRenderingGlobals.multiSampleEnable 1");
    mel("refresh");
    // Not while the frame drew: from Maya's idle queue right after it.
    EXPECT_EQ(melString("getAttr hardwareRenderingGlobals.multiSampleEnable"), "1");
    // Idle turns without frames from here on (a frame asks for the draw APIs again).
    MayaSceneRegistry::instance().lastDriverTick = kvt::platform::tickCountMilliseconds();
    mel("pause -sec 0");
    EXPECT_EQ(melString("getAttr hardwareRenderingGlobals.multiSampleEnable"), "0");
    // Not every frame: only after Maya asked for the draw APIs again.
    auto* mirror = const_cast<MHWRender::MRenderOverride*>(
        MHWRender::MRenderer::theRenderer()->findRenderOverride("Mirror"));
    ASSERT_NE(mirror, nullptr);
    mel("setAttr hardwareRenderingGlobals.multiSampleEnable 1");
    mirror->setup("modelPanel4");
    MayaSceneRegistry::instance().lastDriverTick = kvt::platform::tickCountMilliseconds();
    mel("pause -sec 0");
    EXPECT_EQ(melString("getAttr hardwareRenderingGlobals.multiSampleEnable"), "1");
    mirror->supportedDrawAPIs();
    mirror->setup("modelPanel4");
    mel("pause -sec 0");
    EXPECT_EQ(melString("getAttr hardwareRenderingGlobals.multiSampleEnable"), "0");
}

TEST_F(Frames, LoadingTwiceKeepsOneOverrideAndUnloadingRemovesIt)
{
    const MHWRender::MRenderOverride* first = MHWRender::MRenderer::theRenderer()->findRenderOverride("Mirror");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(initializePlugin(MObject()));
    EXPECT_EQ(MHWRender::MRenderer::theRenderer()->findRenderOverride("Mirror"), first);
    mel("unloadPlugin QuorbellMirror");
    EXPECT_EQ(MHWRender::MRenderer::theRenderer()->findRenderOverride("Mirror"), nullptr);
    // Unloaded twice, nothing is left to deregister.
    EXPECT_TRUE(uninitializePlugin(MObject()));
    mel("loadPlugin \"" PLUGIN_PATH "\"");
    EXPECT_NE(MHWRender::MRenderer::theRenderer()->findRenderOverride("Mirror"), nullptr);
}

// With the link up the scene callbacks are registered too; uninitializePlugin removes them
// with the timer (the host ends the process on any left behind).
TEST_F(Frames, UnloadingWithTheLinkUpLeavesNoCallbackRegistered)
{
    startUnreal();
    mel("polyCube -n box");
    mel("refresh");
    EXPECT_GT(mayahost::messages::registeredCount(), 3u);
    mel("unloadPlugin QuorbellMirror");
    EXPECT_EQ(mayahost::messages::registeredCount(), 0u);
    mel("loadPlugin \"" PLUGIN_PATH "\"");
    mel("refresh");
}

} // namespace

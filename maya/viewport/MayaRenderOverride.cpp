#include "MayaRenderOverride.h"

#include "FrameDriver.h"

#include <maya/MGlobal.h>

MHWRender::MSceneRender::MSceneFilterOption PasPreScene::renderFilterOverride()
{
    // Every item class but the interface items: the shaded scene.
    return static_cast<MSceneFilterOption>(~(kRenderPreSceneUIItems | kRenderPostSceneUIItems));
}

MHWRender::MClearOperation& PasPreScene::clearOperation()
{
    mClearOperation.setMask(0xFFFFFFFFu);
    return mClearOperation;
}

MStatus PassGxScene::execute(const MHWRender::MDrawContext& drawContext)
{
    drawFrame(drawContext);
    return MS::kSuccess;
}

MHWRender::MSceneRender::MSceneFilterOption PassMayaScene::renderFilterOverride()
{
    return static_cast<MSceneFilterOption>(kRenderPreSceneUIItems | kRenderPostSceneUIItems);
}

MHWRender::MClearOperation& PassMayaScene::clearOperation()
{
    // Keeps the picture and depth below the interface items; only stencil starts afresh,
    // as in the devkit's own interface-only pass.
    mClearOperation.setMask(static_cast<unsigned int>(MHWRender::MClearOperation::kClearStencil));
    return mClearOperation;
}

MayaRenderOverride::MayaRenderOverride(const MString& name) : MRenderOverride(name) {}

MayaRenderOverride::~MayaRenderOverride() = default;

MHWRender::DrawAPI MayaRenderOverride::supportedDrawAPIs() const
{
    setupPending = 1;
    return MHWRender::kOpenGL | MHWRender::kOpenGLCoreProfile;
}

bool MayaRenderOverride::startOperationIterator()
{
    currentOperation = isLinkOpen() ? 1 : 0;
    return true;
}

MHWRender::MRenderOperation* MayaRenderOverride::renderOperation()
{
    switch (currentOperation) {
    case 0: return &preScene;
    case 1: return &gxScene;
    case 2: return &mayaScene;
    case 3: return &present;
    default: return nullptr;
    }
}

bool MayaRenderOverride::nextRenderOperation()
{
    return currentOperation++ != 3;
}

MStatus MayaRenderOverride::setup(const MString& destination)
{
    if (setupPending) {
        setupPending = 0;
        // Preferences and a node of the scene: not while Viewport 2.0 draws, but from the
        // idle queue right after this frame, in this order.
        MGlobal::executeCommandOnIdle("colorManagementPrefs -edit -popupOnError true -cmEnabled 0", false);
        MGlobal::executeCommandOnIdle("setAttr \"hardwareRenderingGlobals.multiSampleEnable\" 0", false);
    }
    return MRenderOverride::setup(destination);
}

MStatus MayaRenderOverride::cleanup()
{
    endFrame();
    return MRenderOverride::cleanup();
}

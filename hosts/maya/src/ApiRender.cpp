// Viewport 2.0 API: the renderer, render overrides, their operations, frame contexts.
#include "Bridge.h"
#include "FrameState.h"
#include "GlContext.h"
#include "Matrix.h"
#include "SceneDraw.h"
#include "Viewport.h"

#include <maya/MDrawContext.h>
#include <maya/MFrameContext.h>
#include <maya/MViewport2Renderer.h>

using namespace mayahost;
using namespace MHWRender;

// --- Operations ---------------------------------------------------------------------------

MRenderOperation::MRenderOperation(const MString& name) : mOperationType(kUserDefined), mName(name) {}
MRenderOperation::MRenderOperation() : mOperationType(kUserDefined) {}
MRenderOperation::~MRenderOperation() = default;
const MString& MRenderOperation::name() const { return mName; }
MRenderOperation::MRenderOperationType MRenderOperation::operationType() const { return mOperationType; }

MUserRenderOperation::MUserRenderOperation(const MString& name) : MRenderOperation(name) {
    mOperationType = kUserDefined;
}
MUserRenderOperation::~MUserRenderOperation() = default;

MPresentTarget::MPresentTarget(const MString& name) : MRenderOperation(name) { mOperationType = kPresentTarget; }
MPresentTarget::~MPresentTarget() = default;

// A scene render clears everything unless told otherwise; the colour is Maya's clear
// colour only when the operation sets it (MRenderer::clearColor).
MClearOperation::MClearOperation(const MString& name)
    : MRenderOperation(name), mClearMask(static_cast<unsigned int>(kClearAll)), mClearColor{0, 0, 0, 0},
      mClearStencil(0), mClearDepth(1.0f) {
    mOperationType = kClear;
}
MClearOperation::MClearOperation() : MClearOperation(MString()) {}
MClearOperation::~MClearOperation() = default;
unsigned int MClearOperation::mask() const { return mClearMask; }
const float* MClearOperation::clearColor() const { return mClearColor; }
int MClearOperation::clearStencil() const { return mClearStencil; }
float MClearOperation::clearDepth() const { return mClearDepth; }
void MClearOperation::setMask(unsigned int mask) { mClearMask = mask; }
void MClearOperation::setClearColor(float value[4]) {
    for (int i = 0; i < 4; ++i) mClearColor[i] = value[i];
}
void MClearOperation::setClearStencil(int value) { mClearStencil = value; }
void MClearOperation::setClearDepth(float value) { mClearDepth = value; }

MSceneRender::MSceneRender(const MString& name) : MRenderOperation(name), mClearOperation(name + "_clear") {
    mOperationType = kSceneRender;
}
MSceneRender::~MSceneRender() = default;
MSceneRender::MSceneFilterOption MSceneRender::renderFilterOverride() { return kNoSceneFilterOverride; }
MClearOperation& MSceneRender::clearOperation() { return mClearOperation; }

// --- Overrides and the renderer ---------------------------------------------------------

MRenderOverride::MRenderOverride(const MString& name) : mName(name) {}
MRenderOverride::~MRenderOverride() = default;
DrawAPI MRenderOverride::supportedDrawAPIs() const { return kOpenGL; }
const MString& MRenderOverride::name() const { return mName; }
MString MRenderOverride::uiName() const { return mName; }
MStatus MRenderOverride::setup(const MString&) { return MS::kSuccess; }
MStatus MRenderOverride::cleanup() { return MS::kSuccess; }
bool MRenderOverride::startOperationIterator() { return false; }
MRenderOperation* MRenderOverride::renderOperation() { return nullptr; }
bool MRenderOverride::nextRenderOperation() { return false; }
const MFrameContext* MRenderOverride::getFrameContext() const { return vp2::frameContextOf(this); }

MRenderer::MRenderer() = default;
MRenderer::~MRenderer() = default;

MRenderer* MRenderer::theRenderer(bool initializeRenderer) {
    static MRenderer renderer;
    // Initialising brings up the OpenGL context, so that a plug-in may create its GL
    // objects at once; without OpenGL the renderer still takes registrations and the
    // first frame reports what is missing.
    if (initializeRenderer) {
        std::string error;
        gl::makeCurrent(error);
    }
    return &renderer;
}

DrawAPI MRenderer::drawAPI() const { return vp2::kDrawAPI; }
bool MRenderer::drawAPIIsOpenGL() const { return (vp2::kDrawAPI & (kOpenGL | kOpenGLCoreProfile)) != 0; }

MStatus MRenderer::registerOverride(const MRenderOverride* o) {
    if (!o) return MS::kInvalidParameter;
    return vp2::registerOverride(o) ? MS::kSuccess : MS::kFailure;
}

MStatus MRenderer::deregisterOverride(const MRenderOverride* o) {
    if (!o) return MS::kInvalidParameter;
    return vp2::deregisterOverride(o) ? MS::kSuccess : MS::kFailure;
}

const MRenderOverride* MRenderer::findRenderOverride(const MString& name) { return vp2::findOverride(name.asChar()); }

MColor MRenderer::clearColor() const {
    return MColor(draw::kBackground[0], draw::kBackground[1], draw::kBackground[2], draw::kBackground[3]);
}

// --- Frame contexts ---------------------------------------------------------------------

const MUint64 MFrameContext::kExcludeNone;
const MUint64 MFrameContext::kExcludeNurbsCurves;
const MUint64 MFrameContext::kExcludeNurbsSurfaces;
const MUint64 MFrameContext::kExcludeMeshes;
const MUint64 MFrameContext::kExcludePlanes;
const MUint64 MFrameContext::kExcludeLights;
const MUint64 MFrameContext::kExcludeCameras;
const MUint64 MFrameContext::kExcludeJoints;
const MUint64 MFrameContext::kExcludeIkHandles;
const MUint64 MFrameContext::kExcludeDeformers;
const MUint64 MFrameContext::kExcludeDynamics;
const MUint64 MFrameContext::kExcludeParticleInstancers;
const MUint64 MFrameContext::kExcludeLocators;
const MUint64 MFrameContext::kExcludeDimensions;
const MUint64 MFrameContext::kExcludeSelectHandles;
const MUint64 MFrameContext::kExcludePivots;
const MUint64 MFrameContext::kExcludeTextures;
const MUint64 MFrameContext::kExcludeGrid;
const MUint64 MFrameContext::kExcludeCVs;
const MUint64 MFrameContext::kExcludeHulls;
const MUint64 MFrameContext::kExcludeStrokes;
const MUint64 MFrameContext::kExcludeSubdivSurfaces;
const MUint64 MFrameContext::kExcludeFluids;
const MUint64 MFrameContext::kExcludeFollicles;
const MUint64 MFrameContext::kExcludeHairSystems;
const MUint64 MFrameContext::kExcludeImagePlane;
const MUint64 MFrameContext::kExcludeNCloths;
const MUint64 MFrameContext::kExcludeNRigids;
const MUint64 MFrameContext::kExcludeDynamicConstraints;
const MUint64 MFrameContext::kExcludeManipulators;
const MUint64 MFrameContext::kExcludeNParticles;
const MUint64 MFrameContext::kExcludeMotionTrails;
const MUint64 MFrameContext::kExcludeHoldOuts;
const MUint64 MFrameContext::kExcludeAll;

MFrameContext::MFrameContext() : fState(nullptr) {}
MFrameContext::~MFrameContext() = default;

namespace {

MMatrix transposed(const MMatrix& m) {
    MMatrix t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) t.matrix[r][c] = m.matrix[c][r];
    return t;
}

} // namespace

MMatrix MFrameContext::getMatrix(MatrixType type, MStatus* status) const {
    // Only the camera's matrices exist for a whole frame: no object is being drawn.
    if (!fState || type < kViewMtx || type > kViewProjTranspInverseMtx) {
        if (status) *status = MS::kFailure;
        return MMatrix();
    }
    const camera::View& v = fState->view;
    MMatrix base = type < kProjectionMtx ? v.view : type < kViewProjMtx ? v.projection : v.view * v.projection;
    MMatrix out;
    switch ((type - kViewMtx) % 4) {
    case 0: out = base; break;
    case 1: out = transposed(base); break;
    case 2: out = inverseMatrix(base); break;
    default: out = transposed(inverseMatrix(base)); break;
    }
    // The view inverse is the camera's own world matrix, exactly.
    if (type == kViewInverseMtx) out = v.viewInverse;
    if (status) *status = MS::kSuccess;
    return out;
}

MStatus MFrameContext::getViewportDimensions(int& originX, int& originY, int& width, int& height) const {
    if (!fState) return MS::kFailure;
    originX = 0;
    originY = 0;
    width = fState->width;
    height = fState->height;
    return MS::kSuccess;
}

MUint64 MFrameContext::objectTypeExclusions() const { return fState ? fState->exclusions : kExcludeNone; }

MDrawContext::MDrawContext() = default;
MDrawContext::~MDrawContext() = default;

MDrawContext& Bridge::drawContext() {
    static MDrawContext context;
    return context;
}

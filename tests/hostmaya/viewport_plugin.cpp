// A plug-in with a Viewport 2.0 render override, as a viewport plug-in writes one: a scene
// render that clears, a user operation that writes colour and depth straight into the
// render target it finds bound, an interface pass that keeps them, and the present. It
// reports every call Maya makes and what it found in OpenGL through MGlobal::displayInfo.
#include <maya/MDrawContext.h>
#include <maya/MFnPlugin.h>
#include <maya/MFrameContext.h>
#include <maya/MGlobal.h>
#include <maya/MViewport2Renderer.h>

#include <epoxy/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void report(const std::string& text) { MGlobal::displayInfo(MString(("override: " + text).c_str())); }

// The colour and depth the user operation writes: its depth is near on the left half of
// the target and as far as it goes on the right half.
const unsigned char kUserColor[4] = {200, 40, 30, 255};
constexpr float kNearDepth = 0.5f, kFarDepth = 1.0f;

class ClearPass : public MHWRender::MSceneRender {
public:
    ClearPass() : MSceneRender("testClear") {
        float grey[4] = {0.1f, 0.2f, 0.3f, 1.0f};
        mClearOperation.setClearColor(grey);
        mClearOperation.setMask(static_cast<unsigned int>(MHWRender::MClearOperation::kClearAll));
    }
    MSceneFilterOption renderFilterOverride() override {
        report("renderFilterOverride testClear");
        return kRenderShadedItems;
    }
    MHWRender::MClearOperation& clearOperation() override {
        report("clearOperation testClear");
        return mClearOperation;
    }
};

std::string attachment(GLenum point) {
    GLint type = 0, name = 0;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    if (type != GL_TEXTURE) return "type=" + std::to_string(type);
    GLint format = 0, width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(name));
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glBindTexture(GL_TEXTURE_2D, 0);
    char text[128];
    std::snprintf(text, sizeof text, "texture=%d format=0x%x size=%dx%d", name, format, width, height);
    return text;
}

class UploadPass : public MHWRender::MUserRenderOperation {
public:
    UploadPass() : MUserRenderOperation("testUpload") {}
    MStatus execute(const MHWRender::MDrawContext& context) override {
        report("execute testUpload");
        GLint framebuffer = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
        report("framebuffer " + std::to_string(framebuffer));
        report("colour " + attachment(GL_COLOR_ATTACHMENT0));
        report("depth " + attachment(GL_DEPTH_ATTACHMENT));
        int x = 0, y = 0, width = 0, height = 0;
        if (!context.getViewportDimensions(x, y, width, height) || width <= 0 || height <= 0) return MS::kFailure;
        GLint colorTexture = 0, depthTexture = 0;
        glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                              GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &colorTexture);
        glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                              GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &depthTexture);
        std::vector<unsigned char> color(static_cast<size_t>(width) * height * 4);
        std::vector<float> depth(static_cast<size_t>(width) * height);
        for (int row = 0; row < height; ++row)
            for (int col = 0; col < width; ++col) {
                size_t i = static_cast<size_t>(row) * width + col;
                for (int c = 0; c < 4; ++c) color[i * 4 + c] = kUserColor[c];
                depth[i] = col < width / 2 ? kNearDepth : kFarDepth;
            }
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(colorTexture));
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, color.data());
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(depthTexture));
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        GLenum error = glGetError();
        if (error != GL_NO_ERROR) report("gl error " + std::to_string(error));
        return MS::kSuccess;
    }
};

class InterfacePass : public MHWRender::MSceneRender {
public:
    InterfacePass() : MSceneRender("testInterface") {
        mClearOperation.setMask(static_cast<unsigned int>(MHWRender::MClearOperation::kClearNone));
    }
    MSceneFilterOption renderFilterOverride() override {
        report("renderFilterOverride testInterface");
        return kRenderUIItems;
    }
    MHWRender::MClearOperation& clearOperation() override {
        report("clearOperation testInterface");
        return mClearOperation;
    }
};

class TestOverride : public MHWRender::MRenderOverride {
public:
    TestOverride() : MRenderOverride("hostmayaTestOverride") {
        fOperations[0] = new ClearPass;
        fOperations[1] = new UploadPass;
        fOperations[2] = new InterfacePass;
        fOperations[3] = new MHWRender::MPresentTarget("testPresent");
    }
    ~TestOverride() override {
        for (MHWRender::MRenderOperation* op : fOperations) delete op;
    }
    MHWRender::DrawAPI supportedDrawAPIs() const override { return MHWRender::kOpenGL | MHWRender::kOpenGLCoreProfile; }
    MStatus setup(const MString& destination) override {
        report(std::string("setup ") + destination.asChar());
        const MHWRender::MFrameContext* frame = getFrameContext();
        int x = -1, y = -1, width = -1, height = -1;
        if (frame && frame->getViewportDimensions(x, y, width, height))
            report("viewport " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(width) + " " +
                   std::to_string(height));
        return MS::kSuccess;
    }
    MStatus cleanup() override {
        report("cleanup");
        return MS::kSuccess;
    }
    bool startOperationIterator() override {
        report("startOperationIterator");
        fCurrent = 0;
        return true;
    }
    MHWRender::MRenderOperation* renderOperation() override {
        report("renderOperation " + std::to_string(fCurrent));
        return fCurrent < 4 ? fOperations[fCurrent] : nullptr;
    }
    bool nextRenderOperation() override {
        report("nextRenderOperation");
        return ++fCurrent < 4;
    }
    MString uiName() const override { return "Host test override"; }

private:
    MHWRender::MRenderOperation* fOperations[4];
    int fCurrent = 0;
};

TestOverride* theOverride = nullptr;

} // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Autodesk", "1.0", "Any");
    MHWRender::MRenderer* renderer = MHWRender::MRenderer::theRenderer();
    if (!renderer) return MS::kFailure;
    theOverride = new TestOverride;
    return renderer->registerOverride(theOverride);
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    // A plug-in that releases OpenGL objects here, where no context is current.
    if (std::getenv("TEST_PLUGIN_GL_AT_UNLOAD")) {
        GLuint texture = 1;
        glDeleteTextures(1, &texture);
    }
    MHWRender::MRenderer* renderer = MHWRender::MRenderer::theRenderer();
    if (renderer) renderer->deregisterOverride(theOverride);
    delete theOverride;
    theOverride = nullptr;
    return MS::kSuccess;
}

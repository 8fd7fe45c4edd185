#include "Viewport.h"

#include "Bridge.h"
#include "GlContext.h"
#include "Host.h"
#include "Mel.h"
#include "Png.h"
#include "SceneDraw.h"

#include <maya/MDrawContext.h>

#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>

namespace mayahost::vp2 {
namespace {

using namespace MHWRender;

// The panel's render target (colour and depth textures) and the surface its presented
// picture lands on.
struct Target {
    GLuint fbo = 0, color = 0, depth = 0;
    int width = 0, height = 0;
    GLuint screenFbo = 0, screen = 0;
    int screenWidth = 0, screenHeight = 0;
    bool presented = false;
};

Target& target() {
    static Target t;
    return t;
}

bool makeTarget(Target& t, int width, int height, std::string& error) {
    if (t.fbo && t.width == width && t.height == height) return true;
    if (t.fbo) {
        glDeleteFramebuffers(1, &t.fbo);
        glDeleteTextures(1, &t.color);
        glDeleteTextures(1, &t.depth);
    }
    t.width = width;
    t.height = height;
    glGenTextures(1, &t.color);
    glBindTexture(GL_TEXTURE_2D, t.color);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glGenTextures(1, &t.depth);
    glBindTexture(GL_TEXTURE_2D, t.depth);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &t.fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, t.fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.color, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, t.depth, 0);
    GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%04x", status);
        error = std::string("the viewport's render target is incomplete (status ") + code + ", OpenGL error " + std::to_string(glGetError()) + ")";
        return false;
    }
    return true;
}

// What every operation finds: the target bound for drawing and reading, the whole
// viewport, no program, no blending or tests.
void bindTarget(const Target& t) {
    glBindFramebuffer(GL_FRAMEBUFFER, t.fbo);
    glViewport(0, 0, t.width, t.height);
    glUseProgram(0);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void clear(unsigned int mask, const float color[4], float depth) {
    GLbitfield bits = 0;
    if (mask & MClearOperation::kClearColor) {
        glClearColor(color[0], color[1], color[2], color[3]);
        bits |= GL_COLOR_BUFFER_BIT;
    }
    if (mask & MClearOperation::kClearDepth) {
        glClearDepth(depth);
        bits |= GL_DEPTH_BUFFER_BIT;
    }
    if (bits) glClear(bits);
}

// The target's colour becomes the panel's picture.
void present(Target& t) {
    if (!t.screenFbo || t.screenWidth != t.width || t.screenHeight != t.height) {
        if (t.screenFbo) {
            glDeleteFramebuffers(1, &t.screenFbo);
            glDeleteRenderbuffers(1, &t.screen);
        }
        glGenRenderbuffers(1, &t.screen);
        glBindRenderbuffer(GL_RENDERBUFFER, t.screen);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, t.width, t.height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glGenFramebuffers(1, &t.screenFbo);
        glBindFramebuffer(GL_FRAMEBUFFER, t.screenFbo);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, t.screen);
        t.screenWidth = t.width;
        t.screenHeight = t.height;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, t.fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, t.screenFbo);
    glBlitFramebuffer(0, 0, t.width, t.height, 0, 0, t.width, t.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    t.presented = true;
}

struct Registry {
    std::vector<const MRenderOverride*> overrides;
    const MRenderOverride* drawing = nullptr; // between its setup and cleanup
    std::set<std::string> warned;
    bool pending = false;
    bool reported = false;
    int editsWhileDrawing = 0;
    std::vector<double> seconds;
};

Registry& registry() {
    static Registry r;
    return r;
}

void runOverride(MRenderOverride& o, const FrameState& frame, MDrawContext& context, Target& t) {
    Registry& r = registry();
    r.drawing = &o;
    if (!o.setup(MString(frame.panel.c_str()))) {
        o.cleanup();
        r.drawing = nullptr;
        return;
    }
    // The operations are gathered first and run afterwards, in order.
    std::vector<MRenderOperation*> operations;
    if (o.startOperationIterator()) {
        do {
            if (MRenderOperation* op = o.renderOperation()) operations.push_back(op);
        } while (o.nextRenderOperation() && operations.size() < 1024);
    }
    for (MRenderOperation* op : operations) {
        bindTarget(t);
        switch (op->operationType()) {
        case MRenderOperation::kSceneRender: {
            auto* scene = static_cast<MSceneRender*>(op);
            MClearOperation& c = scene->clearOperation();
            clear(c.mask(), c.clearColor(), c.clearDepth());
            draw::drawScene(frame, static_cast<unsigned int>(scene->renderFilterOverride()));
            break;
        }
        case MRenderOperation::kUserDefined:
            static_cast<MUserRenderOperation*>(op)->execute(context);
            break;
        case MRenderOperation::kPresentTarget:
            present(t);
            break;
        default:
            break;
        }
    }
    o.cleanup();
    r.drawing = nullptr;
}

// Maya's own pipeline when the panel has no override: clear to the background, the grid,
// the shaded scene, the interface, present.
void runDefault(const FrameState& frame, Target& t) {
    bindTarget(t);
    clear(MClearOperation::kClearAll, draw::kBackground, 1.0f);
    draw::drawScene(frame, MSceneRender::kRenderAllItems);
    present(t);
}

} // namespace

bool drawFrame(std::string& error) {
    // A refresh asked for while a frame is being drawn (from an override's operation) is
    // that frame.
    static bool drawing = false;
    if (drawing) return true;
    struct Drawing {
        Drawing() { drawing = true; }
        ~Drawing() { drawing = false; }
    } scope;
    auto start = std::chrono::steady_clock::now();
    if (!gl::makeCurrent(error)) return false;
    host::Viewport& v = host::viewport();
    FrameState frame;
    frame.panel = v.panel;
    frame.width = v.width;
    frame.height = v.height;
    frame.exclusions = v.exclusions;
    // A panel whose camera was deleted looks through persp again, as Maya's does.
    if (!camera::view(v.camera, v.width, v.height, frame.view)) {
        v.camera = "persp";
        camera::view(v.camera, v.width, v.height, frame.view);
    }
    Target& t = target();
    if (!makeTarget(t, v.width, v.height, error)) return false;
    Registry& r = registry();
    auto* o = const_cast<MRenderOverride*>(findOverride(v.rendererOverride));
    if (o && !(o->supportedDrawAPIs() & kDrawAPI)) {
        if (r.warned.insert(v.rendererOverride).second)
            mel::print("// Warning: The render override '" + v.rendererOverride +
                       "' does not support the current drawing API (OpenGL Core Profile); using the default "
                       "renderer. //\n");
        o = nullptr;
    }
    MDrawContext& context = Bridge::drawContext();
    Bridge::setFrameState(context, &frame);
    if (o) runOverride(*o, frame, context, t);
    else runDefault(frame, t);
    Bridge::setFrameState(context, nullptr);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    draw::releaseUnusedMeshes();
    glFinish();
    r.seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return true;
}

void requestRedraw() { registry().pending = true; }
bool redrawPending() { return registry().pending; }

void drawRequestedFrame() {
    Registry& r = registry();
    if (!r.pending) return;
    r.pending = false;
    std::string error;
    if (!drawFrame(error) && !r.reported) {
        r.reported = true;
        mel::printError(error);
    }
}

bool presentedPicture(std::vector<unsigned char>& rgb, int& width, int& height) {
    std::string error;
    Target& t = target();
    if (!t.presented || !gl::makeCurrent(error)) return false;
    width = t.screenWidth;
    height = t.screenHeight;
    std::vector<unsigned char> rows(static_cast<size_t>(width) * height * 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, t.screenFbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    // OpenGL reads the bottom row first.
    rgb.resize(rows.size());
    size_t stride = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::copy_n(rows.data() + (height - 1 - y) * stride, stride, rgb.data() + y * stride);
    return true;
}

bool writePicture(const std::string& path, std::string& error) {
    std::vector<unsigned char> rgb;
    int width = 0, height = 0;
    if (!presentedPicture(rgb, width, height)) {
        error = "the viewport has presented no picture";
        return false;
    }
    return png::writeRgb(path, width, height, rgb, error);
}

const std::vector<double>& frameSeconds() { return registry().seconds; }

bool registerOverride(const MRenderOverride* o) {
    if (!o) return false;
    for (const MRenderOverride* other : registry().overrides)
        if (other == o || other->name() == o->name()) return false;
    registry().overrides.push_back(o);
    return true;
}

bool deregisterOverride(const MRenderOverride* o) {
    auto& list = registry().overrides;
    auto it = std::find(list.begin(), list.end(), o);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

const MRenderOverride* findOverride(const std::string& name) {
    if (name.empty()) return nullptr;
    for (const MRenderOverride* o : registry().overrides)
        if (name == o->name().asChar()) return o;
    return nullptr;
}

void sceneEdited(const std::string& what) {
    Registry& r = registry();
    if (!r.drawing) return;
    ++r.editsWhileDrawing;
    mel::printError(what + " while the render override '" + r.drawing->name().asChar() +
                    "' draws: Viewport 2.0 does not allow the scene to be edited during drawing");
}

int editsWhileDrawing() { return registry().editsWhileDrawing; }

const MFrameContext* frameContextOf(const MRenderOverride* o) {
    return o && registry().drawing == o ? &Bridge::drawContext() : nullptr;
}

} // namespace mayahost::vp2

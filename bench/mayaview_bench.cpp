// The Maya stand-in's Viewport 2.0 frame at 960 x 540 on the software rasteriser: Maya's
// default renderer over scenes of growing size, a render override whose user operation
// uploads a whole colour and depth picture into the target (what the plug-in's frame
// costs the host), and writing the presented picture as PNG.

#include "../hosts/maya/src/Host.h"
#include "../hosts/maya/src/Mel.h"
#include "../hosts/maya/src/Viewport.h"

#include <maya/MDrawContext.h>
#include <maya/MViewport2Renderer.h>

#include <epoxy/gl.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 960, kHeight = 540;

bool scene(const std::string& mel) {
    int errors = 0;
    mayahost::mel::run("file -f -new; control -e -w " + std::to_string(kWidth) + " -h " + std::to_string(kHeight) +
                           " modelPanel4; modelEditor -e -rendererOverrideName \"\" modelPanel4;" + mel,
                       "", &errors);
    return errors == 0;
}

void frames(benchmark::State& state) {
    std::string error;
    for (auto _ : state) {
        if (!mayahost::vp2::drawFrame(error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    state.counters["pixels/s"] =
        benchmark::Counter(double(kWidth) * kHeight, benchmark::Counter::kIsIterationInvariantRate);
}

// A grid of n x n spheres (400 triangles each) under a light, one of them selected.
void BM_DefaultRendererFrame(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    std::string mel = "directionalLight; rotate -45 30 0;";
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            mel += "polySphere -r 0.4; move " + std::to_string(i - n / 2) + " 0.5 " + std::to_string(j - n / 2) + ";";
    if (!scene(mel)) {
        state.SkipWithError("scene script failed");
        return;
    }
    frames(state);
    state.counters["triangles"] = double(n) * n * 400;
}
BENCHMARK(BM_DefaultRendererFrame)->Arg(1)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);

struct Upload : MHWRender::MUserRenderOperation {
    std::vector<unsigned char> color = std::vector<unsigned char>(size_t(kWidth) * kHeight * 4, 128);
    std::vector<float> depth = std::vector<float>(size_t(kWidth) * kHeight, 0.9f);
    Upload() : MUserRenderOperation("benchUpload") {}
    MStatus execute(const MHWRender::MDrawContext&) override {
        GLint color = 0, depthTexture = 0;
        glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                              GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &color);
        glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                              GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &depthTexture);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(color));
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_BYTE, this->color.data());
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(depthTexture));
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kWidth, kHeight, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return MS::kSuccess;
    }
};

struct Interface : MHWRender::MSceneRender {
    Interface() : MSceneRender("benchInterface") {
        mClearOperation.setMask(static_cast<unsigned int>(MHWRender::MClearOperation::kClearNone));
    }
    MSceneFilterOption renderFilterOverride() override { return kRenderUIItems; }
};

// The plug-in's shape of frame: clear, upload, interface over it, present.
struct UploadOverride : MHWRender::MRenderOverride {
    MHWRender::MSceneRender clear{"benchClear"};
    Upload upload;
    Interface ui;
    MHWRender::MPresentTarget present{"benchPresent"};
    MHWRender::MRenderOperation* ops[4] = {&clear, &upload, &ui, &present};
    int current = 0;
    UploadOverride() : MRenderOverride("benchUploadOverride") {}
    MHWRender::DrawAPI supportedDrawAPIs() const override { return MHWRender::kAllDevices; }
    bool startOperationIterator() override { return (current = 0) == 0; }
    MHWRender::MRenderOperation* renderOperation() override { return current < 4 ? ops[current] : nullptr; }
    bool nextRenderOperation() override { return ++current < 4; }
};

void BM_OverrideUploadFrame(benchmark::State& state) {
    if (!scene("polyCube -w 4 -h 4 -d 4")) {
        state.SkipWithError("scene script failed");
        return;
    }
    UploadOverride o;
    MHWRender::MRenderer::theRenderer()->registerOverride(&o);
    mayahost::mel::run("modelEditor -e -rendererOverrideName benchUploadOverride modelPanel4", "");
    frames(state);
    state.counters["uploaded bytes/s"] =
        benchmark::Counter(double(kWidth) * kHeight * 8, benchmark::Counter::kIsIterationInvariantRate);
    MHWRender::MRenderer::theRenderer()->deregisterOverride(&o);
}
BENCHMARK(BM_OverrideUploadFrame)->Unit(benchmark::kMillisecond);

void BM_WritePicture(benchmark::State& state) {
    std::string error, path = "/tmp/mayaview_bench.png";
    if (!scene("polyCube -w 4 -h 4 -d 4") || !mayahost::vp2::drawFrame(error)) {
        state.SkipWithError(error.empty() ? "scene script failed" : error.c_str());
        return;
    }
    for (auto _ : state) {
        if (!mayahost::vp2::writePicture(path, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WritePicture)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

#pragma once
// The render override "Mirror": Maya's own scene while the link is down, the frame
// driver, Maya's interface items over the picture, and the present.

#include <maya/MString.h>
#include <maya/MViewport2Renderer.h>

#include <cstdint>

class PasPreScene : public MHWRender::MSceneRender {
public:
    PasPreScene() : MSceneRender("preSceneRender") {}
    MSceneFilterOption renderFilterOverride() override;
    MHWRender::MClearOperation& clearOperation() override;
};

class PassGxScene : public MHWRender::MUserRenderOperation {
public:
    PassGxScene() : MUserRenderOperation("gxSceneRender") {}
    MStatus execute(const MHWRender::MDrawContext& drawContext) override;
};

class PassMayaScene : public MHWRender::MSceneRender {
public:
    PassMayaScene() : MSceneRender("mayaSceneRender") {}
    MSceneFilterOption renderFilterOverride() override;
    MHWRender::MClearOperation& clearOperation() override;
};

class MayaRenderOverride : public MHWRender::MRenderOverride {
public:
    explicit MayaRenderOverride(const MString& name);
    ~MayaRenderOverride() override;

    MHWRender::DrawAPI supportedDrawAPIs() const override;
    bool startOperationIterator() override;
    MHWRender::MRenderOperation* renderOperation() override;
    bool nextRenderOperation() override;
    MStatus setup(const MString& destination) override;
    MStatus cleanup() override;

private:
    // Maya asks for the draw APIs from a const member; the setup commands run again after.
    mutable std::uint8_t setupPending = 1;
    std::int32_t currentOperation = 0;
    PasPreScene preScene;
    PassGxScene gxScene;
    PassMayaScene mayaScene;
    MHWRender::MPresentTarget present{"mayaPresent"};
};

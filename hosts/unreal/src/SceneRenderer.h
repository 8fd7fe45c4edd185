#pragma once
// The stand-in renderer: draws a scene's primitives from one view into a render target, with
// reversed depth into the scene depth texture.
#include "UE4Host/Scene.h"
#include "Components/SceneCaptureComponent2D.h"
#include "RHICommandList.h"
#include "TextureResource.h"

namespace UE4Host {

// What a capture renders: copied from the component on the game thread.
struct FCaptureView {
    FVector ViewLocation{ForceInit};
    FMatrix ViewRotationMatrix{ForceInit}; // world to view space (X right, Y up, Z forward)
    FMatrix ProjectionMatrix{ForceInit};   // row vectors, reversed Z
    FEngineShowFlags ShowFlags{ESFIM_Game};
    ESceneCaptureSource CaptureSource = SCS_SceneColorHDR;
};

// The view a capture component gives: its world transform and its projection (the custom
// matrix as it is, or one built from the field of view or ortho width).
FCaptureView MakeCaptureView(const USceneCaptureComponent2D& Component, int32 SizeX, int32 SizeY);

class FSceneRenderer {
public:
    static void Render(FRHICommandListImmediate& RHICmdList, const FScene& Scene, FTextureRenderTargetResource& Target,
                       const FCaptureView& View);
    static void ReleaseShaders();
};

} // namespace UE4Host

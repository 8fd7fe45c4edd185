#pragma once
// What a primitive contributes to a view: which passes draw it and how.
#include "CoreMinimal.h"
#include <cstring>

struct FPrimitiveViewRelevance {
    uint16 ShadingModelMaskRelevance;
    uint32 bStaticRelevance : 1;
    uint32 bDynamicRelevance : 1;
    uint32 bDrawRelevance : 1;
    uint32 bShadowRelevance : 1;
    uint32 bRenderCustomDepth : 1;
    uint32 bRenderInMainPass : 1;
    uint32 bEditorPrimitiveRelevance : 1;
    uint32 bEditorStaticSelectionRelevance : 1;
    uint32 bEditorNoDepthTestPrimitiveRelevance : 1;
    uint32 bHasSimpleLights : 1;
    uint32 bOpaqueRelevance : 1;
    uint32 bMaskedRelevance : 1;
    uint32 bDistortionRelevance : 1;
    uint32 bSeparateTranslucencyRelevance : 1;
    uint32 bNormalTranslucencyRelevance : 1;
    uint32 bUsesSceneDepth : 1;
    uint32 bUsesLightingChannels : 1;
    uint32 bDecal : 1;
    uint32 bTranslucentSurfaceLighting : 1;
    uint32 bUsesGlobalDistanceField : 1;
    uint32 bUsesWorldPositionOffset : 1;
    uint32 bOutputsVelocityInBasePass : 1;

    // Everything off but opaque and the main pass, as the engine starts it.
    FPrimitiveViewRelevance() {
        std::memset(this, 0, sizeof(*this));
        bOpaqueRelevance = true;
        bRenderInMainPass = true;
    }
};

#pragma once
#include "CoreUObject.h"
#include "RHIDefinitions.h"
#include "PrimitiveViewRelevance.h"
#include <cstring>

class UMaterial;
class FMaterialRenderProxy;

enum EMaterialDomain { MD_Surface = 0, MD_DeferredDecal, MD_LightFunction, MD_Volume, MD_PostProcess, MD_UI, MD_MAX };

// Which passes a material needs; a primitive's relevance is the union over its materials.
struct FMaterialRelevance {
    uint16 ShadingModelMask;
    uint32 bOpaque : 1;
    uint32 bMasked : 1;
    uint32 bDistortion : 1;
    uint32 bSeparateTranslucency : 1;
    uint32 bNormalTranslucency : 1;
    uint32 bDisableDepthTest : 1;
    uint32 bOutputsVelocityInBasePass : 1;
    uint32 bUsesGlobalDistanceField : 1;
    uint32 bUsesWorldPositionOffset : 1;
    uint32 bDecal : 1;
    uint32 bTranslucentSurfaceLighting : 1;
    uint32 bUsesSceneDepth : 1;

    FMaterialRelevance() { std::memset(this, 0, sizeof(*this)); }
    FMaterialRelevance& operator|=(const FMaterialRelevance& B) {
        ShadingModelMask |= B.ShadingModelMask;
        bOpaque |= B.bOpaque;
        bMasked |= B.bMasked;
        bDistortion |= B.bDistortion;
        bSeparateTranslucency |= B.bSeparateTranslucency;
        bNormalTranslucency |= B.bNormalTranslucency;
        bDisableDepthTest |= B.bDisableDepthTest;
        bOutputsVelocityInBasePass |= B.bOutputsVelocityInBasePass;
        bUsesGlobalDistanceField |= B.bUsesGlobalDistanceField;
        bUsesWorldPositionOffset |= B.bUsesWorldPositionOffset;
        bDecal |= B.bDecal;
        bTranslucentSurfaceLighting |= B.bTranslucentSurfaceLighting;
        bUsesSceneDepth |= B.bUsesSceneDepth;
        return *this;
    }
    void SetPrimitiveViewRelevance(FPrimitiveViewRelevance& OutViewRelevance) const {
        OutViewRelevance.ShadingModelMaskRelevance = ShadingModelMask;
        OutViewRelevance.bOpaqueRelevance = bOpaque;
        OutViewRelevance.bMaskedRelevance = bMasked;
        OutViewRelevance.bDistortionRelevance = bDistortion;
        OutViewRelevance.bSeparateTranslucencyRelevance = bSeparateTranslucency;
        OutViewRelevance.bNormalTranslucencyRelevance = bNormalTranslucency;
        OutViewRelevance.bUsesSceneDepth = bUsesSceneDepth;
        OutViewRelevance.bOutputsVelocityInBasePass = bOutputsVelocityInBasePass;
        OutViewRelevance.bUsesGlobalDistanceField = bUsesGlobalDistanceField;
        OutViewRelevance.bUsesWorldPositionOffset = bUsesWorldPositionOffset;
        OutViewRelevance.bDecal = bDecal;
        OutViewRelevance.bTranslucentSurfaceLighting = bTranslucentSurfaceLighting;
    }
};

class ENGINE_API UMaterialInterface : public UObject {
    UE4HOST_DECLARE_CLASS(UMaterialInterface, UObject, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UMaterialInterface(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    ~UMaterialInterface() override;
    // The base material this one derives from (itself for a material).
    virtual UMaterial* GetMaterial() { return nullptr; }
    UMaterial* GetBaseMaterial() { return GetMaterial(); }
    virtual bool GetVectorParameterValue(FName ParameterName, FLinearColor& OutValue) const { (void)ParameterName; (void)OutValue; return false; }
    // What the renderer draws this material with (read on the render thread).
    virtual FMaterialRenderProxy* GetRenderProxy(bool Selected, bool bHovered = false) const;
    FMaterialRelevance GetRelevance(ERHIFeatureLevel::Type InFeatureLevel) const;
    FMaterialRelevance GetRelevance_Concurrent(ERHIFeatureLevel::Type InFeatureLevel) const;

private:
    FMaterialRenderProxy* RenderProxy = nullptr;
};
UE4HOST_DECLARE_CONSTRUCT(ENGINE_API, UMaterialInterface)

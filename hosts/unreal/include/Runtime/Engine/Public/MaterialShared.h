#pragma once
// Materials as the renderer sees them: a material render proxy gives the material and the
// values of its parameters; FColoredMaterialRenderProxy overrides one vector parameter.
#include "RenderResource.h"

class FSceneView;
class UMaterialInterface;

// A compiled material. The stand-in's materials have one input, a base colour read from a
// vector parameter of the proxy (or the material's constant), and two switches.
class ENGINE_API FMaterial {
public:
    virtual ~FMaterial() {}
    virtual bool IsTwoSided() const = 0;
    virtual bool IsWireframe() const = 0;
    virtual FString GetFriendlyName() const = 0;
};

class FMaterialRenderProxy;

struct ENGINE_API FMaterialRenderContext {
    const FMaterialRenderProxy* MaterialRenderProxy;
    const FMaterial& Material;
    const FSceneView* View;
    FMaterialRenderContext(const FMaterialRenderProxy* InMaterialRenderProxy, const FMaterial& InMaterial, const FSceneView* InView)
        : MaterialRenderProxy(InMaterialRenderProxy), Material(InMaterial), View(InView) {}
};

class ENGINE_API FMaterialRenderProxy : public FRenderResource {
public:
    FMaterialRenderProxy() : bSelected(false), bHovered(false) {}
    FMaterialRenderProxy(bool bInSelected, bool bInHovered) : bSelected(bInSelected), bHovered(bInHovered) {}
    ~FMaterialRenderProxy() override {}

    // Render thread.
    virtual const FMaterial* GetMaterial(ERHIFeatureLevel::Type InFeatureLevel) const = 0;
    virtual bool GetVectorValue(const FName ParameterName, FLinearColor* OutValue, const FMaterialRenderContext& Context) const = 0;
    virtual bool GetScalarValue(const FName ParameterName, float* OutValue, const FMaterialRenderContext& Context) const = 0;
    bool IsSelected() const { return bSelected; }
    bool IsHovered() const { return bHovered; }

private:
    bool bSelected : 1;
    bool bHovered : 1;
};

// Overrides the material's vector parameter InColorParamName with a colour.
class ENGINE_API FColoredMaterialRenderProxy : public FMaterialRenderProxy {
public:
    const FMaterialRenderProxy* const Parent;
    const FLinearColor Color;
    FName ColorParamName;

    FColoredMaterialRenderProxy(const FMaterialRenderProxy* InParent, const FLinearColor& InColor, FName InColorParamName = NAME_Color)
        : Parent(InParent), Color(InColor), ColorParamName(InColorParamName) {}

    const FMaterial* GetMaterial(ERHIFeatureLevel::Type InFeatureLevel) const override;
    bool GetVectorValue(const FName ParameterName, FLinearColor* OutValue, const FMaterialRenderContext& Context) const override;
    bool GetScalarValue(const FName ParameterName, float* OutValue, const FMaterialRenderContext& Context) const override;
};

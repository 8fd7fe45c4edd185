#pragma once
// The render side of the stand-in's materials: one proxy per material or material instance,
// which reads the object's parameters when the renderer asks (render thread).
#include "MaterialShared.h"
#include "Materials/Material.h"

namespace UE4Host {

// A material as the renderer draws it: its base colour comes from the vector parameter
// ColorParameter (the engine's wireframe material reads "Color", every other "BaseColor"),
// else from the material's constant.
class FMaterialResource final : public FMaterial {
public:
    bool IsTwoSided() const override { return Material && Material->TwoSided; }
    bool IsWireframe() const override { return Material && Material->Wireframe; }
    FString GetFriendlyName() const override { return Material ? Material->GetName() : FString(TEXT("none")); }
    FName ColorParameter() const { return IsWireframe() ? FName(NAME_Color) : FName(TEXT("BaseColor")); }
    FLinearColor Constant() const { return Material ? Material->BaseColorConstant : FLinearColor(0.5f, 0.5f, 0.5f, 1.f); }

    const UMaterial* Material = nullptr;
};

class FMaterialInterfaceProxy final : public FMaterialRenderProxy {
public:
    explicit FMaterialInterfaceProxy(const UMaterialInterface* InOwner) : Owner(InOwner) {}
    const FMaterial* GetMaterial(ERHIFeatureLevel::Type InFeatureLevel) const override;
    bool GetVectorValue(const FName ParameterName, FLinearColor* OutValue, const FMaterialRenderContext& Context) const override;
    bool GetScalarValue(const FName ParameterName, float* OutValue, const FMaterialRenderContext& Context) const override;

private:
    const UMaterialInterface* Owner;
    mutable FMaterialResource Resource;
};

} // namespace UE4Host

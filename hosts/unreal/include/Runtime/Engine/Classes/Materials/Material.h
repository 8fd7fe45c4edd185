#pragma once
#include "Materials/MaterialInterface.h"

// A material. The stand-in's materials have no node graph: their one input is a constant
// base colour, readable as the vector parameter "BaseColor".
class ENGINE_API UMaterial : public UMaterialInterface {
    UE4HOST_DECLARE_CLASS(UMaterial, UMaterialInterface, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UMaterial(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    UMaterial* GetMaterial() override { return this; }
    bool GetVectorParameterValue(FName ParameterName, FLinearColor& OutValue) const override;
    // The engine's default material of a domain (the grey surface material for MD_Surface).
    static UMaterial* GetDefaultMaterial(EMaterialDomain Domain);

    FLinearColor BaseColorConstant;
    uint32 TwoSided : 1;
    uint32 Wireframe : 1;
};

#pragma once
#include "CoreUObject.h"

class UMaterial;

enum EMaterialDomain { MD_Surface = 0, MD_DeferredDecal, MD_LightFunction, MD_Volume, MD_PostProcess, MD_UI, MD_MAX };

class ENGINE_API UMaterialInterface : public UObject {
    UE4HOST_DECLARE_CLASS(UMaterialInterface, UObject, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UMaterialInterface(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    // The base material this one derives from (itself for a material).
    virtual UMaterial* GetMaterial() { return nullptr; }
    UMaterial* GetBaseMaterial() { return GetMaterial(); }
    virtual bool GetVectorParameterValue(FName ParameterName, FLinearColor& OutValue) const { (void)ParameterName; (void)OutValue; return false; }
};
UE4HOST_DECLARE_CONSTRUCT(ENGINE_API, UMaterialInterface)

#pragma once
#include "Materials/MaterialInterface.h"

struct FVectorParameterValue {
    FName ParameterName;
    FLinearColor ParameterValue;
};

class ENGINE_API UMaterialInstance : public UMaterialInterface {
    UE4HOST_DECLARE_CLASS(UMaterialInstance, UMaterialInterface, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UMaterialInstance(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    // The parent's base material; the default surface material without a parent.
    UMaterial* GetMaterial() override;
    // This instance's override, else the parent's value.
    bool GetVectorParameterValue(FName ParameterName, FLinearColor& OutValue) const override;
    static void AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector);

    UMaterialInterface* Parent = nullptr;
    TArray<FVectorParameterValue> VectorParameterValues;
};

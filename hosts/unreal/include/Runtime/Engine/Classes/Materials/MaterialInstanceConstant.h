#pragma once
#include "Materials/MaterialInstance.h"

class ENGINE_API UMaterialInstanceConstant : public UMaterialInstance {
    UE4HOST_DECLARE_CLASS(UMaterialInstanceConstant, UMaterialInstance, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UMaterialInstanceConstant(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());
    void SetParentEditorOnly(UMaterialInterface* NewParent) { Parent = NewParent; }
    void SetVectorParameterValueEditorOnly(FName ParameterName, FLinearColor Value);
};

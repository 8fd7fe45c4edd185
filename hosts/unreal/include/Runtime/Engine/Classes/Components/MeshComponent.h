#pragma once
#include "Components/PrimitiveComponent.h"
#include "Materials/MaterialInterface.h"

class ENGINE_API UMeshComponent : public UPrimitiveComponent {
    UE4HOST_DECLARE_CLASS(UMeshComponent, UPrimitiveComponent, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UMeshComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

    UMaterialInterface* GetMaterial(int32 ElementIndex) const override;
    // Grows the override array as needed; a change marks the render state dirty.
    void SetMaterial(int32 ElementIndex, UMaterialInterface* Material) override;
    // The union of the relevance of the materials (the default material for empty slots).
    virtual FMaterialRelevance GetMaterialRelevance(ERHIFeatureLevel::Type InFeatureLevel) const;
    static void AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector);

    TArray<UMaterialInterface*> OverrideMaterials;
};
UE4HOST_DECLARE_CONSTRUCT(ENGINE_API, UMeshComponent)

// Materials, material instances and float curves.
#include "Materials/Material.h"
#include "Materials/MaterialInstanceConstant.h"
#include "Curves/CurveFloat.h"
#include "Engine/Engine.h"
#include "MaterialProxies.h"

UE4HOST_IMPLEMENT_CLASS(UMaterialInterface)
UE4HOST_IMPLEMENT_CLASS(UMaterial)
UE4HOST_IMPLEMENT_CLASS(UMaterialInstance)
UE4HOST_IMPLEMENT_CLASS(UMaterialInstanceConstant)
UE4HOST_IMPLEMENT_CLASS(UCurveBase)
UE4HOST_IMPLEMENT_CLASS(UCurveFloat)

static const FName NAME_BaseColor(TEXT("BaseColor"));

UMaterialInterface::UMaterialInterface(const FObjectInitializer& ObjectInitializer)
    : UObject(ObjectInitializer), RenderProxy(new UE4Host::FMaterialInterfaceProxy(this)) {}

// Garbage collection flushes the render commands first, so no draw still reads the proxy.
UMaterialInterface::~UMaterialInterface() { delete RenderProxy; }

FMaterialRenderProxy* UMaterialInterface::GetRenderProxy(bool Selected, bool bHovered) const {
    (void)Selected; // the stand-in draws selected objects like the others
    (void)bHovered;
    return RenderProxy;
}

FMaterialRelevance UMaterialInterface::GetRelevance(ERHIFeatureLevel::Type InFeatureLevel) const { return GetRelevance_Concurrent(InFeatureLevel); }

// The stand-in's materials are opaque and lit.
FMaterialRelevance UMaterialInterface::GetRelevance_Concurrent(ERHIFeatureLevel::Type) const {
    FMaterialRelevance Relevance;
    Relevance.bOpaque = true;
    Relevance.ShadingModelMask = 1 << 1; // default lit
    return Relevance;
}

UMaterial::UMaterial(const FObjectInitializer& ObjectInitializer)
    : UMaterialInterface(ObjectInitializer), BaseColorConstant(0.5f, 0.5f, 0.5f, 1.f), TwoSided(false), Wireframe(false) {}

bool UMaterial::GetVectorParameterValue(FName ParameterName, FLinearColor& OutValue) const {
    if (ParameterName != NAME_BaseColor) return false;
    OutValue = BaseColorConstant;
    return true;
}

UMaterial* UMaterial::GetDefaultMaterial(EMaterialDomain Domain) {
    check(GEngine && GEngine->DefaultMaterial);
    (void)Domain; // one default serves every domain here
    return GEngine->DefaultMaterial;
}

UMaterialInstance::UMaterialInstance(const FObjectInitializer& ObjectInitializer) : UMaterialInterface(ObjectInitializer) {}

UMaterial* UMaterialInstance::GetMaterial() {
    // Guards against a parent chain that loops back (a content file can say anything).
    int32 Depth = 0;
    UMaterialInterface* P = Parent;
    while (P && !P->IsA(UMaterial::StaticClass()) && ++Depth < 64) P = static_cast<UMaterialInstance*>(P)->Parent;
    if (P && P->IsA(UMaterial::StaticClass())) return static_cast<UMaterial*>(P);
    return UMaterial::GetDefaultMaterial(MD_Surface);
}

bool UMaterialInstance::GetVectorParameterValue(FName ParameterName, FLinearColor& OutValue) const {
    const UMaterialInterface* Current = this;
    for (int32 Depth = 0; Current && Depth < 64; ++Depth) {
        const UMaterialInstance* Instance = Cast<UMaterialInstance>(Current);
        if (!Instance) return Current->GetVectorParameterValue(ParameterName, OutValue);
        for (const FVectorParameterValue& V : Instance->VectorParameterValues)
            if (V.ParameterName == ParameterName) {
                OutValue = V.ParameterValue;
                return true;
            }
        Current = Instance->Parent;
    }
    return false;
}

void UMaterialInstance::AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector) {
    Collector.AddReferencedObject(static_cast<UMaterialInstance*>(InThis)->Parent, InThis);
}

UMaterialInstanceConstant::UMaterialInstanceConstant(const FObjectInitializer& ObjectInitializer) : UMaterialInstance(ObjectInitializer) {}

void UMaterialInstanceConstant::SetVectorParameterValueEditorOnly(FName ParameterName, FLinearColor Value) {
    for (FVectorParameterValue& V : VectorParameterValues)
        if (V.ParameterName == ParameterName) {
            V.ParameterValue = Value;
            return;
        }
    VectorParameterValues.Add(FVectorParameterValue{ParameterName, Value});
}

void FRichCurve::AddKey(float InTime, float InValue) {
    int32 Index = 0;
    while (Index < Keys.Num() && Keys[Index].Time < InTime) ++Index;
    Keys.Insert(FRichCurveKey{InTime, InValue}, Index);
}

float FRichCurve::Eval(float InTime, float InDefaultValue) const {
    if (Keys.Num() == 0) return InDefaultValue;
    if (InTime <= Keys[0].Time) return Keys[0].Value;
    for (int32 I = 1; I < Keys.Num(); ++I)
        if (InTime < Keys[I].Time) {
            const FRichCurveKey& A = Keys[I - 1];
            const FRichCurveKey& B = Keys[I];
            const float Alpha = (InTime - A.Time) / (B.Time - A.Time);
            return A.Value + (B.Value - A.Value) * Alpha;
        }
    return Keys.Last().Value;
}

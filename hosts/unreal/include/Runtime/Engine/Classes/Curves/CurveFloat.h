#pragma once
#include "CoreUObject.h"

struct FRichCurveKey {
    float Time = 0.f;
    float Value = 0.f;
};

// Keys interpolated linearly, held constant before the first and after the last.
struct ENGINE_API FRichCurve {
    TArray<FRichCurveKey> Keys;
    void AddKey(float InTime, float InValue);
    float Eval(float InTime, float InDefaultValue = 0.f) const;
    int32 GetNumKeys() const { return Keys.Num(); }
};

class ENGINE_API UCurveBase : public UObject {
    UE4HOST_DECLARE_CLASS(UCurveBase, UObject, CLASS_Abstract | CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UCurveBase(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get()) : UObject(ObjectInitializer) {}
};

class ENGINE_API UCurveFloat : public UCurveBase {
    UE4HOST_DECLARE_CLASS(UCurveFloat, UCurveBase, CLASS_Native, TEXT("/Script/Engine"), ENGINE_API)
public:
    UCurveFloat(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get()) : UCurveBase(ObjectInitializer) {}
    float GetFloatValue(float InTime) const { return FloatCurve.Eval(InTime); }
    FRichCurve FloatCurve;
};

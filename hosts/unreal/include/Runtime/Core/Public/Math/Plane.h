#pragma once
#include "Math/Vector.h"

struct FPlane : public FVector {
    float W;
    FPlane() = default;
    FPlane(float InX, float InY, float InZ, float InW) : FVector(InX, InY, InZ), W(InW) {}
    FPlane(const FVector& V, float InW) : FVector(V), W(InW) {}
    explicit FPlane(EForceInit) : FVector(ForceInit), W(0) {}
    bool operator==(const FPlane& P) const { return X == P.X && Y == P.Y && Z == P.Z && W == P.W; }
};

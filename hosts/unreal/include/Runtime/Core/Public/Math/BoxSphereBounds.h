#pragma once
#include "Math/Transform.h"

struct CORE_API FBoxSphereBounds {
    FVector Origin;
    FVector BoxExtent;
    float SphereRadius;

    FBoxSphereBounds() = default;
    explicit FBoxSphereBounds(EForceInit) : Origin(ForceInit), BoxExtent(ForceInit), SphereRadius(0) {}
    FBoxSphereBounds(const FVector& InOrigin, const FVector& InBoxExtent, float InSphereRadius)
        : Origin(InOrigin), BoxExtent(InBoxExtent), SphereRadius(InSphereRadius) {}

    FBoxSphereBounds TransformBy(const FMatrix& M) const;
    FBoxSphereBounds TransformBy(const FTransform& M) const { return TransformBy(M.ToMatrixWithScale()); }
};

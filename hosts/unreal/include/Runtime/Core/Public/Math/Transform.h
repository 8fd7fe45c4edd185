#pragma once
#include "Math/Quat.h"

struct CORE_API FTransform {
    static const FTransform Identity;

    FTransform() : Rotation(0, 0, 0, 1), Translation(0, 0, 0), Scale3D(1, 1, 1) {}
    explicit FTransform(const FVector& InTranslation) : Rotation(0, 0, 0, 1), Translation(InTranslation), Scale3D(1, 1, 1) {}
    FTransform(const FQuat& InRotation, const FVector& InTranslation, const FVector& InScale3D = FVector::OneVector)
        : Rotation(InRotation), Translation(InTranslation), Scale3D(InScale3D) {}
    explicit FTransform(const FMatrix& InMatrix) { SetFromMatrix(InMatrix); }

    // The engine's rule: scale from the basis row lengths, an X flip for a mirroring matrix,
    // the normalised rotation of what is left, translation from the last row.
    void SetFromMatrix(const FMatrix& InMatrix);
    FMatrix ToMatrixWithScale() const;
    FMatrix ToMatrixNoScale() const;
    FVector TransformPosition(const FVector& V) const { return Rotation.RotateVector(Scale3D * V) + Translation; }
    FVector TransformVector(const FVector& V) const { return Rotation.RotateVector(Scale3D * V); }
    bool Equals(const FTransform& Other, float Tolerance = KINDA_SMALL_NUMBER) const;

    FQuat GetRotation() const { return Rotation; }
    FVector GetTranslation() const { return Translation; }
    FVector GetLocation() const { return Translation; }
    FVector GetScale3D() const { return Scale3D; }
    void SetRotation(const FQuat& Q) { Rotation = Q; }
    void SetTranslation(const FVector& V) { Translation = V; }
    void SetLocation(const FVector& V) { Translation = V; }
    void SetScale3D(const FVector& S) { Scale3D = S; }

private:
    FQuat Rotation;
    FVector Translation;
    FVector Scale3D;
};

#pragma once
// FMatrix: 4x4, row vectors (a point is transformed as p * M), rows X, Y, Z basis and the
// translation, as in the engine.
#include "Math/Plane.h"
#include "Math/Axis.h"

struct CORE_API FMatrix {
    alignas(16) float M[4][4];

    static const FMatrix Identity;

    FMatrix() = default;
    explicit FMatrix(EForceInit) { for (auto& R : M) for (auto& V : R) V = 0.f; }
    FMatrix(const FPlane& InX, const FPlane& InY, const FPlane& InZ, const FPlane& InW);
    FMatrix(const FVector& InX, const FVector& InY, const FVector& InZ, const FVector& InW);

    void SetIdentity();
    FMatrix operator*(const FMatrix& Other) const;
    FMatrix& operator*=(const FMatrix& Other) { *this = *this * Other; return *this; }
    FMatrix operator*(float S) const;
    FMatrix operator+(const FMatrix& Other) const;
    bool operator==(const FMatrix& Other) const;
    bool operator!=(const FMatrix& Other) const { return !(*this == Other); }
    bool Equals(const FMatrix& Other, float Tolerance = KINDA_SMALL_NUMBER) const;

    FVector4 TransformFVector4(const FVector4& V) const;
    FVector4 TransformPosition(const FVector& V) const;
    FVector TransformVector(const FVector& V) const;
    FMatrix GetTransposed() const;
    float Determinant() const;
    FMatrix InverseFast() const;
    FMatrix Inverse() const; // the zero matrix when the matrix is singular
    FVector GetOrigin() const { return FVector(M[3][0], M[3][1], M[3][2]); }
    FVector GetScaledAxis(EAxis::Type Axis) const;
    void SetAxis(int32 i, const FVector& Axis) { M[i][0] = Axis.X; M[i][1] = Axis.Y; M[i][2] = Axis.Z; }
    void SetOrigin(const FVector& V) { M[3][0] = V.X; M[3][1] = V.Y; M[3][2] = V.Z; }
    // Returns each basis row's length and divides the row by it; a row whose squared length
    // is not above Tolerance yields 0 and is left as it is.
    FVector ExtractScaling(float Tolerance = SMALL_NUMBER);
    FVector GetScaleVector(float Tolerance = SMALL_NUMBER) const;
    void RemoveScaling(float Tolerance = SMALL_NUMBER);
};

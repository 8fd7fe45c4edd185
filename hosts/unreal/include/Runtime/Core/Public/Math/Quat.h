#pragma once
#include "Math/Matrix.h"

struct CORE_API FQuat {
    float X, Y, Z, W;

    static const FQuat Identity;

    FQuat() = default;
    FQuat(float InX, float InY, float InZ, float InW) : X(InX), Y(InY), Z(InZ), W(InW) {}
    explicit FQuat(EForceInit) : X(0), Y(0), Z(0), W(1) {}
    // The rotation part of a matrix whose basis rows are unit length; identity when a row is
    // nearly zero.
    explicit FQuat(const FMatrix& M);
    FQuat(FVector Axis, float AngleRad);

    // Q1 * Q2 applies Q2 first, then Q1.
    FQuat operator*(const FQuat& Q) const;
    FQuat operator*(float S) const { return FQuat(X * S, Y * S, Z * S, W * S); }
    bool Equals(const FQuat& Q, float Tolerance = KINDA_SMALL_NUMBER) const;
    void Normalize(float Tolerance = SMALL_NUMBER);
    FQuat GetNormalized(float Tolerance = SMALL_NUMBER) const { FQuat Q(*this); Q.Normalize(Tolerance); return Q; }
    bool IsNormalized() const { return FMath::Abs(1.f - SizeSquared()) < THRESH_QUAT_NORMALIZED; }
    float SizeSquared() const { return X * X + Y * Y + Z * Z + W * W; }
    float Size() const { return FMath::Sqrt(SizeSquared()); }
    FQuat Inverse() const { return FQuat(-X, -Y, -Z, W); }
    FVector RotateVector(const FVector& V) const;
    FVector UnrotateVector(const FVector& V) const { return Inverse().RotateVector(V); }
    FMatrix ToMatrix() const;
};

struct CORE_API FRotator {
    float Pitch, Yaw, Roll;
    static const FRotator ZeroRotator;
    FRotator() = default;
    FRotator(float InPitch, float InYaw, float InRoll) : Pitch(InPitch), Yaw(InYaw), Roll(InRoll) {}
    explicit FRotator(EForceInit) : Pitch(0), Yaw(0), Roll(0) {}
    FQuat Quaternion() const;
};

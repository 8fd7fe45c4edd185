#pragma once
#include "Math/UnrealMathUtility.h"
#include "Containers/UnrealString.h"

struct CORE_API FVector {
    float X, Y, Z;

    FVector() = default;
    explicit FVector(float InF) : X(InF), Y(InF), Z(InF) {}
    FVector(float InX, float InY, float InZ) : X(InX), Y(InY), Z(InZ) {}
    explicit FVector(EForceInit) : X(0), Y(0), Z(0) {}

    static const FVector ZeroVector;
    static const FVector OneVector;

    FVector operator+(const FVector& V) const { return FVector(X + V.X, Y + V.Y, Z + V.Z); }
    FVector operator-(const FVector& V) const { return FVector(X - V.X, Y - V.Y, Z - V.Z); }
    FVector operator-() const { return FVector(-X, -Y, -Z); }
    FVector operator*(float S) const { return FVector(X * S, Y * S, Z * S); }
    FVector operator/(float S) const { const float R = 1.f / S; return FVector(X * R, Y * R, Z * R); }
    FVector operator*(const FVector& V) const { return FVector(X * V.X, Y * V.Y, Z * V.Z); }
    FVector& operator+=(const FVector& V) { X += V.X; Y += V.Y; Z += V.Z; return *this; }
    FVector& operator-=(const FVector& V) { X -= V.X; Y -= V.Y; Z -= V.Z; return *this; }
    FVector& operator*=(float S) { X *= S; Y *= S; Z *= S; return *this; }
    bool operator==(const FVector& V) const { return X == V.X && Y == V.Y && Z == V.Z; }
    bool operator!=(const FVector& V) const { return !(*this == V); }
    float operator|(const FVector& V) const { return X * V.X + Y * V.Y + Z * V.Z; }
    FVector operator^(const FVector& V) const { return FVector(Y * V.Z - Z * V.Y, Z * V.X - X * V.Z, X * V.Y - Y * V.X); }
    float& operator[](int32 I) { return (&X)[I]; }
    float operator[](int32 I) const { return (&X)[I]; }

    static float DotProduct(const FVector& A, const FVector& B) { return A | B; }
    static FVector CrossProduct(const FVector& A, const FVector& B) { return A ^ B; }
    float Size() const { return FMath::Sqrt(X * X + Y * Y + Z * Z); }
    float SizeSquared() const { return X * X + Y * Y + Z * Z; }
    bool IsNearlyZero(float Tolerance = KINDA_SMALL_NUMBER) const {
        return FMath::Abs(X) <= Tolerance && FMath::Abs(Y) <= Tolerance && FMath::Abs(Z) <= Tolerance;
    }
    bool IsZero() const { return X == 0.f && Y == 0.f && Z == 0.f; }
    bool Equals(const FVector& V, float Tolerance = KINDA_SMALL_NUMBER) const {
        return FMath::Abs(X - V.X) <= Tolerance && FMath::Abs(Y - V.Y) <= Tolerance && FMath::Abs(Z - V.Z) <= Tolerance;
    }
    FVector GetAbs() const { return FVector(FMath::Abs(X), FMath::Abs(Y), FMath::Abs(Z)); }
    float GetMax() const { return FMath::Max3(X, Y, Z); }
    FVector GetSafeNormal(float Tolerance = SMALL_NUMBER) const {
        const float Sq = SizeSquared();
        if (Sq == 1.f) return *this;
        if (Sq < Tolerance) return ZeroVector;
        return *this * FMath::InvSqrt(Sq);
    }
    FString ToString() const { return FString::Printf(TEXT("X=%3.3f Y=%3.3f Z=%3.3f"), X, Y, Z); }
};
inline FVector operator*(float S, const FVector& V) { return V * S; }

struct CORE_API FVector4 {
    float X, Y, Z, W;
    FVector4() = default;
    FVector4(float InX, float InY, float InZ, float InW) : X(InX), Y(InY), Z(InZ), W(InW) {}
    FVector4(const FVector& V, float InW = 1.f) : X(V.X), Y(V.Y), Z(V.Z), W(InW) {}
    float& operator[](int32 I) { return (&X)[I]; }
    float operator[](int32 I) const { return (&X)[I]; }
};

struct FVector2D {
    float X, Y;
    FVector2D() = default;
    FVector2D(float InX, float InY) : X(InX), Y(InY) {}
};

struct FIntPoint {
    int32 X = 0, Y = 0;
    FIntPoint() = default;
    FIntPoint(int32 InX, int32 InY) : X(InX), Y(InY) {}
    bool operator==(const FIntPoint& O) const { return X == O.X && Y == O.Y; }
    bool operator!=(const FIntPoint& O) const { return !(*this == O); }
};

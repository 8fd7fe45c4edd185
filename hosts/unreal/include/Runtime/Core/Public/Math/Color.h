#pragma once
#include "Math/UnrealMathUtility.h"

struct FColor;

struct CORE_API FLinearColor {
    float R, G, B, A;
    static const FLinearColor White, Black, Transparent, Red, Green, Blue;

    FLinearColor() = default;
    FLinearColor(float InR, float InG, float InB, float InA = 1.f) : R(InR), G(InG), B(InB), A(InA) {}
    explicit FLinearColor(EForceInit) : R(0), G(0), B(0), A(0) {}
    // sRGB-encoded 8-bit colour to linear.
    FLinearColor(const FColor& Color);
    // 8-bit colour, sRGB-encoded when bSRGB.
    FColor ToFColor(bool bSRGB) const;
    FLinearColor operator*(float S) const { return FLinearColor(R * S, G * S, B * S, A * S); }
    bool operator==(const FLinearColor& C) const { return R == C.R && G == C.G && B == C.B && A == C.A; }
    bool operator!=(const FLinearColor& C) const { return !(*this == C); }
    bool Equals(const FLinearColor& C, float Tolerance = KINDA_SMALL_NUMBER) const {
        return FMath::Abs(R - C.R) < Tolerance && FMath::Abs(G - C.G) < Tolerance && FMath::Abs(B - C.B) < Tolerance && FMath::Abs(A - C.A) < Tolerance;
    }
};

// Bytes in memory B, G, R, A, as on the engine's little-endian platforms.
struct CORE_API FColor {
    uint8 B, G, R, A;
    static const FColor White, Black;
    FColor() = default;
    FColor(uint8 InR, uint8 InG, uint8 InB, uint8 InA = 255) : B(InB), G(InG), R(InR), A(InA) {}
    explicit FColor(EForceInit) : B(0), G(0), R(0), A(0) {}
    uint32 DWColor() const { return uint32(B) | uint32(G) << 8 | uint32(R) << 16 | uint32(A) << 24; }
    bool operator==(const FColor& C) const { return DWColor() == C.DWColor(); }
    bool operator!=(const FColor& C) const { return !(*this == C); }
    FLinearColor ReinterpretAsLinear() const { return FLinearColor(R / 255.f, G / 255.f, B / 255.f, A / 255.f); }
};

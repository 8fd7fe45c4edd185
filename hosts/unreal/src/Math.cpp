// Vector, matrix, quaternion, transform, bounds and colour operations, following the
// engine's formulas so that results match it bit for bit where it matters (scale extraction,
// quaternion from matrix, bounds transform).
#include "Math/BoxSphereBounds.h"
#include "Math/Color.h"

const FVector FVector::ZeroVector(0.f, 0.f, 0.f);
const FVector FVector::OneVector(1.f, 1.f, 1.f);
const FMatrix FMatrix::Identity(FPlane(1, 0, 0, 0), FPlane(0, 1, 0, 0), FPlane(0, 0, 1, 0), FPlane(0, 0, 0, 1));
const FQuat FQuat::Identity(0.f, 0.f, 0.f, 1.f);
const FRotator FRotator::ZeroRotator(0.f, 0.f, 0.f);
const FTransform FTransform::Identity;

FMatrix::FMatrix(const FPlane& InX, const FPlane& InY, const FPlane& InZ, const FPlane& InW) {
    const FPlane* Rows[4] = {&InX, &InY, &InZ, &InW};
    for (int32 I = 0; I < 4; ++I) {
        M[I][0] = Rows[I]->X; M[I][1] = Rows[I]->Y; M[I][2] = Rows[I]->Z; M[I][3] = Rows[I]->W;
    }
}
FMatrix::FMatrix(const FVector& InX, const FVector& InY, const FVector& InZ, const FVector& InW)
    : FMatrix(FPlane(InX, 0.f), FPlane(InY, 0.f), FPlane(InZ, 0.f), FPlane(InW, 1.f)) {}

void FMatrix::SetIdentity() { *this = Identity; }

FMatrix FMatrix::operator*(const FMatrix& Other) const {
    FMatrix R;
    for (int32 I = 0; I < 4; ++I)
        for (int32 J = 0; J < 4; ++J)
            R.M[I][J] = M[I][0] * Other.M[0][J] + M[I][1] * Other.M[1][J] + M[I][2] * Other.M[2][J] + M[I][3] * Other.M[3][J];
    return R;
}
FMatrix FMatrix::operator*(float S) const {
    FMatrix R;
    for (int32 I = 0; I < 4; ++I) for (int32 J = 0; J < 4; ++J) R.M[I][J] = M[I][J] * S;
    return R;
}
FMatrix FMatrix::operator+(const FMatrix& Other) const {
    FMatrix R;
    for (int32 I = 0; I < 4; ++I) for (int32 J = 0; J < 4; ++J) R.M[I][J] = M[I][J] + Other.M[I][J];
    return R;
}
bool FMatrix::operator==(const FMatrix& Other) const {
    for (int32 I = 0; I < 4; ++I) for (int32 J = 0; J < 4; ++J) if (M[I][J] != Other.M[I][J]) return false;
    return true;
}
bool FMatrix::Equals(const FMatrix& Other, float Tolerance) const {
    for (int32 I = 0; I < 4; ++I) for (int32 J = 0; J < 4; ++J) if (FMath::Abs(M[I][J] - Other.M[I][J]) > Tolerance) return false;
    return true;
}
FVector4 FMatrix::TransformFVector4(const FVector4& V) const {
    FVector4 R;
    for (int32 J = 0; J < 4; ++J) R[J] = V.X * M[0][J] + V.Y * M[1][J] + V.Z * M[2][J] + V.W * M[3][J];
    return R;
}
FVector4 FMatrix::TransformPosition(const FVector& V) const { return TransformFVector4(FVector4(V, 1.f)); }
FVector FMatrix::TransformVector(const FVector& V) const {
    FVector4 R = TransformFVector4(FVector4(V, 0.f));
    return FVector(R.X, R.Y, R.Z);
}
FMatrix FMatrix::GetTransposed() const {
    FMatrix R;
    for (int32 I = 0; I < 4; ++I) for (int32 J = 0; J < 4; ++J) R.M[I][J] = M[J][I];
    return R;
}
float FMatrix::Determinant() const {
    return M[0][0] * (M[1][1] * (M[2][2] * M[3][3] - M[2][3] * M[3][2]) - M[2][1] * (M[1][2] * M[3][3] - M[1][3] * M[3][2]) +
                      M[3][1] * (M[1][2] * M[2][3] - M[1][3] * M[2][2])) -
           M[1][0] * (M[0][1] * (M[2][2] * M[3][3] - M[2][3] * M[3][2]) - M[2][1] * (M[0][2] * M[3][3] - M[0][3] * M[3][2]) +
                      M[3][1] * (M[0][2] * M[2][3] - M[0][3] * M[2][2])) +
           M[2][0] * (M[0][1] * (M[1][2] * M[3][3] - M[1][3] * M[3][2]) - M[1][1] * (M[0][2] * M[3][3] - M[0][3] * M[3][2]) +
                      M[3][1] * (M[0][2] * M[1][3] - M[0][3] * M[1][2])) -
           M[3][0] * (M[0][1] * (M[1][2] * M[2][3] - M[1][3] * M[2][2]) - M[1][1] * (M[0][2] * M[2][3] - M[0][3] * M[2][2]) +
                      M[2][1] * (M[0][2] * M[1][3] - M[0][3] * M[1][2]));
}
FMatrix FMatrix::Inverse() const {
    // Cofactor expansion in double precision.
    double A[16], Inv[16];
    for (int32 I = 0; I < 16; ++I) A[I] = M[I / 4][I % 4];
    Inv[0] = A[5] * A[10] * A[15] - A[5] * A[11] * A[14] - A[9] * A[6] * A[15] + A[9] * A[7] * A[14] + A[13] * A[6] * A[11] - A[13] * A[7] * A[10];
    Inv[4] = -A[4] * A[10] * A[15] + A[4] * A[11] * A[14] + A[8] * A[6] * A[15] - A[8] * A[7] * A[14] - A[12] * A[6] * A[11] + A[12] * A[7] * A[10];
    Inv[8] = A[4] * A[9] * A[15] - A[4] * A[11] * A[13] - A[8] * A[5] * A[15] + A[8] * A[7] * A[13] + A[12] * A[5] * A[11] - A[12] * A[7] * A[9];
    Inv[12] = -A[4] * A[9] * A[14] + A[4] * A[10] * A[13] + A[8] * A[5] * A[14] - A[8] * A[6] * A[13] - A[12] * A[5] * A[10] + A[12] * A[6] * A[9];
    Inv[1] = -A[1] * A[10] * A[15] + A[1] * A[11] * A[14] + A[9] * A[2] * A[15] - A[9] * A[3] * A[14] - A[13] * A[2] * A[11] + A[13] * A[3] * A[10];
    Inv[5] = A[0] * A[10] * A[15] - A[0] * A[11] * A[14] - A[8] * A[2] * A[15] + A[8] * A[3] * A[14] + A[12] * A[2] * A[11] - A[12] * A[3] * A[10];
    Inv[9] = -A[0] * A[9] * A[15] + A[0] * A[11] * A[13] + A[8] * A[1] * A[15] - A[8] * A[3] * A[13] - A[12] * A[1] * A[11] + A[12] * A[3] * A[9];
    Inv[13] = A[0] * A[9] * A[14] - A[0] * A[10] * A[13] - A[8] * A[1] * A[14] + A[8] * A[2] * A[13] + A[12] * A[1] * A[10] - A[12] * A[2] * A[9];
    Inv[2] = A[1] * A[6] * A[15] - A[1] * A[7] * A[14] - A[5] * A[2] * A[15] + A[5] * A[3] * A[14] + A[13] * A[2] * A[7] - A[13] * A[3] * A[6];
    Inv[6] = -A[0] * A[6] * A[15] + A[0] * A[7] * A[14] + A[4] * A[2] * A[15] - A[4] * A[3] * A[14] - A[12] * A[2] * A[7] + A[12] * A[3] * A[6];
    Inv[10] = A[0] * A[5] * A[15] - A[0] * A[7] * A[13] - A[4] * A[1] * A[15] + A[4] * A[3] * A[13] + A[12] * A[1] * A[7] - A[12] * A[3] * A[5];
    Inv[14] = -A[0] * A[5] * A[14] + A[0] * A[6] * A[13] + A[4] * A[1] * A[14] - A[4] * A[2] * A[13] - A[12] * A[1] * A[6] + A[12] * A[2] * A[5];
    Inv[3] = -A[1] * A[6] * A[11] + A[1] * A[7] * A[10] + A[5] * A[2] * A[11] - A[5] * A[3] * A[10] - A[9] * A[2] * A[7] + A[9] * A[3] * A[6];
    Inv[7] = A[0] * A[6] * A[11] - A[0] * A[7] * A[10] - A[4] * A[2] * A[11] + A[4] * A[3] * A[10] + A[8] * A[2] * A[7] - A[8] * A[3] * A[6];
    Inv[11] = -A[0] * A[5] * A[11] + A[0] * A[7] * A[9] + A[4] * A[1] * A[11] - A[4] * A[3] * A[9] - A[8] * A[1] * A[7] + A[8] * A[3] * A[5];
    Inv[15] = A[0] * A[5] * A[10] - A[0] * A[6] * A[9] - A[4] * A[1] * A[10] + A[4] * A[2] * A[9] + A[8] * A[1] * A[6] - A[8] * A[2] * A[5];
    double Det = A[0] * Inv[0] + A[1] * Inv[4] + A[2] * Inv[8] + A[3] * Inv[12];
    FMatrix R(ForceInit);
    if (Det == 0.0) return R;
    for (int32 I = 0; I < 16; ++I) R.M[I / 4][I % 4] = float(Inv[I] / Det);
    return R;
}
FMatrix FMatrix::InverseFast() const { return Inverse(); }
FVector FMatrix::GetScaledAxis(EAxis::Type Axis) const {
    switch (Axis) {
    case EAxis::X: return FVector(M[0][0], M[0][1], M[0][2]);
    case EAxis::Y: return FVector(M[1][0], M[1][1], M[1][2]);
    case EAxis::Z: return FVector(M[2][0], M[2][1], M[2][2]);
    default: return FVector::ZeroVector;
    }
}
FVector FMatrix::ExtractScaling(float Tolerance) {
    FVector Scale3D(0, 0, 0);
    for (int32 Row = 0; Row < 3; ++Row) {
        const float SquareSum = M[Row][0] * M[Row][0] + M[Row][1] * M[Row][1] + M[Row][2] * M[Row][2];
        if (SquareSum > Tolerance) {
            const float Scale = FMath::Sqrt(SquareSum);
            Scale3D[Row] = Scale;
            const float InvScale = 1.f / Scale;
            M[Row][0] *= InvScale; M[Row][1] *= InvScale; M[Row][2] *= InvScale;
        }
    }
    return Scale3D;
}
FVector FMatrix::GetScaleVector(float Tolerance) const { FMatrix Copy(*this); return Copy.ExtractScaling(Tolerance); }
void FMatrix::RemoveScaling(float Tolerance) { ExtractScaling(Tolerance); }

FQuat::FQuat(const FMatrix& M) {
    if (M.GetScaledAxis(EAxis::X).IsNearlyZero() || M.GetScaledAxis(EAxis::Y).IsNearlyZero() || M.GetScaledAxis(EAxis::Z).IsNearlyZero()) {
        *this = FQuat::Identity;
        return;
    }
    float S;
    const float Tr = M.M[0][0] + M.M[1][1] + M.M[2][2];
    if (Tr > 0.0f) {
        const float InvS = FMath::InvSqrt(Tr + 1.f);
        W = 0.5f * (1.f / InvS);
        S = 0.5f * InvS;
        X = (M.M[1][2] - M.M[2][1]) * S;
        Y = (M.M[2][0] - M.M[0][2]) * S;
        Z = (M.M[0][1] - M.M[1][0]) * S;
    } else {
        int32 I = 0;
        if (M.M[1][1] > M.M[0][0]) I = 1;
        if (M.M[2][2] > M.M[I][I]) I = 2;
        static const int32 Next[3] = {1, 2, 0};
        const int32 J = Next[I];
        const int32 K = Next[J];
        S = M.M[I][I] - M.M[J][J] - M.M[K][K] + 1.0f;
        const float InvS = FMath::InvSqrt(S);
        float Qt[4];
        Qt[I] = 0.5f * (1.f / InvS);
        S = 0.5f * InvS;
        Qt[3] = (M.M[J][K] - M.M[K][J]) * S;
        Qt[J] = (M.M[I][J] + M.M[J][I]) * S;
        Qt[K] = (M.M[I][K] + M.M[K][I]) * S;
        X = Qt[0]; Y = Qt[1]; Z = Qt[2]; W = Qt[3];
    }
}
FQuat::FQuat(FVector Axis, float AngleRad) {
    const float Half = 0.5f * AngleRad;
    const float S = FMath::Sin(Half);
    X = S * Axis.X; Y = S * Axis.Y; Z = S * Axis.Z; W = FMath::Cos(Half);
}
FQuat FQuat::operator*(const FQuat& Q) const {
    return FQuat(W * Q.X + X * Q.W + Y * Q.Z - Z * Q.Y,
                 W * Q.Y - X * Q.Z + Y * Q.W + Z * Q.X,
                 W * Q.Z + X * Q.Y - Y * Q.X + Z * Q.W,
                 W * Q.W - X * Q.X - Y * Q.Y - Z * Q.Z);
}
bool FQuat::Equals(const FQuat& Q, float Tolerance) const {
    auto Near = [&](float S) {
        return FMath::Abs(X - S * Q.X) <= Tolerance && FMath::Abs(Y - S * Q.Y) <= Tolerance && FMath::Abs(Z - S * Q.Z) <= Tolerance && FMath::Abs(W - S * Q.W) <= Tolerance;
    };
    return Near(1.f) || Near(-1.f); // q and -q are the same rotation
}
void FQuat::Normalize(float Tolerance) {
    const float SquareSum = SizeSquared();
    if (SquareSum >= Tolerance) {
        const float Scale = FMath::InvSqrt(SquareSum);
        X *= Scale; Y *= Scale; Z *= Scale; W *= Scale;
    } else {
        *this = FQuat::Identity;
    }
}
FVector FQuat::RotateVector(const FVector& V) const {
    const FVector Q(X, Y, Z);
    const FVector T = 2.f * FVector::CrossProduct(Q, V);
    return V + (W * T) + FVector::CrossProduct(Q, T);
}
FMatrix FQuat::ToMatrix() const { return FTransform(*this, FVector::ZeroVector).ToMatrixNoScale(); }

FQuat FRotator::Quaternion() const {
    const float DivideBy2 = PI / 180.f / 2.f;
    const float SP = FMath::Sin(Pitch * DivideBy2), CP = FMath::Cos(Pitch * DivideBy2);
    const float SY = FMath::Sin(Yaw * DivideBy2), CY = FMath::Cos(Yaw * DivideBy2);
    const float SR = FMath::Sin(Roll * DivideBy2), CR = FMath::Cos(Roll * DivideBy2);
    return FQuat(CR * SP * SY - SR * CP * CY, -CR * SP * CY - SR * CP * SY, CR * CP * SY - SR * SP * CY, CR * CP * CY + SR * SP * SY);
}

void FTransform::SetFromMatrix(const FMatrix& InMatrix) {
    FMatrix M = InMatrix;
    Scale3D = M.ExtractScaling();
    if (InMatrix.Determinant() < 0.f) {
        // A mirroring matrix: put the flip on X; any axis gives the same appearance.
        Scale3D.X *= -1.f;
        M.SetAxis(0, -M.GetScaledAxis(EAxis::X));
    }
    Rotation = FQuat(M);
    Translation = InMatrix.GetOrigin();
    Rotation.Normalize();
}
FMatrix FTransform::ToMatrixWithScale() const {
    FMatrix Out;
    Out.M[3][0] = Translation.X; Out.M[3][1] = Translation.Y; Out.M[3][2] = Translation.Z;
    const float X2 = Rotation.X + Rotation.X, Y2 = Rotation.Y + Rotation.Y, Z2 = Rotation.Z + Rotation.Z;
    {
        const float XX2 = Rotation.X * X2, YY2 = Rotation.Y * Y2, ZZ2 = Rotation.Z * Z2;
        Out.M[0][0] = (1.0f - (YY2 + ZZ2)) * Scale3D.X;
        Out.M[1][1] = (1.0f - (XX2 + ZZ2)) * Scale3D.Y;
        Out.M[2][2] = (1.0f - (XX2 + YY2)) * Scale3D.Z;
    }
    {
        const float YZ2 = Rotation.Y * Z2, WX2 = Rotation.W * X2;
        Out.M[2][1] = (YZ2 - WX2) * Scale3D.Z;
        Out.M[1][2] = (YZ2 + WX2) * Scale3D.Y;
    }
    {
        const float XY2 = Rotation.X * Y2, WZ2 = Rotation.W * Z2;
        Out.M[1][0] = (XY2 - WZ2) * Scale3D.Y;
        Out.M[0][1] = (XY2 + WZ2) * Scale3D.X;
    }
    {
        const float XZ2 = Rotation.X * Z2, WY2 = Rotation.W * Y2;
        Out.M[2][0] = (XZ2 + WY2) * Scale3D.Z;
        Out.M[0][2] = (XZ2 - WY2) * Scale3D.X;
    }
    Out.M[0][3] = 0.f; Out.M[1][3] = 0.f; Out.M[2][3] = 0.f; Out.M[3][3] = 1.f;
    return Out;
}
FMatrix FTransform::ToMatrixNoScale() const { return FTransform(Rotation, Translation).ToMatrixWithScale(); }
bool FTransform::Equals(const FTransform& Other, float Tolerance) const {
    return Rotation.Equals(Other.Rotation, Tolerance) && Translation.Equals(Other.Translation, Tolerance) && Scale3D.Equals(Other.Scale3D, Tolerance);
}

FBoxSphereBounds FBoxSphereBounds::TransformBy(const FMatrix& M) const {
    FBoxSphereBounds Result;
    const FVector Rows[3] = {M.GetScaledAxis(EAxis::X), M.GetScaledAxis(EAxis::Y), M.GetScaledAxis(EAxis::Z)};
    Result.Origin = Rows[0] * Origin.X + Rows[1] * Origin.Y + Rows[2] * Origin.Z + M.GetOrigin();
    Result.BoxExtent = (Rows[0] * BoxExtent.X).GetAbs() + (Rows[1] * BoxExtent.Y).GetAbs() + (Rows[2] * BoxExtent.Z).GetAbs();
    // The largest column length of the 3x3 part bounds how far the sphere can stretch.
    const FVector ColumnSq = Rows[0] * Rows[0] + Rows[1] * Rows[1] + Rows[2] * Rows[2];
    Result.SphereRadius = FMath::Sqrt(ColumnSq.GetMax()) * SphereRadius;
    // For non-uniform scaling the sphere around the new box can be smaller.
    Result.SphereRadius = FMath::Min(Result.SphereRadius, Result.BoxExtent.Size());
    return Result;
}

namespace {
float SRGBToLinear(uint8 C) {
    const float V = C / 255.f;
    return V <= 0.04045f ? V / 12.92f : FMath::Pow((V + 0.055f) / 1.055f, 2.4f);
}
} // namespace

const FLinearColor FLinearColor::White(1, 1, 1, 1), FLinearColor::Black(0, 0, 0, 1), FLinearColor::Transparent(0, 0, 0, 0),
    FLinearColor::Red(1, 0, 0, 1), FLinearColor::Green(0, 1, 0, 1), FLinearColor::Blue(0, 0, 1, 1);
const FColor FColor::White(255, 255, 255, 255), FColor::Black(0, 0, 0, 255);

FLinearColor::FLinearColor(const FColor& C) : R(SRGBToLinear(C.R)), G(SRGBToLinear(C.G)), B(SRGBToLinear(C.B)), A(C.A / 255.f) {}

FColor FLinearColor::ToFColor(bool bSRGB) const {
    float FloatR = FMath::Clamp(R, 0.f, 1.f), FloatG = FMath::Clamp(G, 0.f, 1.f), FloatB = FMath::Clamp(B, 0.f, 1.f), FloatA = FMath::Clamp(A, 0.f, 1.f);
    if (bSRGB) {
        auto Encode = [](float V) { return V <= 0.0031308f ? V * 12.92f : FMath::Pow(V, 1.0f / 2.4f) * 1.055f - 0.055f; };
        FloatR = Encode(FloatR); FloatG = Encode(FloatG); FloatB = Encode(FloatB);
    }
    FColor Ret;
    Ret.A = uint8(FMath::FloorToInt(FloatA * 255.999f));
    Ret.R = uint8(FMath::FloorToInt(FloatR * 255.999f));
    Ret.G = uint8(FMath::FloorToInt(FloatG * 255.999f));
    Ret.B = uint8(FMath::FloorToInt(FloatB * 255.999f));
    return Ret;
}

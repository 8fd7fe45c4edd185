// The engine math the module relies on: the from-matrix rule of FTransform and bounds
// transforms.
#include "CoreMinimal.h"
#include <gtest/gtest.h>

namespace {

FMatrix RotationZ(float Degrees) {
    const float R = FMath::DegreesToRadians(Degrees);
    return FMatrix(FPlane(FMath::Cos(R), FMath::Sin(R), 0, 0), FPlane(-FMath::Sin(R), FMath::Cos(R), 0, 0), FPlane(0, 0, 1, 0), FPlane(0, 0, 0, 1));
}

FMatrix Scaled(const FMatrix& M, const FVector& S, const FVector& T) {
    FMatrix R = M;
    for (int32 I = 0; I < 3; ++I) for (int32 J = 0; J < 3; ++J) R.M[I][J] *= S[I];
    R.SetOrigin(T);
    return R;
}

TEST(TransformFromMatrix, ExtractsScaleRotationAndTranslation) {
    const FMatrix M = Scaled(RotationZ(90), FVector(2, 3, 4), FVector(10, 20, 30));
    const FTransform T(M);
    EXPECT_TRUE(T.GetScale3D().Equals(FVector(2, 3, 4)));
    EXPECT_TRUE(T.GetTranslation().Equals(FVector(10, 20, 30)));
    EXPECT_TRUE(T.GetRotation().Equals(FQuat(FVector(0, 0, 1), FMath::DegreesToRadians(90))));
    EXPECT_TRUE(T.ToMatrixWithScale().Equals(M));
    // A point goes where the matrix sends it.
    const FVector4 P = M.TransformPosition(FVector(1, 1, 1));
    EXPECT_TRUE(T.TransformPosition(FVector(1, 1, 1)).Equals(FVector(P.X, P.Y, P.Z)));
}

TEST(TransformFromMatrix, NegativeDeterminantPutsTheFlipOnX) {
    // A mirror in Y: the engine reports it as a negative X scale with a rotation of 180
    // degrees about Z, which draws the same.
    const FMatrix M = Scaled(FMatrix::Identity, FVector(1, -2, 1), FVector(0, 0, 0));
    ASSERT_LT(M.Determinant(), 0.f);
    const FTransform T(M);
    EXPECT_TRUE(T.GetScale3D().Equals(FVector(-1, 2, 1)));
    EXPECT_TRUE(T.GetRotation().Equals(FQuat(FVector(0, 0, 1), PI)));
    EXPECT_TRUE(T.ToMatrixWithScale().Equals(M));
    EXPECT_NEAR(T.GetRotation().Size(), 1.f, 1e-6f);
}

TEST(TransformFromMatrix, NearZeroRowGetsZeroScaleAndIdentityRotation) {
    FMatrix M = RotationZ(30);
    M.SetAxis(1, FVector(0, 1e-5f, 0)); // squared length 1e-10, below the tolerance
    M.SetOrigin(FVector(5, 6, 7));
    const FTransform T(M);
    EXPECT_EQ(T.GetScale3D().Y, 0.f);
    EXPECT_NEAR(T.GetScale3D().X, 1.f, 1e-6f);
    // The row kept its tiny value, so the quaternion construction sees a nearly-zero axis.
    EXPECT_TRUE(T.GetRotation().Equals(FQuat::Identity));
    EXPECT_TRUE(T.GetTranslation().Equals(FVector(5, 6, 7)));
}

TEST(TransformFromMatrix, ZeroRowIsNotAMirror) {
    FMatrix M = FMatrix::Identity;
    M.SetAxis(0, FVector(0, 0, 0)); // determinant 0, not negative: no flip
    const FTransform T(M);
    EXPECT_TRUE(T.GetScale3D().Equals(FVector(0, 1, 1)));
    EXPECT_TRUE(T.GetRotation().Equals(FQuat::Identity));
}

TEST(TransformFromMatrix, ScaleJustAboveToleranceIsKept) {
    FMatrix M = FMatrix::Identity;
    M.SetAxis(2, FVector(0, 0, 2e-4f)); // squared 4e-8 > 1e-8
    const FTransform T(M);
    EXPECT_NEAR(T.GetScale3D().Z, 2e-4f, 1e-9f);
}

TEST(QuatFromMatrix, HandlesEveryTraceBranch) {
    // Rotations of 180 degrees about each axis have a negative trace.
    for (const FVector Axis : {FVector(1, 0, 0), FVector(0, 1, 0), FVector(0, 0, 1)}) {
        const FQuat Q(Axis, PI);
        const FQuat Back(Q.ToMatrix());
        EXPECT_TRUE(Back.Equals(Q)) << TCHAR_TO_UTF8(*Axis.ToString());
    }
    const FQuat Q(FVector(1, 2, 3).GetSafeNormal(), 1.2f);
    EXPECT_TRUE(FQuat(Q.ToMatrix()).Equals(Q));
}

TEST(BoxSphereBounds, TransformByMovesOriginAndGrowsExtentOfRotatedBox) {
    const FBoxSphereBounds Local(FVector(1, 2, 2), FVector(1, 2, 2), 3.f);
    const FBoxSphereBounds World = Local.TransformBy(Scaled(RotationZ(90), FVector(1, 1, 1), FVector(100, 0, 0)));
    EXPECT_TRUE(World.Origin.Equals(FVector(98, 1, 2)));
    EXPECT_TRUE(World.BoxExtent.Equals(FVector(2, 1, 2)));
    EXPECT_NEAR(World.SphereRadius, 3.f, 1e-5f);

    const FBoxSphereBounds At45 = Local.TransformBy(RotationZ(45));
    const float E = (1.f + 2.f) * FMath::Sqrt(0.5f);
    EXPECT_TRUE(At45.BoxExtent.Equals(FVector(E, E, 2), 1e-5f));
    EXPECT_NEAR(At45.SphereRadius, 3.f, 1e-5f); // the sphere does not grow with rotation
}

TEST(BoxSphereBounds, NonUniformScaleLimitsRadiusToTheBox) {
    const FBoxSphereBounds Local(FVector(0, 0, 0), FVector(1, 1, 1), FMath::Sqrt(3.f));
    const FBoxSphereBounds World = Local.TransformBy(FTransform(FQuat::Identity, FVector(0, 0, 0), FVector(10, 1, 1)));
    EXPECT_TRUE(World.BoxExtent.Equals(FVector(10, 1, 1)));
    // Max column length 10 gives 17.3; the box's half diagonal is smaller and wins.
    EXPECT_NEAR(World.SphereRadius, FMath::Sqrt(102.f), 1e-4f);
}

TEST(Color, LinearToSRGBByteConversion) {
    EXPECT_EQ(FLinearColor(1, 0.5f, 0, 1).ToFColor(true), FColor(255, 188, 0, 255));
    EXPECT_EQ(FLinearColor(1, 0.5f, 0, 1).ToFColor(false), FColor(255, 127, 0, 255));
    EXPECT_EQ(FLinearColor(2, -1, 0.0031308f, 0.5f).ToFColor(true), FColor(255, 0, 10, 127));
    const FColor C(10, 200, 255);
    EXPECT_EQ(FLinearColor(C).ToFColor(true), C);
}

} // namespace

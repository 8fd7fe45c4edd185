// Scene captures rendered by the stand-in's renderer and read back as the module reads them:
// triangles where the projection puts them, reversed depth of Q / view depth, the nearer
// surface winning, lights, materials, the wireframe view mode, the draw guard, and the same
// picture without a render thread.
#include "RenderFixture.h"
#include "Components/DirectionalLightComponent.h"
#include "Components/SkyLightComponent.h"
#include "Components/SpotLightComponent.h"
#include "Editor.h"
#include "UE4Host/SceneCaptureStats.h"
#include "UObject/SoftObjectPath.h"

IMPLEMENT_CLASS(UCaptureTestMeshComponent, 0)

namespace {

constexpr int32 W = 64, H = 48;
constexpr float XScale = 1.f, YScale = float(W) / float(H), Q = 10.f;

// Where a point at view-space right R, up U and depth D lands (pixel column, row from the top).
float ColumnOf(float R, float D, float Sx = XScale) { return (Sx * R / D + 1.f) * 0.5f * W; }
float RowOf(float U, float D, float Sy = YScale) { return (1.f - Sy * U / D) * 0.5f * H; }
uint32 DepthValue(double Depth) { return uint32(std::llround(Depth * 16777215.0)); }

void ExpectDepthNear(uint32 Actual, uint32 Expected, int32 X, int32 Y) {
    EXPECT_LE(std::abs(int64(Actual) - int64(Expected)), 1) << "depth at " << X << ", " << Y << ": " << Actual << " wanted " << Expected;
}

UMaterial* NewMaterial(const FLinearColor& Color) {
    UMaterial* M = NewObject<UMaterial>(GetTransientPackage());
    M->BaseColorConstant = Color;
    return M;
}

class CaptureTest : public RenderTest {
protected:
    void SetUp() override { StartEditor(false); }
    USkyLightComponent* AddSky(float Intensity) {
        USkyLightComponent* Sky = NewRooted<USkyLightComponent>();
        Sky->SetLightColor(FLinearColor::White);
        Sky->SetIntensity(Intensity);
        Sky->RegisterComponentWithWorld(World());
        return Sky;
    }
};

TEST_F(CaptureTest, PlaneDepthIsQOverViewDepthAndStencilIsClear) {
    FTestMesh Mesh;
    Mesh.AddQuad(500.f, -1000.f, 1000.f, -1000.f, 1000.f);
    AddMesh(Mesh);
    AddSky(1.f);
    const FPicture P = Capture(W, H, PerspectiveLikeMaya(XScale, YScale, Q));
    ASSERT_EQ(P.Width, W);
    ASSERT_EQ(P.Height, H);
    EXPECT_TRUE(P.bReadOnRenderThread);
    EXPECT_GE(P.ColorPitch, W);
    const uint32 Expected = DepthValue(double(Q) / 500.0);
    for (int32 Y = 0; Y < H; ++Y)
        for (int32 X = 0; X < W; ++X) {
            ExpectDepthNear(P.DepthAt(X, Y), Expected, X, Y);
            EXPECT_EQ(P.StencilAt(X, Y), 0u);
            // The default material's grey under a white sky of intensity 1, written linear.
            EXPECT_NEAR(P.Channel(X, Y, 2), 128, 1);
            EXPECT_NEAR(P.Channel(X, Y, 1), 128, 1);
            EXPECT_NEAR(P.Channel(X, Y, 0), 128, 1);
        }
}

TEST_F(CaptureTest, TrianglesAppearWhereTheProjectionPutsThemTopRowFirst) {
    // A quad right of and above the view axis: it lands in the upper right of the picture.
    FTestMesh Mesh;
    const float D = 100.f, Y0 = 10.f, Y1 = 40.f, Z0 = 12.f, Z1 = 30.f;
    Mesh.AddQuad(D, Y0, Y1, Z0, Z1);
    AddMesh(Mesh);
    AddSky(1.f);
    const FPicture P = Capture(W, H, PerspectiveLikeMaya(XScale, YScale, Q));
    const float Left = ColumnOf(Y0, D), Right = ColumnOf(Y1, D), Top = RowOf(Z1, D), Bottom = RowOf(Z0, D);
    ASSERT_LT(Bottom, H / 2.f); // above the middle: near the top rows of the staging surface
    int32 Inside = 0;
    for (int32 Y = 0; Y < H; ++Y)
        for (int32 X = 0; X < W; ++X) {
            const float Cx = X + 0.5f, Cy = Y + 0.5f;
            const bool bIn = Cx > Left + 0.5f && Cx < Right - 0.5f && Cy > Top + 0.5f && Cy < Bottom - 0.5f;
            const bool bOut = Cx < Left - 0.5f || Cx > Right + 0.5f || Cy < Top - 0.5f || Cy > Bottom + 0.5f;
            if (bIn) {
                ++Inside;
                EXPECT_NEAR(P.Channel(X, Y, 2), 128, 1) << X << ", " << Y;
                ExpectDepthNear(P.DepthAt(X, Y), DepthValue(Q / D), X, Y);
            } else if (bOut) {
                EXPECT_EQ(P.ColorAt(X, Y), 0u) << X << ", " << Y;
                EXPECT_EQ(P.DepthAt(X, Y), 0u) << X << ", " << Y; // cleared to 0: the far end
            }
        }
    EXPECT_GE(Inside, int32((Right - Left - 2.f) * (Bottom - Top - 2.f)));
}

TEST_F(CaptureTest, NearerSurfacesWinWhateverTheOrder) {
    // The near quad (green, left half) is registered before the far one (red, everywhere).
    FTestMesh Near, Far;
    Near.AddQuad(50.f, -500.f, 0.f, -500.f, 500.f);
    Far.AddQuad(100.f, -1000.f, 1000.f, -1000.f, 1000.f);
    AddMesh(Near, NewMaterial(FLinearColor(0.f, 1.f, 0.f)));
    AddMesh(Far, NewMaterial(FLinearColor(1.f, 0.f, 0.f)));
    AddSky(1.f);
    const FPicture P = Capture(W, H, PerspectiveLikeMaya(XScale, YScale, Q));
    for (int32 Y = 0; Y < H; Y += 5) {
        for (int32 X = 0; X < W / 2 - 1; X += 3) {
            EXPECT_EQ(P.ColorAt(X, Y) & 0xFFFFFFu, 0x00FF00u) << X << ", " << Y;
            ExpectDepthNear(P.DepthAt(X, Y), DepthValue(Q / 50.0), X, Y);
        }
        for (int32 X = W / 2 + 1; X < W; X += 3) {
            EXPECT_EQ(P.ColorAt(X, Y) & 0xFFFFFFu, 0xFF0000u) << X << ", " << Y;
            ExpectDepthNear(P.DepthAt(X, Y), DepthValue(Q / 100.0), X, Y);
        }
    }
}

TEST_F(CaptureTest, ReversedOrthographicDepthAndPosition) {
    const float HalfWidth = 100.f, HalfHeight = 75.f, NearPlane = 10.f, FarPlane = 1010.f, D = 260.f;
    FTestMesh Mesh;
    Mesh.AddQuad(D, -50.f, 25.f, -30.f, 60.f);
    AddMesh(Mesh);
    AddSky(1.f);
    const FPicture P = Capture(W, H, ReversedOrtho(HalfWidth, HalfHeight, NearPlane, FarPlane));
    const uint32 Expected = DepthValue((FarPlane - D) / (FarPlane - NearPlane)); // 0.75
    const float Left = (-50.f / HalfWidth + 1.f) * 0.5f * W, Right = (25.f / HalfWidth + 1.f) * 0.5f * W;
    const float Top = (1.f - 60.f / HalfHeight) * 0.5f * H, Bottom = (1.f + 30.f / HalfHeight) * 0.5f * H;
    for (int32 Y = 0; Y < H; ++Y)
        for (int32 X = 0; X < W; ++X) {
            const float Cx = X + 0.5f, Cy = Y + 0.5f;
            if (Cx > Left + 0.5f && Cx < Right - 0.5f && Cy > Top + 0.5f && Cy < Bottom - 0.5f) {
                ExpectDepthNear(P.DepthAt(X, Y), Expected, X, Y);
            } else if (Cx < Left - 0.5f || Cx > Right + 0.5f || Cy < Top - 0.5f || Cy > Bottom + 0.5f) {
                EXPECT_EQ(P.DepthAt(X, Y), 0u) << X << ", " << Y;
            }
        }
}

TEST_F(CaptureTest, SpotLightLightsInsideItsConeAndNotOutside) {
    const float D = 200.f, Radius = 1000.f, Intensity = 40001.f;
    FTestMesh Mesh;
    Mesh.AddQuad(D, -1000.f, 1000.f, -1000.f, 1000.f);
    AddMesh(Mesh);
    USpotLightComponent* Spot = NewRooted<USpotLightComponent>();
    Spot->SetLightColor(FLinearColor::White);
    Spot->SetIntensity(Intensity);
    Spot->SetInnerConeAngle(10.f);
    Spot->SetOuterConeAngle(20.f);
    Spot->AttenuationRadius = Radius;
    Spot->RegisterComponentWithWorld(World()); // at the camera, shining along +X
    const FPicture P = Capture(W, H, PerspectiveLikeMaya(XScale, YScale, Q));

    // Lambert with inverse-square falloff, faded to 0 at the attenuation radius.
    auto Expected = [&](float Right, float Up) {
        const FVector Point(D, Right, Up);
        const float DistSqr = Point.SizeSquared();
        const float Mask = FMath::Square(FMath::Clamp(1.f - FMath::Square(DistSqr / (Radius * Radius)), 0.f, 1.f));
        const FVector L = (-Point).GetSafeNormal() * -1.f; // from the point towards the light, seen from the light
        const float CosAngle = L.X;
        const float CosInner = std::cos(FMath::DegreesToRadians(10.f)), CosOuter = std::cos(FMath::DegreesToRadians(20.f));
        const float Cone = FMath::Square(FMath::Clamp((CosAngle - CosOuter) / (CosInner - CosOuter), 0.f, 1.f));
        const FVector Normal(-1.f + 1.f / 127.5f, 0.5f / 127.5f, 0.5f / 127.5f);
        const float NdotL = FMath::Max(0.f, FVector::DotProduct(Normal.GetSafeNormal(), (-Point).GetSafeNormal()));
        return 0.5f * Intensity * Mask / (DistSqr + 1.f) * Cone * NdotL * 255.f;
    };
    // The picture's centre is on the axis; a column 30 degrees off it is outside the cone.
    const int32 Cx = W / 2, Cy = H / 2;
    const float Right = ((Cx + 0.5f) / W * 2.f - 1.f) * D / XScale, Up = (1.f - (Cy + 0.5f) / H * 2.f) * D / YScale;
    EXPECT_NEAR(P.Channel(Cx, Cy, 2), Expected(Right, Up), 1.5f);
    EXPECT_GT(P.Channel(Cx, Cy, 2), 100);
    const int32 Outside = int32(ColumnOf(D * std::tan(FMath::DegreesToRadians(30.f)), D));
    ASSERT_LT(Outside, W);
    for (int32 Y = 0; Y < H; ++Y) EXPECT_EQ(P.ColorAt(Outside, Y) & 0xFFFFFFu, 0u) << Y;
    // Between the cones the light fades: dimmer than the centre, brighter than nothing.
    const int32 Between = int32(ColumnOf(D * std::tan(FMath::DegreesToRadians(15.f)), D));
    EXPECT_LT(P.Channel(Between, Cy, 2), P.Channel(Cx, Cy, 2));
    EXPECT_GT(P.Channel(Between, Cy, 2), 0);
}

TEST_F(CaptureTest, WireframeShowFlagDrawsLinesInTheWireframeTint) {
    // A square quad on a square picture, so its diagonal runs through pixel corners.
    constexpr int32 S = 64;
    FTestMesh Mesh;
    Mesh.AddQuad(100.f, -50.f, 50.f, -50.f, 50.f);
    AddMesh(Mesh);
    AddSky(1.f);
    const FMatrix Projection = PerspectiveLikeMaya(1.f, 1.f, Q);
    const FPicture Solid = Capture(S, S, Projection);
    const FPicture Wire = Capture(S, S, Projection, FTransform(), SCS_SceneColorHDR, true);
    // Inside a triangle, away from every edge: filled when solid, empty as wireframe.
    EXPECT_NE(Solid.ColorAt(24, 24), 0u);
    EXPECT_EQ(Wire.ColorAt(24, 24), 0u);
    EXPECT_EQ(Wire.DepthAt(24, 24), 0u);
    // The shared edge of the two triangles: from (-50, -50) to (50, 50), column = 64 - row.
    // The tint is linear (0, 0.5, 1): R 0, G 128, B 255.
    int32 Rows = 0;
    for (int32 Y = 20; Y <= 44; ++Y) {
        bool bLine = false;
        for (int32 X = S - Y - 1; X <= S - Y + 1; ++X) {
            const uint32 C = Wire.ColorAt(X, Y) & 0xFFFFFFu;
            bLine |= (C & 0xFF0000u) == 0 && (C & 0xFFu) == 0xFFu && std::abs(int32((C >> 8) & 0xFFu) - 0x80) <= 1;
        }
        Rows += bLine;
    }
    EXPECT_EQ(Rows, 25);
}

TEST_F(CaptureTest, MaterialBaseColourShowsInTheFinalLDRPicture) {
    UMaterialInterface* Red = Cast<UMaterialInterface>(FSoftObjectPath(FString(TEXT("/Game/Materials/M_Red.M_Red"))).TryLoad());
    UMaterialInterface* Blue = Cast<UMaterialInterface>(FSoftObjectPath(FString(TEXT("/Game/Materials/MI_Blue.MI_Blue"))).TryLoad());
    ASSERT_NE(Red, nullptr);
    ASSERT_NE(Blue, nullptr);
    FTestMesh Left, Right, Tinted;
    Left.AddQuad(100.f, -100.f, -10.f, 0.f, 100.f);
    Right.AddQuad(100.f, 10.f, 100.f, 0.f, 100.f);
    Tinted.AddQuad(100.f, -100.f, 100.f, -100.f, -10.f, FColor(255, 0, 128)); // vertex colour times the default grey
    AddMesh(Left, Red);
    AddMesh(Right, Blue);
    AddMesh(Tinted);
    AddSky(1.f);
    const FPicture P = Capture(W, H, PerspectiveLikeMaya(XScale, YScale, Q), FTransform(), SCS_FinalColorLDR);
    const int32 Upper = H / 4, Lower = 3 * H / 4;
    auto ExpectColor = [&](int32 X, int32 Y, float R, float G, float B) {
        EXPECT_NEAR(P.Channel(X, Y, 2), ToSRGBByte(R), 1) << X << ", " << Y;
        EXPECT_NEAR(P.Channel(X, Y, 1), ToSRGBByte(G), 1) << X << ", " << Y;
        EXPECT_NEAR(P.Channel(X, Y, 0), ToSRGBByte(B), 1) << X << ", " << Y;
    };
    ExpectColor(W / 8, Upper, 0.8f, 0.05f, 0.05f);        // M_Red
    ExpectColor(7 * W / 8, Upper, 0.05f, 0.1f, 0.9f);     // MI_Blue over M_Grey
    ExpectColor(W / 2, Lower, 0.5f, 0.f, 0.5f * 128.f / 255.f);
}

TEST_F(CaptureTest, CustomCameraWithTwoLightsGivesTheRightColourAndDepth) {
    // The camera looks along +Y from (100, -300, 50); the plane faces it 250 units ahead.
    const FTransform Camera(FRotator(0.f, 90.f, 0.f).Quaternion(), FVector(100.f, -300.f, 50.f));
    const float D = 250.f;
    FTestMesh Mesh;
    Mesh.AddQuad(D, -20.f, 60.f, -40.f, 10.f); // in the camera's frame: right -20…60, up -40…10
    AddMesh(Mesh, nullptr, Camera);
    AddSky(0.2f);
    UDirectionalLightComponent* Sun = NewRooted<UDirectionalLightComponent>();
    Sun->SetLightColor(FLinearColor::White);
    Sun->SetIntensity(1.f);
    Sun->SetWorldTransform(FTransform(FRotator(0.f, 90.f, 0.f).Quaternion(), FVector::ZeroVector)); // shines along +Y
    Sun->RegisterComponentWithWorld(World());
    const FPicture P = Capture(W, H, PerspectiveLikeMaya(XScale, YScale, Q), Camera, SCS_FinalColorLDR);
    const float Left = ColumnOf(-20.f, D), Right = ColumnOf(60.f, D), Top = RowOf(10.f, D), Bottom = RowOf(-40.f, D);
    const float NdotL = FVector(-1.f + 1.f / 127.5f, 0.5f / 127.5f, 0.5f / 127.5f).GetSafeNormal().X * -1.f;
    const uint8 Lit = ToSRGBByte(0.5f * (0.2f + NdotL));
    int32 Inside = 0;
    for (int32 Y = 0; Y < H; ++Y)
        for (int32 X = 0; X < W; ++X) {
            const float Cx = X + 0.5f, Cy = Y + 0.5f;
            if (Cx > Left + 0.5f && Cx < Right - 0.5f && Cy > Top + 0.5f && Cy < Bottom - 0.5f) {
                ++Inside;
                EXPECT_NEAR(P.Channel(X, Y, 2), Lit, 1) << X << ", " << Y;
                EXPECT_NEAR(P.Channel(X, Y, 0), Lit, 1) << X << ", " << Y;
                ExpectDepthNear(P.DepthAt(X, Y), DepthValue(Q / D), X, Y);
            } else if (Cx < Left - 0.5f || Cx > Right + 0.5f || Cy < Top - 0.5f || Cy > Bottom + 0.5f) {
                EXPECT_EQ(P.ColorAt(X, Y) & 0xFFFFFFu, 0u) << X << ", " << Y;
                EXPECT_EQ(P.DepthAt(X, Y), 0u) << X << ", " << Y;
            }
        }
    EXPECT_GE(Inside, int32((Right - Left - 2.f) * (Bottom - Top - 2.f)));
}

TEST_F(CaptureTest, DrawsOutsideTheBoundBuffersAreRefused) {
    FTestMesh PastTheIndices, PastTheVertices, Good;
    PastTheIndices.AddQuad(100.f, -100.f, 0.f, -100.f, 100.f);
    PastTheVertices.AddQuad(100.f, 0.f, 100.f, -100.f, 100.f);
    PastTheVertices.IndexBuffer.Indices[4] = 4000; // names a vertex the buffer does not hold
    Good.AddQuad(200.f, -1000.f, 1000.f, -1000.f, 1000.f);
    UCaptureTestMeshComponent* Shifted = AddMesh(PastTheIndices);
    Shifted->IndexOffset = 1;  // the section's last index lies past the buffer
    Shifted->RecreateRenderState_Concurrent();
    EXPECT_EQ(Shifted->ProxiesMade, 2);
    AddMesh(PastTheVertices);
    AddMesh(Good);
    AddSky(1.f);
    const FPicture P = Capture(W, H, PerspectiveLikeMaya(XScale, YScale, Q));
    // Only the far plane shows, everywhere.
    for (int32 Y = 2; Y < H; Y += 4)
        for (int32 X = 2; X < W; X += 4) ExpectDepthNear(P.DepthAt(X, Y), DepthValue(Q / 200.0), X, Y);
}

// As in the engine, a capture that moves asks for one more capture, rendered when the
// world's view draws at the end of the frame: once however often it moved, not after it was
// unregistered, and never when bCaptureOnMovement is off.
TEST_F(CaptureTest, AMovedCaptureCapturesAgainAtTheEndOfTheFrameUnlessToldNot) {
    USceneCaptureComponent2D* Capture = NewRooted<USceneCaptureComponent2D>();
    EXPECT_TRUE(Capture->bCaptureOnMovement);
    Capture->bCaptureEveryFrame = false;
    UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>(Capture);
    Target->InitCustomFormat(uint32(W), uint32(H), PF_B8G8R8A8, true);
    Capture->TextureTarget = Target;
    Capture->RegisterComponentWithWorld(World());
    Loop.Tick();

    const uint64 Before = UE4Host::SceneCapturesRendered();
    Capture->SetWorldTransform(FTransform(FVector(10.f, 0.f, 0.f)));
    Capture->SetWorldTransform(FTransform(FVector(20.f, 0.f, 0.f)));
    EXPECT_EQ(UE4Host::SceneCapturesRendered(), Before); // not before the frame ends
    Loop.Tick();
    EXPECT_EQ(UE4Host::SceneCapturesRendered() - Before, 1u);
    Loop.Tick();
    EXPECT_EQ(UE4Host::SceneCapturesRendered() - Before, 1u); // standing still: none

    Capture->SetWorldTransform(FTransform(FVector(30.f, 0.f, 0.f)));
    Capture->UnregisterComponent();
    Loop.Tick();
    EXPECT_EQ(UE4Host::SceneCapturesRendered() - Before, 1u);

    Capture->bCaptureOnMovement = false;
    Capture->RegisterComponentWithWorld(World());
    Capture->SetWorldTransform(FTransform(FVector(40.f, 0.f, 0.f)));
    Loop.Tick();
    EXPECT_EQ(UE4Host::SceneCapturesRendered() - Before, 1u);
    Capture->UnregisterComponent();
    FlushRenderingCommands();
}

TEST(CaptureModeTest, SingleThreadedModeGivesTheSamePicture) {
    auto Render = [](bool bSingleThreaded) {
        struct FRun : RenderTest {
            using RenderTest::TearDown;
            void TestBody() override {}
            FPicture Go(bool bSingle) {
                StartEditor(bSingle);
                EXPECT_EQ(GIsThreadedRendering, !bSingle);
                FTestMesh Near, Far;
                Near.AddQuad(80.f, -30.f, 50.f, -20.f, 40.f);
                Far.AddQuad(300.f, -1000.f, 1000.f, -1000.f, 1000.f);
                AddMesh(Near, NewMaterial(FLinearColor(0.2f, 0.7f, 0.3f)));
                AddMesh(Far);
                USkyLightComponent* Sky = NewRooted<USkyLightComponent>();
                Sky->SetIntensity(0.3f);
                Sky->RegisterComponentWithWorld(World());
                UDirectionalLightComponent* Sun = NewRooted<UDirectionalLightComponent>();
                Sun->SetIntensity(0.8f);
                Sun->SetWorldTransform(FTransform(FRotator(-30.f, 20.f, 0.f).Quaternion(), FVector::ZeroVector));
                Sun->RegisterComponentWithWorld(World());
                FPicture P = Capture(W, H, PerspectiveLikeMaya(XScale, YScale, Q), FTransform(), SCS_FinalColorLDR);
                EXPECT_TRUE(P.bReadOnRenderThread);
                return P;
            }
        } Run;
        FPicture P = Run.Go(bSingleThreaded);
        Run.TearDown();
        return P;
    };
    const FPicture Threaded = Render(false);
    const FPicture Single = Render(true);
    ASSERT_EQ(Threaded.Color.size(), size_t(W * H));
    EXPECT_TRUE(Threaded.Color == Single.Color);
    EXPECT_TRUE(Threaded.Depth == Single.Depth);
    // Both saw the scene: the near quad's colour and a far-plane depth are there.
    EXPECT_NE(Threaded.ColorAt(W / 2 + 4, H / 2 - 4), Threaded.ColorAt(2, 2));
    ExpectDepthNear(Single.DepthAt(1, 1), DepthValue(Q / 300.0), 1, 1);
}

} // namespace

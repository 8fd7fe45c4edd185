// Mirrored meshes as the editor renders them: requests with mesh records go through the
// module, and a scene capture from a known camera reads back the pixels where the
// projection puts each triangle.
#include "ReceiverFixture.h"
#include "Components/SceneCaptureComponent2D.h"
#include "Engine/TextureRenderTarget2D.h"
#include "PostProcess/SceneRenderTargets.h"
#include "RHICommandList.h"
#include "TextureResource.h"

#include "HAL/PlatformProcess.h"
#include "UE4Host/RHIStats.h"
#include "UE4Host/SceneCaptureStats.h"

#include <atomic>
#include <gtest/gtest.h>
#include <string>

using namespace receivertest;

namespace {

// The camera sits at the origin looking down +X (engine axes); the projection is a reversed
// orthographic one over Y in [-Half, Half] (right) and Z in [-Half, Half] (up).
constexpr int32 kSize = 64;
constexpr float kHalf = 100.f;
constexpr float kDepth = 500.f; // every quad lies in the plane X = kDepth, facing the camera

// The pixel (column, row from the top) that shows world point (Y, Z).
struct FPixel {
    int32 X, Y;
};
FPixel PixelOf(float Y, float Z, int32 Size = kSize) {
    const float NdcX = Y / kHalf, NdcY = Z / kHalf;
    return FPixel{int32((NdcX + 1.f) * 0.5f * Size), int32((1.f - NdcY) * 0.5f * Size)};
}

struct FQuad {
    float Y0, Y1, Z0, Z1;
    float CentreY() const { return (Y0 + Y1) * 0.5f; }
    float CentreZ() const { return (Z0 + Z1) * 0.5f; }
};

// Geometry of one mesh record: quads of two triangles each, facing -X, white.
struct FGeometry {
    std::vector<kvt::FKvtMeshVertex> Vertices;
    std::vector<uint32> Indices;
    std::vector<kvt::FKvtMeshSection> Sections;

    void AddQuad(const FQuad& Q) {
        const uint32 Base = uint32(Vertices.size());
        const float Corners[4][2] = {{Q.Y0, Q.Z0}, {Q.Y1, Q.Z0}, {Q.Y1, Q.Z1}, {Q.Y0, Q.Z1}};
        for (const auto& C : Corners) {
            kvt::FKvtMeshVertex V{};
            V.position[0] = kDepth;
            V.position[1] = C[0];
            V.position[2] = C[1];
            V.tangent[0] = 128, V.tangent[1] = 255, V.tangent[2] = 128;
            V.normal[0] = 1, V.normal[1] = 128, V.normal[2] = 128;
            V.bitangentSign = 255;
            V.colour[0] = V.colour[1] = V.colour[2] = V.colour[3] = 255;
            Vertices.push_back(V);
        }
        for (uint32 I : {0u, 1u, 2u, 0u, 2u, 3u}) Indices.push_back(Base + I);
    }
};

// Colour bytes B, G, R, A of the capture, top row first.
struct FCapturedPicture {
    std::vector<uint32> Color;
    uint32 At(FPixel P) const { return Color[size_t(P.Y) * kSize + P.X]; }
    uint8 Channel(FPixel P, int C) const { return uint8(At(P) >> (8 * C)); } // 0 B, 1 G, 2 R
    bool Lit(FPixel P) const { return (At(P) & 0xFFFFFFu) != 0; }
    bool Grey(FPixel P) const {
        return Lit(P) && std::abs(Channel(P, 0) - Channel(P, 2)) < 8 && std::abs(Channel(P, 1) - Channel(P, 2)) < 8;
    }
    bool Red(FPixel P) const { return Channel(P, 2) > 2 * Channel(P, 1) + 20 && Channel(P, 2) > 2 * Channel(P, 0) + 20; }
};

class MeshRenderTest : public ReceiverTest {
protected:
    void SetUp() override {
        ReceiverTest::SetUp();
        // Ambient light, so that surfaces show their colour whatever their normal.
        FRequest& R = Begin();
        R.Light(kvt::RecordKind::AmbientLight, 0x51, true, FLinearColor(1, 1, 1, 1), 1.f);
        R.Instance(0x52, true, 0x51, true, {});
        ASSERT_TRUE(Finish().hasValue());
    }
    void TearDown() override {
        if (Capture) {
            Capture->UnregisterComponent();
            Capture->RemoveFromRoot();
        }
        FlushRenderingCommands();
        ReceiverTest::TearDown();
    }

    // Appends a mesh record with Geometry; returns its offset.
    uint32 MeshRecord(FRequest& R, uint64 Identity, bool bNew, const FGeometry& G) {
        const uint32 At = *R.Writer.appendShape(kvt::RecordKind::Mesh, false, Identity, bNew);
        R.Writer.setFlags(At, 0xF8, uint8((bNew ? kvt::RecordFlags::isNew : 0) | kvt::RecordFlags::hasData));
        auto* Body = R.Writer.as<kvt::MeshRecord>(At);
        Body->sectionCount = int32(G.Sections.size());
        Body->vertexCount = int32(G.Vertices.size());
        Body->indexCount = int32(G.Indices.size());
        const float Min[3] = {kDepth, -kHalf, -kHalf}, Max[3] = {kDepth, kHalf, kHalf};
        std::memcpy(Body->boundsMin, Min, 12);
        std::memcpy(Body->boundsMax, Max, 12);
        auto Array = [&](size_t Field, const void* Data, size_t Bytes) {
            if (!Bytes) return;
            const uint32 Where = *R.Writer.appendArray(At + uint32(Field), Bytes);
            std::memcpy(R.Writer.at(Where), Data, Bytes);
        };
        Array(offsetof(kvt::MeshRecord, vertices), G.Vertices.data(), G.Vertices.size() * sizeof(kvt::FKvtMeshVertex));
        Array(offsetof(kvt::MeshRecord, indices), G.Indices.data(), G.Indices.size() * sizeof(uint32));
        Array(offsetof(kvt::MeshRecord, sections), G.Sections.data(), G.Sections.size() * sizeof(kvt::FKvtMeshSection));
        return At;
    }

    // A new mesh and one new instance of it (translated by OffsetY); returns the mesh's
    // and the instance's handles.
    std::pair<uint64, uint64> NewMesh(const FGeometry& G, uint64 Identity = 0x100,
                                      const std::vector<kvt::Optional<std::u16string>>* Materials = nullptr) {
        FRequest& R = Begin();
        MeshRecord(R, Identity, true, G);
        R.Instance(Identity + 1, true, Identity, true, FMatrix4(), kvt::none, Materials);
        auto Reply = Finish();
        EXPECT_TRUE(Reply && Reply->handleCount == 2);
        if (!Reply || Reply->handleCount != 2) return {0, 0};
        return {Reply->handle(0).remoteHandle, Reply->handle(1).remoteHandle};
    }

    FCapturedPicture Shoot(bool bWireframe = false) {
        if (!Capture) {
            Capture = NewObject<USceneCaptureComponent2D>(GetTransientPackage());
            Capture->AddToRoot();
            Capture->CaptureSource = SCS_SceneColorHDR;
            Capture->bCaptureEveryFrame = false;
            Capture->bUseCustomProjectionMatrix = true;
            const float Near = 1.f, Far = 1000.f;
            Capture->CustomProjectionMatrix = FMatrix(FPlane(1.f / kHalf, 0, 0, 0), FPlane(0, 1.f / kHalf, 0, 0),
                                                      FPlane(0, 0, -1.f / (Far - Near), 0), FPlane(0, 0, Far / (Far - Near), 1));
            Capture->SetWorldTransform(FTransform());
            UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>(Capture);
            Target->InitCustomFormat(kSize, kSize, PF_B8G8R8A8, true);
            Capture->TextureTarget = Target;
            Capture->RegisterComponentWithWorld(World());
        }
        Capture->ShowFlags.SetWireframe(bWireframe);
        World()->SendAllEndOfFrameUpdates();
        Capture->CaptureScene();
        FCapturedPicture Picture;
        UTextureRenderTarget2D* Target = Capture->TextureTarget;
        ENQUEUE_RENDER_COMMAND(ReadTestPicture)([Target, &Picture](FRHICommandListImmediate& RHICmdList) {
            const FTexture2DRHIRef& Source = Target->GetRenderTargetResource()->GetRenderTargetTexture();
            FRHIResourceCreateInfo CreateInfo(FClearValueBinding::Transparent);
            FTexture2DRHIRef Staging =
                RHICmdList.CreateTexture2D(Source->GetSizeX(), Source->GetSizeY(), Source->GetFormat(), 1, 1, TexCreate_CPUReadback, CreateInfo);
            RHICmdList.CopyToResolveTarget(Source, Staging, false, FResolveParams());
            void* Data = nullptr;
            int32 Pitch = 0, Height = 0;
            RHICmdList.MapStagingSurface(Staging, Data, Pitch, Height);
            Picture.Color.resize(size_t(kSize) * kSize);
            for (int32 Y = 0; Y < kSize; ++Y)
                std::memcpy(&Picture.Color[size_t(Y) * kSize], static_cast<const uint8*>(Data) + size_t(Y) * Pitch * 4, size_t(kSize) * 4);
            RHICmdList.UnmapStagingSurface(Staging);
        });
        FlushRenderingCommands();
        return Picture;
    }

    USceneCaptureComponent2D* Capture = nullptr;
};

const FQuad kA{-90, -50, 50, 90}, kB{-40, 0, 50, 90}, kC{10, 50, 50, 90}, kD{60, 90, 50, 90};
const FQuad kLow{-90, -50, -90, -50};

FPixel Centre(const FQuad& Q, int32 Size = kSize) { return PixelOf(Q.CentreY(), Q.CentreZ(), Size); }

} // namespace

TEST_F(MeshRenderTest, ASectionDrawsItsOwnTrianglesOnly) {
    // Four quads, 24 indices; the one section covers indices 6 to 17: quads B and C.
    FGeometry G;
    for (const FQuad& Q : {kA, kB, kC, kD}) G.AddQuad(Q);
    G.Sections.push_back({6, 4});
    NewMesh(G);
    const FCapturedPicture P = Shoot();
    EXPECT_TRUE(P.Lit(Centre(kB)));
    EXPECT_TRUE(P.Lit(Centre(kC)));
    EXPECT_FALSE(P.Lit(Centre(kA)));
    EXPECT_FALSE(P.Lit(Centre(kD)));
    EXPECT_FALSE(P.Lit(Centre(kLow)));
    // The default surface material, lit by the ambient light.
    EXPECT_TRUE(P.Grey(Centre(kB)));
}

TEST_F(MeshRenderTest, EmptyMeshesAndMeshesWithoutSectionsDrawNothingAndStayUsable) {
    FGeometry Empty;
    const auto [EmptyMesh, EmptyInstance] = NewMesh(Empty, 0x100);
    ASSERT_NE(EmptyMesh, 0u);
    FGeometry NoSections;
    NoSections.AddQuad(kA);
    const auto [Bare, BareInstance] = NewMesh(NoSections, 0x200);
    ASSERT_NE(Bare, 0u);
    FCapturedPicture P = Shoot();
    EXPECT_FALSE(P.Lit(Centre(kA)));
    auto* Node = MeshComponents().at(0)->MeshNode;
    ASSERT_NE(Node, nullptr);

    // Later geometry for both shows.
    FGeometry Quad = NoSections;
    Quad.Sections.push_back({0, 2});
    FGeometry Other;
    Other.AddQuad(kD);
    Other.Sections.push_back({0, 2});
    FRequest& R = Begin();
    MeshRecord(R, EmptyMesh, false, Other);
    MeshRecord(R, Bare, false, Quad);
    ASSERT_TRUE(Finish().hasValue());
    P = Shoot();
    EXPECT_TRUE(P.Lit(Centre(kA)));
    EXPECT_TRUE(P.Lit(Centre(kD)));

    // And emptied again, nothing.
    FRequest& E = Begin();
    MeshRecord(E, EmptyMesh, false, Empty);
    MeshRecord(E, Bare, false, Empty);
    ASSERT_TRUE(Finish().hasValue());
    P = Shoot();
    EXPECT_FALSE(P.Lit(Centre(kA)));
    EXPECT_FALSE(P.Lit(Centre(kD)));
}

TEST_F(MeshRenderTest, TwoInstancesShareTheirShapeAndFollowItsGeometryWithoutNewProxies) {
    FGeometry G;
    G.AddQuad(kA);
    G.Sections.push_back({0, 2});
    const auto [Mesh, First] = NewMesh(G);
    ASSERT_NE(Mesh, 0u);
    // The second instance is moved 100 down (engine Z).
    FRequest& R = Begin();
    R.Instance(0x102, true, Mesh, false, FMatrix4::ScaleTranslate(1, 1, 1, 0, 0, -100));
    ASSERT_TRUE(Finish().hasValue());
    auto Meshes = MeshComponents();
    ASSERT_EQ(Meshes.size(), 2u);
    ASSERT_EQ(Meshes[0]->MeshNode, Meshes[1]->MeshNode);
    const FQuad AMoved{kA.Y0, kA.Y1, kA.Z0 - 100, kA.Z1 - 100};
    FCapturedPicture P = Shoot();
    EXPECT_TRUE(P.Lit(Centre(kA)));
    EXPECT_TRUE(P.Lit(Centre(AMoved)));
    EXPECT_FALSE(P.Lit(Centre(kD)));
    FPrimitiveSceneProxy* Proxies[2] = {Meshes[0]->SceneProxy, Meshes[1]->SceneProxy};
    ASSERT_NE(Proxies[0], nullptr);
    ASSERT_NE(Proxies[1], nullptr);

    // One geometry update moves the quad to D's place in both instances.
    FGeometry Moved;
    Moved.AddQuad(kD);
    Moved.Sections.push_back({0, 2});
    FRequest& U = Begin();
    MeshRecord(U, Mesh, false, Moved);
    ASSERT_TRUE(Finish().hasValue());
    const FQuad DMoved{kD.Y0, kD.Y1, kD.Z0 - 100, kD.Z1 - 100};
    P = Shoot();
    EXPECT_FALSE(P.Lit(Centre(kA)));
    EXPECT_FALSE(P.Lit(Centre(AMoved)));
    EXPECT_TRUE(P.Lit(Centre(kD)));
    EXPECT_TRUE(P.Lit(Centre(DMoved)));
    EXPECT_EQ(Meshes[0]->SceneProxy, Proxies[0]);
    EXPECT_EQ(Meshes[1]->SceneProxy, Proxies[1]);
}

TEST_F(MeshRenderTest, ASlotWithoutMaterialDrawsWithTheDefaultMaterial) {
    // Slot 0 does not load, slot 1 is red, section 2 lies beyond the slots.
    FGeometry G;
    for (const FQuad& Q : {kA, kB, kC}) G.AddQuad(Q);
    G.Sections = {{0, 2}, {6, 2}, {12, 2}};
    const std::vector<kvt::Optional<std::u16string>> Materials = {u"/Game/Materials/NoSuchMaterial", u"/Game/Materials/M_Red"};
    NewMesh(G, 0x100, &Materials);
    const FCapturedPicture P = Shoot();
    EXPECT_TRUE(P.Grey(Centre(kA)));
    EXPECT_TRUE(P.Red(Centre(kB)));
    EXPECT_TRUE(P.Grey(Centre(kC)));
}

TEST_F(MeshRenderTest, InTheWireframeViewEverySectionDrawsTintedWireframeWhateverItsMaterial) {
    FGeometry G;
    G.AddQuad(kA);
    G.AddQuad(kB);
    G.Sections = {{0, 2}, {6, 2}};
    const std::vector<kvt::Optional<std::u16string>> Materials = {u"/Game/Materials/M_Red"};
    NewMesh(G, 0x100, &Materials);
    const FCapturedPicture P = Shoot(true);
    // The quads' diagonals run through their centres; lines may land a pixel aside.
    for (const FQuad& Q : {kA, kB}) {
        const FPixel C = Centre(Q);
        bool bTinted = false;
        for (int32 DY = -1; DY <= 1; ++DY)
            for (int32 DX = -1; DX <= 1; ++DX) {
                const FPixel N{C.X + DX, C.Y + DY};
                // (0, 0.5, 1): blue strongest, green about half, no red.
                bTinted |= P.Channel(N, 0) > 100 && P.Channel(N, 1) > 20 && P.Channel(N, 1) < P.Channel(N, 0) && P.Channel(N, 2) < 10;
            }
        EXPECT_TRUE(bTinted) << Q.Y0;
        // Inside a triangle, away from every edge, nothing is filled.
        EXPECT_FALSE(P.Lit(PixelOf(Q.Y0 + 0.75f * (Q.Y1 - Q.Y0), Q.Z0 + 0.25f * (Q.Z1 - Q.Z0))));
    }
}

TEST_F(MeshRenderTest, AHiddenInstanceOrAHiddenShapeDrawsNothing) {
    FGeometry G;
    G.AddQuad(kA);
    G.Sections.push_back({0, 2});
    const auto [Mesh, Instance] = NewMesh(G);
    ASSERT_NE(Mesh, 0u);
    ASSERT_TRUE(Shoot().Lit(Centre(kA)));

    FRequest& Hide = Begin();
    Hide.Visibility(Instance, false);
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_FALSE(Shoot().Lit(Centre(kA)));

    FRequest& Show = Begin();
    Show.Visibility(Instance, true);
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_TRUE(Shoot().Lit(Centre(kA)));

    FRequest& HideShape = Begin();
    HideShape.ShortShape(kvt::RecordKind::Mesh, Mesh, false);
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_FALSE(Shoot().Lit(Centre(kA)));
}

TEST_F(MeshRenderTest, SectionsOutsideTheUploadedDataAreSkippedAndTheOthersDraw) {
    // A requester that rewrites its mesh after the editor has read the request: the
    // geometry is uploaded later, on the render thread, and must still never make a draw
    // read outside the buffers. Sections: quad A (sound), quad C (to run past the indices),
    // quad D (its indices to name a vertex that does not exist).
    FGeometry G;
    for (const FQuad& Q : {kA, kC, kD}) G.AddQuad(Q);
    G.Sections = {{0, 2}, {6, 2}, {12, 2}};
    FRequest& R = Begin();
    const uint32 At = MeshRecord(R, 0x100, true, G);
    R.Instance(0x101, true, 0x100, true, FMatrix4());
    auto* Body = R.Writer.as<kvt::MeshRecord>(At);
    uint8* Sections = R.Writer.at(At + uint32(offsetof(kvt::MeshRecord, sections)) + uint32(Body->sections));
    uint8* Indices = R.Writer.at(At + uint32(offsetof(kvt::MeshRecord, indices)) + uint32(Body->indices));
    Request.reset();
    Maya->publishRequest();

    // Hold the render thread until the rewrite is done, so that the upload comes after it.
    std::atomic<bool> bRewritten{false};
    ENQUEUE_RENDER_COMMAND(HoldRenderThread)([&bRewritten](FRHICommandListImmediate&) {
        for (int32 Spins = 0; !bRewritten && Spins < 10000; ++Spins) FPlatformProcess::Sleep(0.001f);
    });
    Loop.Tick();
    const kvt::FKvtMeshSection Overrun{6, 100};
    std::memcpy(Sections + sizeof(kvt::FKvtMeshSection), &Overrun, sizeof Overrun);
    const uint32 Missing = 99;
    for (int32 I = 12; I < 18; ++I) std::memcpy(Indices + I * 4, &Missing, 4);
    bRewritten = true;
    FlushRenderingCommands();
    ASSERT_EQ(Maya->awaitResponse(), kvt::LinkRequester::AwaitResult::Reply);

    testing::internal::CaptureStderr();
    const FCapturedPicture P = Shoot();
    const std::string Log = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(P.Lit(Centre(kA)));
    EXPECT_FALSE(P.Lit(Centre(kC)));
    EXPECT_FALSE(P.Lit(Centre(kD)));
    // No batch left its buffers: the renderer refused none.
    EXPECT_EQ(Log.find("is not drawn"), std::string::npos) << Log;
}

TEST_F(MeshRenderTest, APictureRequestGetsTheCaptureBottomRowFirstWithMayaDepth) {
    FGeometry G;
    G.AddQuad(kA);
    G.Sections.push_back({0, 2});
    NewMesh(G);

    // The module's own capture, from Maya's camera (identity: at the origin, looking down
    // +X) through the same reversed orthographic projection as the test's.
    const float Near = 1.f, Far = 1000.f;
    const float Projection[16] = {1.f / kHalf, 0, 0, 0, 0, 1.f / kHalf, 0, 0, 0, 0, -1.f / (Far - Near), 0, 0, 0, Far / (Far - Near), 1};
    const float Bias = 0.25f, Scale = 1.f / 16777215.f;
    // The size changes between the first two frames and stays for the third: the target and
    // the staging textures follow it.
    const int32 Sizes[3] = {kSize, 96, 96};
    uint64 Targets = UE4Host::TexturesCreatedWith(TexCreate_RenderTargetable);
    uint64 Staging = UE4Host::TexturesCreatedWith(TexCreate_CPUReadback);
    for (int Frame = 0; Frame < 3; ++Frame) {
        const int32 Size = Sizes[Frame];
        Begin(true, Size, Size);
        auto* Header = reinterpret_cast<kvt::RequestHeader*>(Maya->request().view);
        const float Identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        std::memcpy(Header->cameraMatrix, Identity, sizeof Identity);
        std::memcpy(Header->projection, Projection, sizeof Projection);
        Header->depthScale = Scale;
        Header->depthBias = Bias;
        const uint64 CapturesBefore = UE4Host::SceneCapturesRendered();
        auto Reply = Finish();
        ASSERT_TRUE(Reply.hasValue());
        // One capture a picture: moving the capture to Maya's camera asks for no second one
        // at the end of the frame (the engine captures on movement unless told not to).
        EXPECT_EQ(UE4Host::SceneCapturesRendered() - CapturesBefore, 1u) << Frame;
        ASSERT_NE(Reply->colour, nullptr);
        ASSERT_NE(Reply->depth, nullptr);
        // A new size brings a new render target and two new staging textures (colour and
        // depth); the same size again reuses all three.
        const uint64 NewTargets = UE4Host::TexturesCreatedWith(TexCreate_RenderTargetable) - Targets;
        const uint64 NewStaging = UE4Host::TexturesCreatedWith(TexCreate_CPUReadback) - Staging;
        Targets += NewTargets;
        Staging += NewStaging;
        if (Frame < 2) {
            EXPECT_GE(NewTargets, 1u) << Frame;
            EXPECT_EQ(NewStaging, 2u) << Frame;
        } else {
            EXPECT_EQ(NewTargets, 0u);
            EXPECT_EQ(NewStaging, 0u);
        }
        auto ColourAt = [&](FPixel P) { // P counts rows from the top; the reply from the bottom
            uint32 C;
            std::memcpy(&C, Reply->colour + (size_t(Size - 1 - P.Y) * Size + P.X) * 4, 4);
            return C;
        };
        auto DepthAt = [&](FPixel P) {
            float D;
            std::memcpy(&D, Reply->depth + (size_t(Size - 1 - P.Y) * Size + P.X) * 4, 4);
            return D;
        };
        const FPixel OnQuad = Centre(kA, Size), Off = Centre(kLow, Size);
        ASSERT_EQ(Reply->width, Size);
        const uint32 C = ColourAt(OnQuad);
        const uint8 B = uint8(C), Gr = uint8(C >> 8), R = uint8(C >> 16);
        EXPECT_GT(R, 20) << Frame;
        EXPECT_LT(std::abs(int(B) - int(R)), 8) << Frame;
        EXPECT_LT(std::abs(int(Gr) - int(R)), 8) << Frame;
        EXPECT_EQ(C >> 24, 0u) << Frame;
        // An unmarked pixel (mask 128 here) keeps its channels less their lowest bit.
        EXPECT_EQ(C & 0x010101u, 0u) << Frame;
        EXPECT_EQ(ColourAt(Off), 0u) << Frame;
        // Depth: the engine's reversed depth of X = 500 through the factors Maya sent; the
        // cleared background (0) gives the bias.
        EXPECT_NEAR(DepthAt(OnQuad), (Far - kDepth) / (Far - Near) + Bias, 1e-5f) << Frame;
        EXPECT_EQ(DepthAt(Off), Bias) << Frame;
    }
}

TEST_F(MeshRenderTest, TheReplyCarriesAFaintWatermarkThatOnlyDarkens) {
    // One evenly lit quad over the whole view of 256 x 128, the watermark's own size.
    FGeometry G;
    G.AddQuad(FQuad{-kHalf * 2, kHalf * 2, -kHalf * 2, kHalf * 2});
    G.Sections.push_back({0, 2});
    NewMesh(G);
    const int32 W = 256, H = 128;
    const float Near = 1.f, Far = 1000.f;
    const float Projection[16] = {1.f / kHalf, 0, 0, 0, 0, 1.f / kHalf, 0, 0, 0, 0, -1.f / (Far - Near), 0, 0, 0, Far / (Far - Near), 1};
    Begin(true, W, H);
    auto* Header = reinterpret_cast<kvt::RequestHeader*>(Maya->request().view);
    const float Identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::memcpy(Header->cameraMatrix, Identity, sizeof Identity);
    std::memcpy(Header->projection, Projection, sizeof Projection);
    auto Reply = Finish();
    ASSERT_TRUE(Reply.hasValue());
    ASSERT_NE(Reply->colour, nullptr);
    // The brightest red is the unmarked value 2 x floor(c / 2) of the one source value c.
    uint8 Brightest = 0;
    for (int32 I = 0; I < W * H; ++I) Brightest = std::max(Brightest, Reply->colour[size_t(I) * 4 + 2]);
    ASSERT_GT(Brightest, 40);
    int32 Darker = 0;
    for (int32 I = 0; I < W * H; ++I) {
        const uint8 R = Reply->colour[size_t(I) * 4 + 2];
        bool bFromAMaskValue = false; // 2 x floor(c x m / 256) for m in 115…128, c = Brightest or one more
        for (int32 C = Brightest; C <= Brightest + 1; ++C)
            for (int32 M = 115; M <= 128; ++M) bFromAMaskValue |= R == 2 * ((C * M) / 256);
        EXPECT_TRUE(bFromAMaskValue) << I << " " << int(R);
        Darker += R < Brightest;
    }
    // A faint mark: some pixels, far from most.
    EXPECT_GT(Darker, 0);
    EXPECT_LT(Darker, W * H / 4);
}

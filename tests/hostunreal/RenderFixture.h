#pragma once
// A mesh drawn the way engine modules draw theirs (vertex and index buffers, a local vertex
// factory, a scene proxy returning one dynamic batch per section), scene captures with a
// custom projection, and the read-back of their colour and scene depth through staging
// textures on the render thread.
#include "EditorFixture.h"
#include "Editor.h"
#include "Components/MeshComponent.h"
#include "Components/SceneCaptureComponent2D.h"
#include "Containers/ResourceArray.h"
#include "Engine/Engine.h"
#include "Engine/TextureRenderTarget2D.h"
#include "LocalVertexFactory.h"
#include "Materials/Material.h"
#include "PostProcess/SceneRenderTargets.h"
#include "PrimitiveSceneProxy.h"
#include "RHICommandList.h"
#include "RenderingThread.h"
#include "Shader.h"
#include "TextureResource.h"
#include <cmath>
#include <cstring>
#include <vector>

// The module's vertex: position, texture coordinate, tangent X and Z (packed), colour B, G, R, A.
struct FTestVertex {
    float Position[3];
    float UV[2];
    uint8 TangentX[4];
    uint8 TangentZ[4];
    uint8 Color[4];
};
static_assert(sizeof(FTestVertex) == 32, "vertex layout");

inline uint8 PackUnit(float V) { return uint8(FMath::Clamp(int32(V * 127.f + 128.f), 0, 255)); }

struct FTestSection {
    uint32 FirstIndex;
    uint32 TriangleCount;
};

class FTestDataArray final : public FResourceArrayInterface {
public:
    FTestDataArray(const void* InData, uint32 InSize) : Data(InData), Size(InSize) {}
    const void* GetResourceData() const override { return Data; }
    uint32 GetResourceDataSize() const override { return Size; }
    void Discard() override { bDiscarded = true; }
    bool IsStatic() const override { return false; }
    bool GetAllowCPUAccess() const override { return false; }
    void SetAllowCPUAccess(bool) override {}
    bool bDiscarded = false;

private:
    const void* Data;
    uint32 Size;
};

class FTestVertexBuffer final : public FVertexBuffer {
public:
    void InitRHI() override {
        FTestDataArray Array(Vertices.data(), uint32(Vertices.size() * sizeof(FTestVertex)));
        FRHIResourceCreateInfo CreateInfo(&Array);
        VertexBufferRHI = RHICreateVertexBuffer(uint32(Vertices.size() * sizeof(FTestVertex)), BUF_Dynamic, CreateInfo);
        bDiscarded = Array.bDiscarded;
    }
    std::vector<FTestVertex> Vertices;
    bool bDiscarded = false;
};

class FTestIndexBuffer final : public FIndexBuffer {
public:
    void InitRHI() override {
        FRHIResourceCreateInfo CreateInfo;
        void* Buffer = nullptr;
        IndexBufferRHI = RHICreateAndLockIndexBuffer(sizeof(uint32), uint32(Indices.size() * sizeof(uint32)), BUF_Dynamic, CreateInfo, Buffer);
        std::memcpy(Buffer, Indices.data(), Indices.size() * sizeof(uint32));
        RHIUnlockIndexBuffer(IndexBufferRHI);
    }
    std::vector<uint32> Indices;
};

// Geometry with its render resources, built and released on the render thread.
struct FTestMesh {
    FTestVertexBuffer VertexBuffer;
    FTestIndexBuffer IndexBuffer;
    FLocalVertexFactory VertexFactory;
    std::vector<FTestSection> Sections;
    FBoxSphereBounds LocalBounds{ForceInit};
    bool bSetColorStream = true;
    bool bInitialized = false;

    ~FTestMesh() {
        if (bInitialized) BeginRelease();
    }

    // A quad facing -X (towards a camera looking down +X) at X = Depth, spanning Y0…Y1 and Z0…Z1.
    void AddQuad(float Depth, float Y0, float Y1, float Z0, float Z1, FColor VertexColor = FColor::White) {
        const uint32 Base = uint32(VertexBuffer.Vertices.size());
        const float Corners[4][2] = {{Y0, Z0}, {Y1, Z0}, {Y1, Z1}, {Y0, Z1}};
        for (const auto& C : Corners) {
            FTestVertex V{};
            V.Position[0] = Depth;
            V.Position[1] = C[0];
            V.Position[2] = C[1];
            V.TangentX[0] = PackUnit(0.f), V.TangentX[1] = PackUnit(1.f), V.TangentX[2] = PackUnit(0.f);
            V.TangentZ[0] = PackUnit(-1.f), V.TangentZ[1] = PackUnit(0.f), V.TangentZ[2] = PackUnit(0.f), V.TangentZ[3] = 255;
            V.Color[0] = VertexColor.B, V.Color[1] = VertexColor.G, V.Color[2] = VertexColor.R, V.Color[3] = VertexColor.A;
            VertexBuffer.Vertices.push_back(V);
        }
        const uint32 First = uint32(IndexBuffer.Indices.size());
        for (uint32 I : {0u, 1u, 2u, 0u, 2u, 3u}) IndexBuffer.Indices.push_back(Base + I);
        Sections.push_back(FTestSection{First, 2});
        UpdateBounds();
    }
    void UpdateBounds() {
        FVector Min(BIG_NUMBER), Max(-BIG_NUMBER);
        for (const FTestVertex& V : VertexBuffer.Vertices)
            for (int A = 0; A < 3; ++A) {
                Min[A] = FMath::Min(Min[A], V.Position[A]);
                Max[A] = FMath::Max(Max[A], V.Position[A]);
            }
        const FVector Extent = (Max - Min) * 0.5f;
        LocalBounds = FBoxSphereBounds(Min + Extent, Extent, Extent.Size());
    }
    void BeginInit() {
        bInitialized = true;
        FTestMesh* Mesh = this;
        ENQUEUE_RENDER_COMMAND(InitTestMesh)([Mesh](FRHICommandListImmediate&) {
            FLocalVertexFactory::FDataType Data;
            const FVertexBuffer* VB = &Mesh->VertexBuffer;
            Data.PositionComponent = FVertexStreamComponent(VB, 0, 32, VET_Float3);
            Data.TangentBasisComponents[0] = FVertexStreamComponent(VB, 20, 32, VET_PackedNormal);
            Data.TangentBasisComponents[1] = FVertexStreamComponent(VB, 24, 32, VET_PackedNormal);
            Data.TextureCoordinates.Add(FVertexStreamComponent(VB, 12, 32, VET_Float2));
            if (Mesh->bSetColorStream) Data.ColorComponent = FVertexStreamComponent(VB, 28, 32, VET_Color);
            Mesh->VertexFactory.SetData(Data);
            Mesh->VertexBuffer.InitResource();
            Mesh->IndexBuffer.InitResource();
            Mesh->VertexFactory.InitResource();
        });
    }
    void BeginRelease() {
        bInitialized = false;
        FTestMesh* Mesh = this;
        ENQUEUE_RENDER_COMMAND(ReleaseTestMesh)([Mesh](FRHICommandListImmediate&) {
            Mesh->VertexBuffer.ReleaseResource();
            Mesh->IndexBuffer.ReleaseResource();
            Mesh->VertexFactory.ReleaseResource();
        });
        FlushRenderingCommands();
    }
};

class UCaptureTestMeshComponent;

// One batch per section and visible view, as the system's module draws its meshes; the
// materials are taken on the game thread when the proxy is made.
class FTestMeshProxy final : public FPrimitiveSceneProxy {
public:
    FTestMeshProxy(const UPrimitiveComponent* InComponent, FTestMesh* InMesh) : FPrimitiveSceneProxy(InComponent), Mesh(InMesh) {
        for (size_t I = 0; I < Mesh->Sections.size(); ++I) {
            UMaterialInterface* M = InComponent->GetMaterial(int32(I));
            Used.Add(M);
            Proxies.Add((M ? M : UMaterial::GetDefaultMaterial(MD_Surface))->GetRenderProxy(IsSelected()));
        }
    }

    void GetDynamicMeshElements(const TArray<const FSceneView*>& Views, const FSceneViewFamily& ViewFamily, uint32 VisibilityMap,
                                FMeshElementCollector& Collector) const override {
        const bool bWireframe = AllowDebugViewmodes() && ViewFamily.EngineShowFlags.Wireframe;
        FColoredMaterialRenderProxy* WireframeProxy = nullptr;
        if (bWireframe) {
            WireframeProxy = new FColoredMaterialRenderProxy(GEngine->WireframeMaterial ? GEngine->WireframeMaterial->GetRenderProxy(IsSelected()) : nullptr,
                                                             FLinearColor(0.f, 0.5f, 1.f, 1.f));
            Collector.RegisterOneFrameMaterialProxy(WireframeProxy);
        }
        const_cast<FTestMeshProxy*>(this)->SetUsedMaterialForVerification(Used);
        for (size_t I = 0; I < Mesh->Sections.size(); ++I) {
            const FMaterialRenderProxy* Material = WireframeProxy ? WireframeProxy : Proxies[int32(I)];
            for (int32 V = 0; V < Views.Num(); ++V) {
                if (!(VisibilityMap & (1u << V))) continue;
                FMeshBatch& Batch = Collector.AllocateMesh();
                FMeshBatchElement& Element = Batch.Elements[0];
                Element.IndexBuffer = &Mesh->IndexBuffer;
                Batch.VertexFactory = &Mesh->VertexFactory;
                Batch.MaterialRenderProxy = Material;
                Batch.bWireframe = bWireframe;
                Element.PrimitiveUniformBuffer = CreatePrimitiveUniformBufferImmediate(GetLocalToWorld(), GetBounds(), GetLocalBounds(), true, UseEditorDepthTest());
                Element.FirstIndex = Mesh->Sections[I].FirstIndex + IndexOffset;
                Element.NumPrimitives = Mesh->Sections[I].TriangleCount;
                Element.MinVertexIndex = 0;
                Element.MaxVertexIndex = uint32(Mesh->VertexBuffer.Vertices.size()) - 1;
                Batch.ReverseCulling = IsLocalToWorldDeterminantNegative();
                Batch.Type = PT_TriangleList;
                Batch.DepthPriorityGroup = SDPG_World;
                Batch.bCanApplyViewModeOverrides = false;
                Collector.AddMesh(V, Batch);
            }
        }
    }
    FPrimitiveViewRelevance GetViewRelevance(const FSceneView* View) const override {
        FPrimitiveViewRelevance Result;
        Result.bDrawRelevance = IsShown(View);
        Result.bShadowRelevance = IsShadowCast(View);
        Result.bDynamicRelevance = true;
        Result.bRenderInMainPass = ShouldRenderInMainPass();
        return Result;
    }
    uint32 GetMemoryFootprint() const override { return uint32(sizeof(*this)) + GetAllocatedSize(); }

    uint32 IndexOffset = 0; // a fault a test can inject: batches that start past their section

private:
    FTestMesh* Mesh;
    TArray<UMaterialInterface*> Used;
    TArray<const FMaterialRenderProxy*> Proxies;
};

class UCaptureTestMeshComponent : public UMeshComponent {
    UE4HOST_DECLARE_CLASS(UCaptureTestMeshComponent, UMeshComponent, CLASS_Native, TEXT("/Script/HostUnrealTest"), NO_API)
public:
    UCaptureTestMeshComponent(const FObjectInitializer& X = FObjectInitializer::Get()) : UMeshComponent(X) {}
    bool ShouldCreatePhysicsState() const override { return false; }
    FBoxSphereBounds CalcBounds(const FTransform& LocalToWorld) const override {
        return Mesh ? Mesh->LocalBounds.TransformBy(LocalToWorld) : FBoxSphereBounds(LocalToWorld.GetLocation(), FVector::ZeroVector, 0.f);
    }
    int32 GetNumMaterials() const override { return OverrideMaterials.Num(); }
    FPrimitiveSceneProxy* CreateSceneProxy() override {
        ++ProxiesMade;
        FTestMeshProxy* Proxy = new FTestMeshProxy(this, Mesh);
        Proxy->IndexOffset = IndexOffset;
        return Proxy;
    }
    FTestMesh* Mesh = nullptr;
    uint32 IndexOffset = 0;
    int32 ProxiesMade = 0;
};

// Colour (B, G, R, A bytes as a little-endian uint32) and depth-stencil values, top row first.
struct FPicture {
    int32 Width = 0, Height = 0;
    int32 ColorPitch = 0, DepthPitch = 0;
    std::vector<uint32> Color, Depth;
    bool bReadOnRenderThread = false;
    uint32 ColorAt(int32 X, int32 Y) const { return Color[size_t(Y) * Width + X]; }
    uint32 DepthAt(int32 X, int32 Y) const { return Depth[size_t(Y) * Width + X] & 0xFFFFFFu; }
    uint32 StencilAt(int32 X, int32 Y) const { return Depth[size_t(Y) * Width + X] >> 24; }
    uint8 Channel(int32 X, int32 Y, int C) const { return uint8(ColorAt(X, Y) >> (8 * C)); } // 0 B, 1 G, 2 R, 3 A
};

// A perspective projection as Maya's is rewritten for the engine (row vectors): clip w is
// the view depth and clip z the constant Q, so the depth is Q / view depth.
inline FMatrix PerspectiveLikeMaya(float XScale, float YScale, float Q) {
    return FMatrix(FPlane(XScale, 0, 0, 0), FPlane(0, YScale, 0, 0), FPlane(0, 0, 0, 1), FPlane(0, 0, Q, 0));
}

// Reversed orthographic: depth 1 at view depth Near, 0 at Far.
inline FMatrix ReversedOrtho(float HalfWidth, float HalfHeight, float Near, float Far) {
    return FMatrix(FPlane(1.f / HalfWidth, 0, 0, 0), FPlane(0, 1.f / HalfHeight, 0, 0), FPlane(0, 0, -1.f / (Far - Near), 0),
                   FPlane(0, 0, Far / (Far - Near), 1));
}

inline uint8 ToSRGBByte(float Linear) {
    Linear = FMath::Clamp(Linear, 0.f, 1.f);
    const float S = Linear <= 0.0031308f ? Linear * 12.92f : 1.055f * std::pow(Linear, 1.f / 2.4f) - 0.055f;
    return uint8(std::lround(S * 255.f));
}

class RenderTest : public EditorTest {
protected:
    UWorld* World() { return GEditor->GetEditorWorldContext(false).World(); }

    template <class T> T* NewRooted() {
        T* Object = NewObject<T>(GetTransientPackage());
        Object->AddToRoot();
        Rooted.push_back(Object);
        return Object;
    }
    UCaptureTestMeshComponent* AddMesh(FTestMesh& Mesh, UMaterialInterface* Material = nullptr, const FTransform& Transform = FTransform()) {
        Mesh.BeginInit();
        UCaptureTestMeshComponent* Component = NewRooted<UCaptureTestMeshComponent>();
        Component->Mesh = &Mesh;
        if (Material) Component->SetMaterial(0, Material);
        Component->SetWorldTransform(Transform);
        Component->RegisterComponentWithWorld(World());
        return Component;
    }
    // Captures from a camera at Location with Rotation (engine axes) through Projection.
    FPicture Capture(int32 W, int32 H, const FMatrix& Projection, const FTransform& Camera = FTransform(),
                     ESceneCaptureSource Source = SCS_SceneColorHDR, bool bWireframe = false) {
        USceneCaptureComponent2D* Capture = NewRooted<USceneCaptureComponent2D>();
        Capture->CaptureSource = Source;
        Capture->bCaptureEveryFrame = false;
        Capture->bUseCustomProjectionMatrix = true;
        Capture->CustomProjectionMatrix = Projection;
        Capture->ShowFlags.SetWireframe(bWireframe);
        Capture->SetWorldTransform(Camera);
        UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>(Capture);
        Target->InitCustomFormat(uint32(W), uint32(H), PF_B8G8R8A8, true);
        Capture->TextureTarget = Target;
        Capture->RegisterComponentWithWorld(World());
        Capture->CaptureScene();
        FPicture Picture;
        ReadBack(Target, Picture);
        FlushRenderingCommands();
        Capture->UnregisterComponent();
        return Picture;
    }
    // The module's read-back: resolve the target and the scene depth into CPU-readback
    // textures and map them, in a render command enqueued after the capture.
    static void ReadBack(UTextureRenderTarget2D* Target, FPicture& Out) {
        ENQUEUE_RENDER_COMMAND(ReadBack)([Target, &Out](FRHICommandListImmediate& RHICmdList) {
            Out.bReadOnRenderThread = IsInRenderingThread() && (!GIsThreadedRendering || !IsInGameThread());
            const FTexture2DRHIRef& Source = Target->GetRenderTargetResource()->GetRenderTargetTexture();
            const FTexture2DRHIRef& SceneDepth = FSceneRenderTargets::Get(RHICmdList).GetSceneDepthTexture();
            FRHIResourceCreateInfo CreateInfo(FClearValueBinding::Transparent);
            CreateInfo.DebugName = TEXT("TestStaging");
            FTexture2DRHIRef ColorStaging =
                RHICmdList.CreateTexture2D(Source->GetSizeX(), Source->GetSizeY(), Source->GetFormat(), 1, 1, TexCreate_CPUReadback, CreateInfo);
            FTexture2DRHIRef DepthStaging = RHICmdList.CreateTexture2D(SceneDepth->GetSizeX(), SceneDepth->GetSizeY(), SceneDepth->GetFormat(), 1,
                                                                       1, TexCreate_CPUReadback, CreateInfo);
            RHICmdList.CopyToResolveTarget(Source, ColorStaging, false, FResolveParams());
            RHICmdList.CopyToResolveTarget(SceneDepth, DepthStaging, false, FResolveParams());
            Out.Width = int32(Source->GetSizeX());
            Out.Height = int32(Source->GetSizeY());
            auto Copy = [&](FTexture2DRHIRef& Staging, std::vector<uint32>& Pixels, int32& Pitch) {
                void* Data = nullptr;
                int32 Height = 0;
                RHICmdList.MapStagingSurface(Staging, Data, Pitch, Height);
                Pixels.resize(size_t(Out.Width) * Out.Height);
                for (int32 Y = 0; Y < Out.Height; ++Y)
                    std::memcpy(&Pixels[size_t(Y) * Out.Width], static_cast<const uint8*>(Data) + size_t(Y) * Pitch * 4, size_t(Out.Width) * 4);
                RHICmdList.UnmapStagingSurface(Staging);
            };
            Copy(ColorStaging, Out.Color, Out.ColorPitch);
            Copy(DepthStaging, Out.Depth, Out.DepthPitch);
        });
    }
    void TearDown() override {
        for (UObject* O : Rooted) {
            if (UActorComponent* C = Cast<UActorComponent>(O)) C->UnregisterComponent();
            O->RemoveFromRoot();
        }
        FlushRenderingCommands();
        EditorTest::TearDown();
    }
    std::vector<UObject*> Rooted;
};

// A scene capture of a 100,000-triangle mesh at 1920 × 1080 with the read-back of its colour
// and depth through staging textures, as the editor module does per Maya frame, on the
// stand-in's OpenGL renderer (llvmpipe without a GPU). Reported as frames per second.
#include "UE4Host/EngineLoop.h"
#include "Components/MeshComponent.h"
#include "Components/SceneCaptureComponent2D.h"
#include "Components/SkyLightComponent.h"
#include "Components/DirectionalLightComponent.h"
#include "Containers/ResourceArray.h"
#include "Editor.h"
#include "Engine/TextureRenderTarget2D.h"
#include "LocalVertexFactory.h"
#include "Materials/Material.h"
#include "PostProcess/SceneRenderTargets.h"
#include "PrimitiveSceneProxy.h"
#include "RenderingThread.h"
#include "TextureResource.h"
#include "KVTReadBackRows.h"
#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {

struct FVertex {
    float Position[3];
    float UV[2];
    uint8 TangentX[4];
    uint8 TangentZ[4];
    uint8 Color[4];
};

class FArray final : public FResourceArrayInterface {
public:
    FArray(const void* InData, uint32 InSize) : Data(InData), Size(InSize) {}
    const void* GetResourceData() const override { return Data; }
    uint32 GetResourceDataSize() const override { return Size; }
    void Discard() override {}
    bool IsStatic() const override { return false; }
    bool GetAllowCPUAccess() const override { return false; }
    void SetAllowCPUAccess(bool) override {}

private:
    const void* Data;
    uint32 Size;
};

struct FGrid {
    struct FVB : FVertexBuffer {
        std::vector<FVertex> Vertices;
        void InitRHI() override {
            FArray A(Vertices.data(), uint32(Vertices.size() * sizeof(FVertex)));
            FRHIResourceCreateInfo Info(&A);
            VertexBufferRHI = RHICreateVertexBuffer(uint32(Vertices.size() * sizeof(FVertex)), BUF_Dynamic, Info);
        }
    } VB;
    struct FIB : FIndexBuffer {
        std::vector<uint32> Indices;
        void InitRHI() override {
            FRHIResourceCreateInfo Info;
            void* Data = nullptr;
            IndexBufferRHI = RHICreateAndLockIndexBuffer(4, uint32(Indices.size() * 4), BUF_Dynamic, Info, Data);
            std::memcpy(Data, Indices.data(), Indices.size() * 4);
            RHIUnlockIndexBuffer(IndexBufferRHI);
        }
    } IB;
    FLocalVertexFactory VF;

    // N × N quads facing the camera at X = 500, filling the view.
    explicit FGrid(int32 N) {
        for (int32 J = 0; J <= N; ++J)
            for (int32 I = 0; I <= N; ++I) {
                FVertex V{};
                V.Position[0] = 500.f + 20.f * float((I * 7 + J * 3) % 5);
                V.Position[1] = -600.f + 1200.f * float(I) / float(N);
                V.Position[2] = -400.f + 800.f * float(J) / float(N);
                V.TangentZ[0] = 1, V.TangentZ[1] = 128, V.TangentZ[2] = 128;
                V.Color[0] = V.Color[1] = V.Color[2] = V.Color[3] = 255;
                VB.Vertices.push_back(V);
            }
        for (int32 J = 0; J < N; ++J)
            for (int32 I = 0; I < N; ++I) {
                const uint32 A = uint32(J * (N + 1) + I), B = A + 1, C = A + uint32(N) + 1, D = C + 1;
                for (uint32 X : {A, B, D, A, D, C}) IB.Indices.push_back(X);
            }
        FGrid* Self = this;
        ENQUEUE_RENDER_COMMAND(InitGrid)([Self](FRHICommandListImmediate&) {
            FLocalVertexFactory::FDataType Data;
            Data.PositionComponent = FVertexStreamComponent(&Self->VB, 0, 32, VET_Float3);
            Data.TangentBasisComponents[0] = FVertexStreamComponent(&Self->VB, 20, 32, VET_PackedNormal);
            Data.TangentBasisComponents[1] = FVertexStreamComponent(&Self->VB, 24, 32, VET_PackedNormal);
            Data.TextureCoordinates.Add(FVertexStreamComponent(&Self->VB, 12, 32, VET_Float2));
            Data.ColorComponent = FVertexStreamComponent(&Self->VB, 28, 32, VET_Color);
            Self->VF.SetData(Data);
            Self->VB.InitResource();
            Self->IB.InitResource();
            Self->VF.InitResource();
        });
    }
    ~FGrid() {
        FGrid* Self = this;
        ENQUEUE_RENDER_COMMAND(ReleaseGrid)([Self](FRHICommandListImmediate&) {
            Self->VB.ReleaseResource();
            Self->IB.ReleaseResource();
            Self->VF.ReleaseResource();
        });
        FlushRenderingCommands();
    }
};

class FGridProxy final : public FPrimitiveSceneProxy {
public:
    FGridProxy(const UPrimitiveComponent* C, FGrid* InGrid) : FPrimitiveSceneProxy(C), Grid(InGrid) {}
    void GetDynamicMeshElements(const TArray<const FSceneView*>& Views, const FSceneViewFamily&, uint32 VisibilityMap,
                                FMeshElementCollector& Collector) const override {
        for (int32 V = 0; V < Views.Num(); ++V) {
            if (!(VisibilityMap & (1u << V))) continue;
            FMeshBatch& Batch = Collector.AllocateMesh();
            Batch.VertexFactory = &Grid->VF;
            Batch.MaterialRenderProxy = UMaterial::GetDefaultMaterial(MD_Surface)->GetRenderProxy(false);
            Batch.Elements[0].IndexBuffer = &Grid->IB;
            Batch.Elements[0].NumPrimitives = uint32(Grid->IB.Indices.size() / 3);
            Batch.Elements[0].MaxVertexIndex = uint32(Grid->VB.Vertices.size()) - 1;
            Batch.Elements[0].PrimitiveUniformBuffer = CreatePrimitiveUniformBufferImmediate(GetLocalToWorld(), GetBounds(), GetLocalBounds(), true, false);
            Collector.AddMesh(V, Batch);
        }
    }
    FPrimitiveViewRelevance GetViewRelevance(const FSceneView* View) const override {
        FPrimitiveViewRelevance R;
        R.bDrawRelevance = IsShown(View);
        R.bDynamicRelevance = true;
        return R;
    }
    uint32 GetMemoryFootprint() const override { return uint32(sizeof(*this)); }

private:
    FGrid* Grid;
};

class UBenchGridComponent : public UMeshComponent {
    UE4HOST_DECLARE_CLASS(UBenchGridComponent, UMeshComponent, CLASS_Native, TEXT("/Script/CaptureBench"), NO_API)
public:
    UBenchGridComponent(const FObjectInitializer& X = FObjectInitializer::Get()) : UMeshComponent(X) {}
    FBoxSphereBounds CalcBounds(const FTransform& LocalToWorld) const override {
        return FBoxSphereBounds(FVector(540.f, 0.f, 0.f), FVector(40.f, 600.f, 400.f), 722.f).TransformBy(LocalToWorld);
    }
    FPrimitiveSceneProxy* CreateSceneProxy() override { return new FGridProxy(this, Grid); }
    FGrid* Grid = nullptr;
};
IMPLEMENT_CLASS(UBenchGridComponent, 0)

void BM_CaptureAndReadBack1080p(benchmark::State& State) {
    UE4Host::FEngineLoop Loop;
    UE4Host::FEngineLoopOptions Options;
    if (Loop.PreInit(Options) != 0 || Loop.Init() != 0) {
        State.SkipWithError("the editor did not start");
        return;
    }
    UWorld* World = GEditor->GetEditorWorldContext(false).World();
    {
        FGrid Grid(224); // 100,352 triangles
        UBenchGridComponent* Mesh = NewObject<UBenchGridComponent>(GetTransientPackage());
        Mesh->AddToRoot();
        Mesh->Grid = &Grid;
        Mesh->RegisterComponentWithWorld(World);
        USkyLightComponent* Sky = NewObject<USkyLightComponent>(GetTransientPackage());
        Sky->AddToRoot();
        Sky->SetIntensity(0.3f);
        Sky->RegisterComponentWithWorld(World);
        UDirectionalLightComponent* Sun = NewObject<UDirectionalLightComponent>(GetTransientPackage());
        Sun->AddToRoot();
        Sun->SetIntensity(1.f);
        Sun->RegisterComponentWithWorld(World);

        USceneCaptureComponent2D* Capture = NewObject<USceneCaptureComponent2D>(GetTransientPackage());
        Capture->AddToRoot();
        Capture->CaptureSource = SCS_FinalColorLDR;
        Capture->bUseCustomProjectionMatrix = true;
        Capture->CustomProjectionMatrix = FMatrix(FPlane(1, 0, 0, 0), FPlane(0, 1920.f / 1080.f, 0, 0), FPlane(0, 0, 0, 1), FPlane(0, 0, 10, 0));
        UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>(Capture);
        Target->InitCustomFormat(1920, 1080, PF_B8G8R8A8, true);
        Capture->TextureTarget = Target;
        Capture->RegisterComponentWithWorld(World);

        std::vector<uint32> Colour(1920 * 1080), Depth(1920 * 1080);
        FTexture2DRHIRef ColorStaging, DepthStaging;
        for (auto _ : State) {
            Capture->CaptureScene();
            ENQUEUE_RENDER_COMMAND(ReadBack)([&](FRHICommandListImmediate& RHICmdList) {
                const FTexture2DRHIRef& Source = Target->GetRenderTargetResource()->GetRenderTargetTexture();
                const FTexture2DRHIRef& SceneDepth = FSceneRenderTargets::Get(RHICmdList).GetSceneDepthTexture();
                FRHIResourceCreateInfo Info(FClearValueBinding::Transparent);
                if (!ColorStaging) ColorStaging = RHICmdList.CreateTexture2D(1920, 1080, Source->GetFormat(), 1, 1, TexCreate_CPUReadback, Info);
                if (!DepthStaging) DepthStaging = RHICmdList.CreateTexture2D(1920, 1080, SceneDepth->GetFormat(), 1, 1, TexCreate_CPUReadback, Info);
                RHICmdList.CopyToResolveTarget(Source, ColorStaging, false, FResolveParams());
                RHICmdList.CopyToResolveTarget(SceneDepth, DepthStaging, false, FResolveParams());
                // The module's own rows: colour with the watermark and depth into Maya's
                // window depth, bottom row first.
                void* Data = nullptr;
                int32 Pitch = 0, Height = 0;
                RHICmdList.MapStagingSurface(ColorStaging, Data, Pitch, Height);
                for (int32 Y = 0; Y < 1080; ++Y)
                    KvtReadBack::ColourRow(static_cast<uint8*>(Data) + size_t(Y) * Pitch * 4, reinterpret_cast<uint8*>(&Colour[size_t(1079 - Y) * 1920]),
                                           1920, KvtReadBack::MaskRow(Y));
                RHICmdList.UnmapStagingSurface(ColorStaging);
                RHICmdList.MapStagingSurface(DepthStaging, Data, Pitch, Height);
                for (int32 Y = 0; Y < 1080; ++Y)
                    KvtReadBack::DepthRow(static_cast<uint8*>(Data) + size_t(Y) * Pitch * 4, reinterpret_cast<uint8*>(&Depth[size_t(1079 - Y) * 1920]),
                                          1920, 1.f / 16777215.f, 0.f);
                RHICmdList.UnmapStagingSurface(DepthStaging);
            });
            FlushRenderingCommands();
            benchmark::DoNotOptimize(Colour.data());
        }
        if (Depth[540 * 1920 + 960] == 0) State.SkipWithError("the grid was not drawn");
        State.counters["fps"] = benchmark::Counter(double(State.iterations()), benchmark::Counter::kIsRate);
        ENQUEUE_RENDER_COMMAND(DropStaging)([&](FRHICommandListImmediate&) {
            ColorStaging.SafeRelease();
            DepthStaging.SafeRelease();
        });
        for (UActorComponent* C : {static_cast<UActorComponent*>(Mesh), static_cast<UActorComponent*>(Sky), static_cast<UActorComponent*>(Sun),
                                   static_cast<UActorComponent*>(Capture)}) {
            C->UnregisterComponent();
            C->RemoveFromRoot();
        }
        FlushRenderingCommands();
    }
    Loop.Exit();
}
BENCHMARK(BM_CaptureAndReadBack1080p)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();

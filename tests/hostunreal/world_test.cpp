// Worlds and components: registration, the scene that the renderer reads, end-of-frame
// updates, materials, lights, and a new level replacing the editor world.
#include "EditorFixture.h"
#include "Components/DirectionalLightComponent.h"
#include "Components/MeshComponent.h"
#include "Components/SceneCaptureComponent2D.h"
#include "Components/SkyLightComponent.h"
#include "Components/SpotLightComponent.h"
#include "Editor.h"
#include "Engine/TextureRenderTarget2D.h"
#include "GameFramework/Actor.h"
#include "Materials/Material.h"
#include "PrimitiveSceneProxy.h"
#include "RenderingThread.h"
#include "UE4Host/Scene.h"
#include <atomic>
#include <chrono>
#include <thread>

// A proxy that draws nothing.
class FEmptySceneProxy final : public FPrimitiveSceneProxy {
public:
    using FPrimitiveSceneProxy::FPrimitiveSceneProxy;
    uint32 GetMemoryFootprint() const override { return uint32(sizeof(*this)) + GetAllocatedSize(); }
};

// A mesh component as modules write them: its own bounds, its own proxy, no physics.
class UTestMeshComponent : public UMeshComponent {
    UE4HOST_DECLARE_CLASS(UTestMeshComponent, UMeshComponent, CLASS_Native, TEXT("/Script/HostUnrealTest"), NO_API)
public:
    UTestMeshComponent(const FObjectInitializer& X = FObjectInitializer::Get()) : UMeshComponent(X) {}
    bool ShouldCreatePhysicsState() const override { return false; }
    FBoxSphereBounds CalcBounds(const FTransform& LocalToWorld) const override {
        FBoxSphereBounds B = FBoxSphereBounds(FVector(1, 2, 2), FVector(1, 2, 2), 3.f).TransformBy(LocalToWorld);
        B.BoxExtent *= BoundsScale;
        B.SphereRadius *= BoundsScale;
        return B;
    }
    int32 GetNumMaterials() const override { return OverrideMaterials.Num(); }
    FPrimitiveSceneProxy* CreateSceneProxy() override {
        ++ProxiesMade;
        return new FEmptySceneProxy(this);
    }
    int32 ProxiesMade = 0;
};
IMPLEMENT_CLASS(UTestMeshComponent, 0)

namespace {

class WorldTest : public EditorTest {
protected:
    void SetUp() override { StartEditor(false); }
    UWorld* EditorWorld() { return GEditor->GetEditorWorldContext(false).World(); }
    FScene* SceneOf(UWorld* World) { return static_cast<FScene*>(World->Scene); }
    int32 PrimitivesInScene(UWorld* World) {
        FlushRenderingCommands();
        return SceneOf(World)->GetPrimitives_RenderThread().Num();
    }
    UTestMeshComponent* NewMesh() {
        auto* Mesh = NewObject<UTestMeshComponent>(GetTransientPackage());
        Mesh->AddToRoot();
        return Mesh;
    }
};

TEST_F(WorldTest, RegisteredComponentsHaveRenderStateInTheWorldsScene) {
    UWorld* World = EditorWorld();
    ASSERT_NE(World, nullptr);
    EXPECT_EQ(World->WorldType, EWorldType::Editor);
    UTestMeshComponent* Mesh = NewMesh();
    EXPECT_FALSE(Mesh->IsRegistered());
    Mesh->RegisterComponentWithWorld(World);
    EXPECT_TRUE(Mesh->IsRegistered());
    EXPECT_EQ(Mesh->GetWorld(), World);
    EXPECT_TRUE(Mesh->IsRenderStateCreated());
    EXPECT_FALSE(Mesh->IsPhysicsStateCreated());
    EXPECT_EQ(PrimitivesInScene(World), 1);
    EXPECT_EQ(Mesh->ProxiesMade, 1);
    Mesh->RegisterComponentWithWorld(World); // again: nothing happens
    EXPECT_EQ(Mesh->ProxiesMade, 1);

    Mesh->UnregisterComponent();
    EXPECT_FALSE(Mesh->IsRegistered());
    EXPECT_EQ(Mesh->GetWorld(), nullptr);
    EXPECT_EQ(PrimitivesInScene(World), 0);
    Mesh->RegisterComponentWithWorld(nullptr);
    EXPECT_FALSE(Mesh->IsRegistered());
}

TEST_F(WorldTest, PrimitivesOtherThanModuleOnesCreatePhysicsState) {
    auto* Capture = NewObject<USceneCaptureComponent2D>(GetTransientPackage());
    Capture->AddToRoot();
    Capture->RegisterComponentWithWorld(EditorWorld());
    EXPECT_FALSE(Capture->IsPhysicsStateCreated()); // not a primitive
    EXPECT_TRUE(Capture->IsRegistered());
}

TEST_F(WorldTest, TransformsAndBoundsReachTheProxyAtEndOfFrame) {
    UWorld* World = EditorWorld();
    UTestMeshComponent* Mesh = NewMesh();
    Mesh->BoundsScale = 2.f;
    Mesh->RegisterComponentWithWorld(World);
    const FTransform T(FQuat::Identity, FVector(100, 0, 0), FVector(1, 1, 1));
    Mesh->SetWorldTransform(T);
    EXPECT_TRUE(Mesh->GetComponentTransform().Equals(T));
    EXPECT_TRUE(Mesh->Bounds.Origin.Equals(FVector(101, 2, 2)));
    EXPECT_TRUE(Mesh->Bounds.BoxExtent.Equals(FVector(2, 4, 4)));
    EXPECT_FLOAT_EQ(Mesh->Bounds.SphereRadius, 6.f);

    FlushRenderingCommands();
    FPrimitiveSceneProxy* Proxy = Mesh->SceneProxy;
    ASSERT_NE(Proxy, nullptr);
    EXPECT_FALSE(Proxy->GetLocalToWorld().Equals(T.ToMatrixWithScale())); // not sent yet
    World->SendAllEndOfFrameUpdates();
    FlushRenderingCommands();
    EXPECT_EQ(Mesh->SceneProxy, Proxy); // a transform does not recreate the proxy
    EXPECT_TRUE(Proxy->GetLocalToWorld().Equals(T.ToMatrixWithScale()));
    EXPECT_TRUE(Proxy->GetBounds().Origin.Equals(FVector(101, 2, 2)));
}

TEST_F(WorldTest, MaterialSlotsGrowAndRecreateRenderStateAtEndOfFrame) {
    UWorld* World = EditorWorld();
    UTestMeshComponent* Mesh = NewMesh();
    Mesh->RegisterComponentWithWorld(World);
    EXPECT_EQ(Mesh->GetNumMaterials(), 0);
    UMaterial* Red = Cast<UMaterial>(FSoftObjectPath(TEXT("/Game/Materials/M_Red")).TryLoad());
    ASSERT_NE(Red, nullptr);
    Mesh->SetMaterial(2, Red);
    EXPECT_EQ(Mesh->GetNumMaterials(), 3);
    EXPECT_EQ(Mesh->GetMaterial(0), nullptr);
    EXPECT_EQ(Mesh->GetMaterial(2), Red);
    EXPECT_EQ(Mesh->GetMaterial(7), nullptr);
    EXPECT_TRUE(Mesh->IsRenderStateDirty());
    World->SendAllEndOfFrameUpdates();
    EXPECT_FALSE(Mesh->IsRenderStateDirty());
    EXPECT_EQ(Mesh->ProxiesMade, 2);
    Mesh->SetMaterial(2, Red); // the same material: no change
    EXPECT_FALSE(Mesh->IsRenderStateDirty());
    Mesh->SetMaterial(-1, Red);
    EXPECT_EQ(Mesh->GetNumMaterials(), 3);
    Mesh->RecreateRenderState_Concurrent();
    EXPECT_EQ(Mesh->ProxiesMade, 3);
    // The component keeps its material alive through collection.
    Red->ClearFlags(RF_Standalone);
    CollectGarbage(GARBAGE_COLLECTION_KEEPFLAGS);
    EXPECT_EQ(FindObject<UMaterial>(nullptr, TEXT("/Game/Materials/M_Red.M_Red")), Red);
}

TEST_F(WorldTest, HiddenPrimitivesStayOutOfTheSceneUntilRecreated) {
    UWorld* World = EditorWorld();
    UTestMeshComponent* Mesh = NewMesh();
    Mesh->bVisible = false;
    Mesh->RegisterComponentWithWorld(World);
    EXPECT_EQ(PrimitivesInScene(World), 0);
    Mesh->bVisible = true; // written directly: nothing happens until the render state is made again
    EXPECT_EQ(PrimitivesInScene(World), 0);
    Mesh->RecreateRenderState_Concurrent();
    EXPECT_EQ(PrimitivesInScene(World), 1);
}

TEST_F(WorldTest, ANewLevelReplacesTheEditorWorldAndTheOldOneIsCollected) {
    UWorld* Old = EditorWorld();
    TWeakObjectPtr<UWorld> WeakOld(Old);
    AActor* Actor = Old->SpawnActor(AActor::StaticClass(), nullptr, nullptr, FActorSpawnParameters());
    ASSERT_NE(Actor, nullptr);
    EXPECT_EQ(Actor->GetWorld(), Old);
    EXPECT_EQ(Old->GetActors().Num(), 1);
    TWeakObjectPtr<AActor> WeakActor(Actor);
    // One component of the actor, one registered without an owner by a "module" that takes
    // it out of the world when the world is cleaned up.
    UTestMeshComponent* Owned = NewObject<UTestMeshComponent>(Actor);
    Owned->RegisterComponentWithWorld(Old);
    UTestMeshComponent* Mesh = NewMesh();
    Mesh->RegisterComponentWithWorld(Old);
    int32 Cleanups = 0;
    const FDelegateHandle Handle = FWorldDelegates::OnWorldCleanup.AddLambda([&](UWorld* Cleaned, bool, bool) {
        ++Cleanups;
        EXPECT_EQ(Cleaned, Old);
        EXPECT_TRUE(Owned->IsRegistered()); // the teardown has not begun yet
        Mesh->UnregisterComponent();
    });

    UWorld* New = GEditor->NewMap();
    FWorldDelegates::OnWorldCleanup.Remove(Handle);
    EXPECT_EQ(Cleanups, 1);
    EXPECT_NE(New, Old);
    EXPECT_EQ(EditorWorld(), New);
    EXPECT_NE(New->GetOutermost()->GetName(), FString(TEXT("/Engine/Transient")));
    EXPECT_FALSE(Mesh->IsRegistered());
    EXPECT_FALSE(WeakOld.IsValid());
    EXPECT_FALSE(WeakActor.IsValid());

    Mesh->RegisterComponentWithWorld(New);
    EXPECT_TRUE(Mesh->IsRegistered());
    EXPECT_EQ(PrimitivesInScene(New), 1);
    EXPECT_EQ(New->GetRegisteredComponents().Num(), 1);
}

// The engine's teardown unregisters the components of the world's actors only; one that
// is still registered when the scene is released stops the editor.
TEST_F(WorldTest, ReleasingASceneWithAComponentStillRegisteredStops) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(
        {
            UTestMeshComponent* Mesh = NewMesh();
            Mesh->RegisterComponentWithWorld(EditorWorld());
            GEditor->NewMap();
        },
        "is still registered to the scene of world");
}

TEST_F(WorldTest, SpawnActorRefusesNonActorsAndDuplicateNames) {
    UWorld* World = EditorWorld();
    EXPECT_EQ(World->SpawnActor(UMaterial::StaticClass(), nullptr, nullptr, FActorSpawnParameters()), nullptr);
    EXPECT_EQ(World->SpawnActor(nullptr, nullptr, nullptr, FActorSpawnParameters()), nullptr);
    FActorSpawnParameters Named;
    Named.Name = FName(TEXT("Placeholder"));
    AActor* First = World->SpawnActor<AActor>(Named);
    ASSERT_NE(First, nullptr);
    EXPECT_EQ(First->GetName(), TEXT("Placeholder"));
    EXPECT_EQ(World->SpawnActor<AActor>(Named), nullptr);
    EXPECT_TRUE(First->bListedInSceneOutliner);
    EXPECT_FALSE(First->bHidden);
    EXPECT_TRUE(First->Destroy());
    EXPECT_TRUE(First->IsPendingKill());
    EXPECT_EQ(World->GetActors().Num(), 0);
}

TEST_F(WorldTest, LightColourAndIntensityReachTheScene) {
    UWorld* World = EditorWorld();
    auto* Spot = NewObject<USpotLightComponent>(GetTransientPackage());
    Spot->AddToRoot();
    Spot->RegisterComponentWithWorld(World);
    Spot->SetLightColor(FLinearColor(1, 0.5f, 0, 1), true);
    EXPECT_EQ(Spot->LightColor, FColor(255, 188, 0, 255));
    Spot->SetIntensity(2.f);
    Spot->SetInnerConeAngle(10.f);
    Spot->SetOuterConeAngle(120.f);
    EXPECT_FLOAT_EQ(Spot->OuterConeAngle, 89.f);
    World->SendAllEndOfFrameUpdates(); // the cone change recreates the light
    FlushRenderingCommands();
    const auto& Lights = SceneOf(World)->GetLights_RenderThread();
    ASSERT_EQ(Lights.Num(), 1);
    EXPECT_EQ(Lights[0].Type, LightType_Spot);
    EXPECT_TRUE(Lights[0].Color.Equals(FLinearColor(FColor(255, 188, 0, 255)) * 2.f));
    EXPECT_FLOAT_EQ(Lights[0].InnerConeAngle, 10.f);
    EXPECT_FLOAT_EQ(Lights[0].OuterConeAngle, 89.f);

    auto* Sun = NewObject<UDirectionalLightComponent>(GetTransientPackage());
    Sun->AddToRoot();
    Sun->RegisterComponentWithWorld(World);
    Sun->SetLightColor(FLinearColor(0.2f, 0.2f, 0.2f, 1), false); // stored without sRGB encoding
    EXPECT_EQ(Sun->LightColor, FColor(51, 51, 51, 255));
    Spot->UnregisterComponent();
    FlushRenderingCommands();
    ASSERT_EQ(SceneOf(World)->GetLights_RenderThread().Num(), 1);
    EXPECT_EQ(SceneOf(World)->GetLights_RenderThread()[0].Type, LightType_Directional);
}

TEST_F(WorldTest, SkyLightUpdatesItsProxyInPlace) {
    UWorld* World = EditorWorld();
    auto* Sky = NewObject<USkyLightComponent>(GetTransientPackage());
    Sky->AddToRoot();
    Sky->RegisterComponentWithWorld(World);
    FlushRenderingCommands();
    FSkyLightSceneProxy* Proxy = SceneOf(World)->GetSkyLight_RenderThread();
    ASSERT_NE(Proxy, nullptr);
    Sky->SetLightColor(FLinearColor(0, 0, 1, 1));
    Sky->SetIntensity(3.f);
    FlushRenderingCommands();
    EXPECT_EQ(SceneOf(World)->GetSkyLight_RenderThread(), Proxy);
    EXPECT_TRUE(Proxy->LightColor.Equals(FLinearColor(0, 0, 3, 3)));
    Sky->UnregisterComponent();
    FlushRenderingCommands();
    EXPECT_EQ(SceneOf(World)->GetSkyLight_RenderThread(), nullptr);
}

TEST_F(WorldTest, CollectionWaitsForRenderCommandsThatReadTheObject) {
    UTestMeshComponent* Mesh = NewMesh();
    Mesh->BoundsScale = 3.f;
    std::atomic<bool> Started{false};
    float Seen = 0.f;
    ENQUEUE_RENDER_COMMAND(ReadLater)([Mesh, &Started, &Seen](FRHICommandListImmediate&) {
        Started = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // still reading when collection starts
        Seen = Mesh->BoundsScale;
    });
    while (!Started) std::this_thread::yield();
    Mesh->RemoveFromRoot();
    CollectGarbage(GARBAGE_COLLECTION_KEEPFLAGS);
    EXPECT_FLOAT_EQ(Seen, 3.f); // the command finished before the memory was freed
}

TEST_F(WorldTest, SceneCaptureAndRenderTarget) {
    auto* Capture = NewObject<USceneCaptureComponent2D>(GetTransientPackage());
    EXPECT_TRUE(Capture->bCaptureEveryFrame);
    EXPECT_FALSE(Capture->bAlwaysPersistRenderingState);
    EXPECT_FALSE(Capture->bUseCustomProjectionMatrix);
    Capture->CaptureSource = SCS_FinalColorLDR;
    EXPECT_EQ(int(Capture->CaptureSource), 2);
    auto* Target = NewObject<UTextureRenderTarget2D>(Capture, MakeUniqueObjectName(Capture, UTextureRenderTarget2D::StaticClass(), FName(TEXT("SceneCaptureTextureTarget"))));
    Capture->TextureTarget = Target;
    Target->InitCustomFormat(1280, 720, PF_B8G8R8A8, true);
    EXPECT_EQ(Target->GetSurfaceWidth(), 1280.f);
    EXPECT_EQ(Target->GetSurfaceHeight(), 720.f);
    EXPECT_EQ(Target->GetFormat(), PF_B8G8R8A8);
    EXPECT_TRUE(Target->bForceLinearGamma);
    // The component keeps its target.
    Capture->AddToRoot();
    TWeakObjectPtr<UTextureRenderTarget2D> Weak(Target);
    CollectGarbage(GARBAGE_COLLECTION_KEEPFLAGS);
    EXPECT_TRUE(Weak.IsValid());
    Capture->TextureTarget = nullptr;
    CollectGarbage(GARBAGE_COLLECTION_KEEPFLAGS);
    EXPECT_FALSE(Weak.IsValid());
}

} // namespace

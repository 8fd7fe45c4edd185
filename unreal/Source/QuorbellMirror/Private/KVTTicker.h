#pragma once
// The link service: creates "KVTRequest" and "KVTResponse", answers every request Maya
// posts there, and keeps the mirror of Maya's scene in the editor world. The module owns
// the one instance (QuorbellMirrorModule.cpp); it goes while the engine is still alive.
#include "CoreMinimal.h"
#include "GameFramework/Actor.h"
#include "Tickable.h"
#include "link/Link.h"
#include "MirrorNodes.h"

#include <atomic>
#include <memory>
#include "link/Optional.h"
#include "KVTTicker.generated.h"

class FMaterialAssignActions;
class USceneCaptureComponent2D;

/** A hidden placeholder actor spawned into each editor world the mirror uses. */
UCLASS()
class AKvtActor : public AActor {
    GENERATED_BODY()
public:
    AKvtActor(const FObjectInitializer& ObjectInitializer);
};

class FRHICommandListImmediate;
class UTextureRenderTarget2D;
struct FKvtCaptureStaging;

// What the read-back writes, as checked on the game thread: the blocks laid out for this
// size, and the depth factors. The render thread gets it by value and never reads the
// request region's header.
struct FKvtReadBackRequest {
    kvt::PictureBlocks Blocks;
    int32 Width;
    int32 Height;
    float DepthScale;
    float DepthBias;
};

class FKVTTicker : public FTickableGameObject {
public:
    FKVTTicker();
    ~FKVTTicker() override;

    void Tick(float DeltaTime) override;
    bool IsTickable() const override { return true; }
    TStatId GetStatId() const override;
    bool IsTickableWhenPaused() const override { return true; }
    bool IsTickableInEditor() const override { return true; }
    UWorld* GetTickableGameObjectWorld() const override { return nullptr; }

    // The module's one service; only while it exists.
    static FKVTTicker& Get();

    UWorld* GetWorld() const { return World; }
    // Sent to Maya with the reply to its next request (the material action's choice).
    void SetPendingMaterialName(const FString& Name) { PendingMaterialName = Name; }

private:
    void AnswerRequest();
    // Hands the reply to a render command that publishes it after everything enqueued
    // before it (mesh uploads read the request region).
    void Acknowledge();
    void ApplyRecord(const kvt::Record& Record, kvt::Optional<uint32> HandleTable);
    void ChangeWorld(UWorld* NewWorld);
    void OnWorldCleanup(UWorld* CleanedWorld, bool bSessionEnded, bool bCleanupResources);
    // The capture's render target at the viewport's size; none for a zero size.
    void EnsureTarget(int32 Width, int32 Height);
    // Points the capture at the camera of the request (its copy) and captures; true when
    // ReadBack was enqueued (it then publishes the reply).
    bool CaptureInto(const kvt::RequestHeader& Request, const FKvtReadBackRequest& ReadBackRequest);
    // Render thread: copies the target's colour and the scene depth into the response.
    void ReadBack(FRHICommandListImmediate& RHICmdList, UTextureRenderTarget2D* Target, const FKvtReadBackRequest& Request);
    void ReleaseStaging();
    void WrapMaterialActions();
    void RestoreMaterialActions();

    kvt::LinkResponder Link;
    FMirrorRegistry Registry;
    std::unique_ptr<FMirrorInstanceNode> CaptureHolder;
    USceneCaptureComponent2D* CaptureComponent = nullptr;
    UWorld* World = nullptr;
    AKvtActor* Actor = nullptr;
    // Set while a render command still owes the acknowledgement: the render thread owns
    // both regions until it clears the flag.
    std::atomic<bool> bCapturePending{false};
    FString PendingMaterialName;
    TArray<TSharedRef<FMaterialAssignActions>> WrappedMaterialActions;
    uint32 HandleCount = 0;
    FDelegateHandle WorldCleanupHandle;
    // The two CPU-readback textures, made on the first read-back (render thread).
    FKvtCaptureStaging* Staging = nullptr;
};

// The link service: made when the module starts, torn down while the engine is still
// alive, and the tick that answers Maya's requests.
#include "KVTTicker.h"
#include "MaterialAssignActions.h"
#include "Utf16String.h"

#include "AssetToolsModule.h"
#include "Components/SceneCaptureComponent2D.h"
#include "Editor.h"
#include "Engine/Engine.h"
#include "Engine/World.h"
#include "Materials/MaterialInterface.h"
#include "Modules/ModuleManager.h"
#include "RenderingThread.h"
#include "UObject/Package.h"

#include <cstring>

namespace {
FKVTTicker* GKvtTicker = nullptr;
} // namespace

FKVTTicker& FKVTTicker::Get() {
    check(GKvtTicker);
    return *GKvtTicker;
}

FKVTTicker::FKVTTicker() : Link(kvt::RegionNames::fromEnvironment()) {
    check(!GKvtTicker);
    GKvtTicker = this;
    CaptureHolder = std::make_unique<FMirrorInstanceNode>(0);
    CaptureComponent = NewObject<USceneCaptureComponent2D>(GetTransientPackage());
    // Captured once per picture request, never again because it moved to Maya's camera.
    CaptureComponent->bCaptureOnMovement = false;
    CaptureHolder->SetComponent(CaptureComponent);
    CaptureComponent->CaptureSource = SCS_FinalColorLDR;
    CaptureComponent->bCaptureEveryFrame = false;
    CaptureComponent->bAlwaysPersistRenderingState = true;
    CaptureComponent->bUseCustomProjectionMatrix = true;

    // Without the regions the service stays inactive and tries again on every tick.
    Link.createRegions(); // refused while another editor answers in them: retried each tick
    WrapMaterialActions();
    WorldCleanupHandle = FWorldDelegates::OnWorldCleanup.AddRaw(this, &FKVTTicker::OnWorldCleanup);
}

FKVTTicker::~FKVTTicker() {
    FWorldDelegates::OnWorldCleanup.Remove(WorldCleanupHandle);
    // A queued acknowledgement writes the regions: let it run first.
    FlushRenderingCommands();
    Link.announceShutdown();
    Registry.DestroyAll();
    CaptureHolder.reset();
    RestoreMaterialActions();
    ReleaseStaging();
    // Node releases run while the module's code is still loaded.
    FlushRenderingCommands();
    Link.shutdown();
    GKvtTicker = nullptr;
}

TStatId FKVTTicker::GetStatId() const { RETURN_QUICK_DECLARE_CYCLE_STAT(FKVTTicker, STATGROUP_Tickables); }

void FKVTTicker::Tick(float DeltaTime) {
    (void)DeltaTime;
    ChangeWorld(GEditor ? GEditor->GetEditorWorldContext(false).World() : nullptr);
    if (GEngine) {
        GEngine->bUseFixedFrameRate = true;
        GEngine->FixedFrameRate = 60.f;
    }
    if (bCapturePending.load(std::memory_order_acquire)) return;
    if (!Link.isOpen() && !Link.createRegions()) return;
    if (Link.pollRequest()) AnswerRequest();
}

void FKVTTicker::AnswerRequest() {
    if (Link.requestHeader()->newSession) Registry.DestroyAll();
    if (!Link.beginResponse()) {
        // A view size that cannot be mapped: the bare header goes back and Maya refuses it.
        Acknowledge();
        return;
    }
    // The other process may rewrite its region at any time: the header is copied out once,
    // and only the copy (and what the reader copied and checked) is acted on.
    kvt::RequestHeader Request;
    std::memcpy(&Request, Link.requestHeader(), sizeof Request);
    kvt::SharedRegion& Response = Link.response();

    // The whole chain is checked before anything is applied. A request refused goes back as
    // the bare header, which Maya refuses in turn: it claims the link again and sends the
    // whole scene, so the refused frame's changes are not lost.
    const kvt::RequestRecords Records = kvt::readRecords(Link.request().bytes());
    if (!Records.ok()) {
        Acknowledge();
        return;
    }

    HandleCount = 0;
    // The count the reader checked against the new records, not the header read again.
    const uint32 NewCount = Records.newCount;
    kvt::Optional<uint32> HandleTable = kvt::writeHandleTable(Response, NewCount);
    if (HandleTable) std::memset(Response.view + *HandleTable, 0, size_t(NewCount) * sizeof(kvt::HandleEntry));

    if (!PendingMaterialName.IsEmpty()) {
        const std::u16string Name = FStringToUtf16(PendingMaterialName);
        kvt::writeMaterialName(Response, Name.data(), Name.size());
        PendingMaterialName.Empty();
    }

    for (const kvt::Record& Record : Records.records) ApplyRecord(Record, HandleTable);

    if (Request.pictureWanted) {
        const int32 Width = Request.viewportWidth, Height = Request.viewportHeight;
        if (auto Blocks = kvt::writePictureBlocks(Response, Width, Height)) {
            EnsureTarget(Width, Height);
            const FKvtReadBackRequest ReadBackRequest{*Blocks, Width, Height, Request.depthScale, Request.depthBias};
            if (CaptureInto(Request, ReadBackRequest)) return; // the read-back clears what it cannot fill
            // No capture (no world or scene yet): the picture goes back black.
            const size_t Bytes = *kvt::pictureBlockBytes(Width, Height);
            std::memset(Response.view + Blocks->colour, 0, Bytes);
            std::memset(Response.view + Blocks->depth, 0, Bytes);
        }
    }
    Acknowledge();
}

void FKVTTicker::Acknowledge() {
    bCapturePending.store(true, std::memory_order_release);
    FKVTTicker* Service = this;
    ENQUEUE_RENDER_COMMAND(AcknowledgeCommand)([Service](FRHICommandListImmediate&) {
        Service->Link.publishResponse();
        Service->bCapturePending.store(false, std::memory_order_release);
    });
}

void FKVTTicker::ApplyRecord(const kvt::Record& Record, kvt::Optional<uint32> HandleTable) {
    FMirrorNode* Node = nullptr;
    if (Record.isNew()) {
        Node = NewMirrorNode(Record.kind, Record.identity);
        if (!Node) return; // kinds 6 and 7 have no node (only deleted records carry them)
        Registry.Add(*Node);
        if (!Record.deleted()) {
            if (HandleTable)
                kvt::setHandleEntry(Link.response(), *HandleTable, HandleCount, Record.identity, reinterpret_cast<uint64>(Node));
            ++HandleCount;
        }
    } else {
        Node = Registry.FromHandle(Record.identity);
        if (!Node) return; // a handle that names no live node is never followed
    }
    if (Record.deleted()) {
        Node->Destroy();
        return;
    }
    if (Node->Kind != Record.kind) return; // a handle of another kind of object
    if (Record.visibilityValid()) Node->bVisible = Record.visible() ? 1 : 0;
    Node->Update(Record);
}

void FKVTTicker::ChangeWorld(UWorld* NewWorld) {
    if (NewWorld == World) return;
    World = NewWorld;
    Actor = nullptr;
    if (World) {
        // Transient: never saved into the user's level.
        FActorSpawnParameters Parameters;
        Parameters.ObjectFlags = Parameters.ObjectFlags | RF_Transient;
        Actor = Cast<AKvtActor>(World->SpawnActor(AKvtActor::StaticClass(), nullptr, nullptr, Parameters));
    }
    Registry.ForEach([this](FMirrorNode& Node) { Node.OnWorldChanged(World); });
    CaptureHolder->OnWorldChanged(World);
}

void FKVTTicker::OnWorldCleanup(UWorld* CleanedWorld, bool bSessionEnded, bool bCleanupResources) {
    (void)bSessionEnded;
    (void)bCleanupResources;
    // The engine's teardown unregisters only its actors' components: ours, registered to the
    // world directly, leave it here, before its scene is released. The next tick registers
    // them with the editor world that follows.
    if (CleanedWorld != World) return;
    ChangeWorld(nullptr);
}

void FKVTTicker::WrapMaterialActions() {
    if (!FModuleManager::Get().IsModuleLoaded(TEXT("AssetTools"))) return;
    IAssetTools& Tools = FModuleManager::GetModuleChecked<FAssetToolsModule>(TEXT("AssetTools")).Get();
    TArray<TWeakPtr<IAssetTypeActions>> List;
    Tools.GetAssetTypeActionsList(List);
    for (const TWeakPtr<IAssetTypeActions>& Weak : List) {
        TSharedPtr<IAssetTypeActions> Actions = Weak.Pin();
        if (!Actions.IsValid() || !Actions->GetSupportedClass()->IsChildOf(UMaterialInterface::StaticClass())) continue;
        TSharedRef<FMaterialAssignActions> Wrapper = MakeShareable(new FMaterialAssignActions(Actions.ToSharedRef()));
        WrappedMaterialActions.Add(Wrapper);
        Tools.UnregisterAssetTypeActions(Actions.ToSharedRef());
        Tools.RegisterAssetTypeActions(Wrapper);
    }
}

void FKVTTicker::RestoreMaterialActions() {
    if (FModuleManager::Get().IsModuleLoaded(TEXT("AssetTools"))) {
        IAssetTools& Tools = FModuleManager::GetModuleChecked<FAssetToolsModule>(TEXT("AssetTools")).Get();
        for (const TSharedRef<FMaterialAssignActions>& Wrapper : WrappedMaterialActions) {
            Tools.UnregisterAssetTypeActions(Wrapper);
            Tools.RegisterAssetTypeActions(Wrapper->Wrapped.ToSharedRef());
        }
    }
    WrappedMaterialActions.Empty();
}

AKvtActor::AKvtActor(const FObjectInitializer& ObjectInitializer) : AActor(ObjectInitializer) {
    // Nothing reads the actor: it stays out of sight and out of the outliner.
    bHidden = true;
    bHiddenEd = true;
    bLockLocation = true;
    bListedInSceneOutliner = false;
}

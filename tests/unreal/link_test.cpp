// The service's side of the handshake: the headers it lays, the turn it waits for, the
// reply it builds, the faults it survives and the regions it gives back at unload.
#include "ReceiverFixture.h"
#include "KVTMeshComponent.h"
#include "AssetToolsModule.h"
#include "AssetTypeActions_Base.h"
#include "Materials/Material.h"
#include "UE4Host/Menus.h"

#include <array>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

using namespace receivertest;

namespace {

class LinkServiceTest : public ReceiverTest {
protected:
    kvt::ResponseHeader Response() { return *Maya->responseHeader(); }
    IAssetTools& Tools() { return FModuleManager::LoadModuleChecked<FAssetToolsModule>(TEXT("AssetTools")).Get(); }
    // Runs the menu entry with this label for a selection; false when it is not there.
    bool RunEntry(const TArray<UObject*>& Selection, const TCHAR* Label = TEXT("Assign To Maya Object")) {
        FMenuBuilder Menu(true, nullptr);
        Tools().GetAssetActions(Selection, Menu);
        for (const auto& Entry : UE4Host::FMenuContents::Entries(Menu))
            if (Entry.Label.ToString() == Label) return Entry.Action.Execute();
        return false;
    }
    TArray<FString> MenuOf(const TArray<UObject*>& Selection) {
        FMenuBuilder Menu(true, nullptr);
        Tools().GetAssetActions(Selection, Menu);
        TArray<FString> Labels;
        for (const auto& Entry : UE4Host::FMenuContents::Entries(Menu)) Labels.Add(Entry.Label.ToString());
        return Labels;
    }
};

TEST_F(LinkServiceTest, FreshHeadersLetMayaPostItsFirstRequest) {
    kvt::SharedRegion Request, Response;
    ASSERT_TRUE(Request.open(Names.request.c_str(), 0, kvt::kInitialView));
    ASSERT_TRUE(Response.open(Names.response.c_str(), 0, kvt::kInitialView));
    const auto* Req = reinterpret_cast<const kvt::RequestHeader*>(Request.view);
    const auto* Rsp = reinterpret_cast<const kvt::ResponseHeader*>(Response.view);
    EXPECT_EQ(kvt::loadCounter(Req), 1u);
    EXPECT_EQ(Req->ownerPid, 0u);
    EXPECT_EQ(Req->pictureWanted, 0);
    EXPECT_EQ(Req->newSession, 0);
    EXPECT_EQ(Req->firstRecord, 0);
    EXPECT_EQ(kvt::loadCounter(Rsp), 1u);
    EXPECT_EQ(Rsp->responderPid, uint32(getpid()));
    EXPECT_EQ(Rsp->handleTable, 0);
    EXPECT_EQ(Rsp->assignMaterial, 0);
    EXPECT_EQ(Rsp->colour, 0);
    EXPECT_EQ(Rsp->depth, 0);
}

TEST_F(LinkServiceTest, ATickWithEqualCountersChangesNothing) {
    ASSERT_EQ(Maya->connect(), kvt::LinkRequester::ConnectResult::Connected);
    kvt::RequestHeader* Req = Maya->beginRequest();
    Req->newSession = 1;
    Req->pictureWanted = 1;
    Req->viewportWidth = 8;
    Req->viewportHeight = 8;
    std::array<uint8, 64> Before;
    std::memcpy(Before.data(), Maya->response().view, Before.size());
    for (int I = 0; I < 3; ++I) Loop.Tick();
    FlushRenderingCommands();
    EXPECT_EQ(std::memcmp(Before.data(), Maya->response().view, Before.size()), 0);
    EXPECT_EQ(kvt::loadCounter(Maya->requestHeader()), 1u);
    EXPECT_TRUE(GEngine->bUseFixedFrameRate);
    EXPECT_FLOAT_EQ(GEngine->FixedFrameRate, 60.f);
}

TEST_F(LinkServiceTest, ARequestWithoutPictureIsAcknowledgedWithoutBlocks) {
    Begin();
    // Maya owns the response while it writes: mark what lies behind the header.
    std::memset(Maya->response().view + sizeof(kvt::ResponseHeader), 0xCD, 64);
    auto Reply = Finish();
    ASSERT_TRUE(Reply.hasValue());
    EXPECT_EQ(Response().frameCounter, 2u);
    EXPECT_EQ(Response().colour, 0);
    EXPECT_EQ(Response().depth, 0);
    EXPECT_EQ(Response().assignMaterial, 0);
    // No handle entries, and nothing written where a first entry would have been.
    EXPECT_EQ(Reply->handleCount, 0u);
    EXPECT_EQ(Reply->handleTable, Maya->response().view + sizeof(kvt::ResponseHeader));
    for (size_t I = 0; I < 64; ++I)
        ASSERT_EQ(Maya->response().view[sizeof(kvt::ResponseHeader) + I], 0xCD) << I;
    EXPECT_EQ(Response().viewSize, Maya->response().mappedSize);
}

TEST_F(LinkServiceTest, APictureOfAnEmptySceneIsBlackAndGrowsTheViewAndAZeroSizeGetsNoPicture) {
    // 2560 × 1440 needs two 14.7 MB blocks: the 16 MiB view grows to 32 MiB in this reply.
    Begin(true, 2560, 1440);
    auto Reply = Finish();
    ASSERT_TRUE(Reply.hasValue());
    EXPECT_EQ(Response().viewSize, 33554432u);
    ASSERT_NE(Reply->colour, nullptr);
    ASSERT_NE(Reply->depth, nullptr);
    EXPECT_EQ(Reply->width, 2560);
    const size_t Bytes = size_t(2560) * 1440 * 4;
    EXPECT_EQ(Reply->colour[0], 0);
    EXPECT_EQ(Reply->colour[Bytes - 1], 0);
    EXPECT_EQ(Reply->depth[Bytes - 1], 0);
    // A zero-sized viewport, or one of zero width, gets zero-length blocks and no capture.
    for (const auto& Size : {std::make_pair(0, 0), std::make_pair(0, 480), std::make_pair(640, 0)}) {
        Begin(true, Size.first, Size.second);
        auto Empty = Finish();
        ASSERT_TRUE(Empty.hasValue());
        EXPECT_NE(Response().colour, 0);
        EXPECT_EQ(size_t(Empty->width) * size_t(Empty->height), 0u) << Size.first << " x " << Size.second;
    }
}

TEST_F(LinkServiceTest, APictureTooLargeForTheRegionOrOfNegativeSizeIsAnsweredWithoutOne) {
    // 30000 x 30000 needs two 3.6 GB blocks, past the 2 GiB region; a negative size none.
    for (const auto& Size : {std::make_pair(30000, 30000), std::make_pair(-4, 64), std::make_pair(64, -4)}) {
        Begin(true, Size.first, Size.second);
        Request.reset();
        Maya->publishRequest();
        Loop.Tick();
        FlushRenderingCommands();
        // Answered, with no picture blocks and the view no larger than the region allows.
        EXPECT_EQ(kvt::loadCounter(Maya->responseHeader()), kvt::loadCounter(Maya->requestHeader())) << Size.first;
        EXPECT_EQ(Response().colour, 0) << Size.first;
        EXPECT_EQ(Response().depth, 0) << Size.first;
        EXPECT_LE(uint64(Response().viewSize), uint64(1) << 31);
        // Maya's reader refuses a reply without the picture it asked for; the next claim and
        // a picture of a sensible size work as before.
        Maya->awaitResponse();
        EXPECT_FALSE(Maya->readReply().hasValue());
        Begin(true, 32, 16);
        auto Reply = Finish();
        ASSERT_TRUE(Reply.hasValue());
        EXPECT_NE(Reply->colour, nullptr);
        EXPECT_EQ(Reply->width, 32);
    }
}

TEST_F(LinkServiceTest, TheMaterialActionSendsThePackageNameOnceForASingleSelectionLastChoiceWins) {
    UObject* Red = FSoftObjectPath(TEXT("/Game/Materials/M_Red")).TryLoad();
    UObject* Grey = FSoftObjectPath(TEXT("/Game/Materials/M_Grey")).TryLoad();
    ASSERT_TRUE(Red && Grey);
    EXPECT_EQ(MenuOf({Red}).Last(), TEXT("Assign To Maya Object"));

    EXPECT_TRUE(RunEntry({Red, Grey})); // shown, does nothing
    auto None = EmptyFrame();
    ASSERT_TRUE(None.hasValue());
    EXPECT_FALSE(None->hasMaterial);

    EXPECT_TRUE(RunEntry({Grey}));
    EXPECT_TRUE(RunEntry({Red}));
    auto Sent = EmptyFrame();
    ASSERT_TRUE(Sent.hasValue());
    ASSERT_TRUE(Sent->hasMaterial);
    EXPECT_EQ(Sent->materialName, u"/Game/Materials/M_Red");
    auto Later = EmptyFrame();
    ASSERT_TRUE(Later.hasValue());
    EXPECT_FALSE(Later->hasMaterial);
}

TEST_F(LinkServiceTest, ActivatingAWrappedMaterialStillOpensItsEditor) {
    UObject* Red = FSoftObjectPath(TEXT("/Game/Materials/M_Red")).TryLoad();
    ASSERT_NE(Red, nullptr);
    TSharedPtr<IAssetTypeActions> Actions = Tools().GetAssetTypeActionsForClass(Red->GetClass()).Pin();
    ASSERT_TRUE(Actions.IsValid());
    ASSERT_EQ(MenuOf({Red}).Last(), TEXT("Assign To Maya Object")); // the module's wrapper
    testing::internal::CaptureStdout();
    Actions->AssetsActivated({Red}, EAssetTypeActivationMethod::Previewed); // previews open nothing
    Actions->AssetsActivated({Red}, EAssetTypeActivationMethod::DoubleClicked);
    const std::string Log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Log, "LogAssetTools: Opening an editor for /Game/Materials/M_Red.M_Red\n");
}

// Actions of a material class that merge and diff on their own, noting what reaches them.
class FMergingMaterialActions : public FAssetTypeActions_Base {
public:
    FText GetName() const override { return FText::FromString(TEXT("Merging Material")); }
    UClass* GetSupportedClass() const override { return UMaterial::StaticClass(); }
    FColor GetTypeColor() const override { return FColor(10, 20, 30); }
    uint32 GetCategories() override { return EAssetTypeCategories::MaterialsAndTextures; }
    bool CanMerge() const override { return true; }
    void Merge(UObject* InObject) override { Calls.push_back("merge " + Name(InObject)); }
    void Merge(UObject* BaseAsset, UObject*, UObject*, const FOnMergeResolved&) override {
        Calls.push_back("merge3 " + Name(BaseAsset));
    }
    void PerformAssetDiff(UObject* OldAsset, UObject*, const FRevisionInfo& OldRevision, const FRevisionInfo&) const override {
        Calls.push_back("diff " + Name(OldAsset) + " " + std::to_string(OldRevision.Changelist));
    }
    static std::string Name(UObject* Object) { return Object ? TCHAR_TO_UTF8(*Object->GetName()) : "none"; }
    mutable std::vector<std::string> Calls;
};

// Puts FMergingMaterialActions in place of the material actions while the module is
// unloaded, and the material actions back when the test ends (the module unloaded again).
struct FMaterialActionsSwap {
    IAssetTools& Tools;
    TSharedRef<IAssetTypeActions> Original;
    TSharedRef<FMergingMaterialActions> Merging = MakeShareable(new FMergingMaterialActions);
    explicit FMaterialActionsSwap(IAssetTools& InTools)
        : Tools(InTools), Original(InTools.GetAssetTypeActionsForClass(UMaterial::StaticClass()).Pin().ToSharedRef()) {
        Tools.UnregisterAssetTypeActions(Original);
        Tools.RegisterAssetTypeActions(Merging);
    }
    ~FMaterialActionsSwap() {
        FModuleManager::Get().UnloadModule(ModuleName);
        Tools.UnregisterAssetTypeActions(Merging);
        Tools.RegisterAssetTypeActions(Original);
    }
};

// The module's wrapper forwards merge and diff to the actions it wraps: a material's own
// merge and diff stay as they were.
TEST_F(LinkServiceTest, TheWrappedMaterialActionsStillMergeAndDiff) {
    UObject* Red = FSoftObjectPath(TEXT("/Game/Materials/M_Red")).TryLoad();
    ASSERT_NE(Red, nullptr);
    ASSERT_TRUE(FModuleManager::Get().UnloadModule(ModuleName));
    FMaterialActionsSwap Swap(Tools());
    ASSERT_NE(FModuleManager::Get().LoadModule(ModuleName), nullptr);
    TSharedPtr<IAssetTypeActions> Actions = Tools().GetAssetTypeActionsForClass(UMaterial::StaticClass()).Pin();
    ASSERT_TRUE(Actions.IsValid());
    ASSERT_NE(Actions.Get(), static_cast<IAssetTypeActions*>(&Swap.Merging.Get())) << "not wrapped";

    EXPECT_TRUE(Actions->CanMerge());
    Actions->Merge(Red);
    Actions->Merge(Red, nullptr, nullptr, FOnMergeResolved());
    FRevisionInfo Old;
    Old.Changelist = 7;
    Actions->PerformAssetDiff(Red, Red, Old, FRevisionInfo());
    EXPECT_EQ(Swap.Merging->Calls, (std::vector<std::string>{"merge M_Red", "merge3 M_Red", "diff M_Red 7"}));
}

TEST_F(LinkServiceTest, TheMaterialActionSendsANonAsciiPackageNameAsUtf16) {
    UPackage* Package = CreatePackage(nullptr, TEXT("/Game/材质/M_红"));
    UObject* Red = NewObject<UMaterial>(Package, FName(TEXT("M_红")), RF_Public | RF_Standalone);
    EXPECT_TRUE(RunEntry({Red}));
    auto Sent = EmptyFrame();
    ASSERT_TRUE(Sent.hasValue());
    ASSERT_TRUE(Sent->hasMaterial);
    EXPECT_EQ(Sent->materialName, u"/Game/材质/M_红");
}

TEST_F(LinkServiceTest, UnloadingRestoresTheMenusAndTellsMayaTheEditorIsGone) {
    UObject* Red = FSoftObjectPath(TEXT("/Game/Materials/M_Red")).TryLoad();
    ASSERT_NE(Red, nullptr);
    ASSERT_TRUE(EmptyFrame().hasValue());
    ASSERT_TRUE(FModuleManager::Get().UnloadModule(ModuleName));
    EXPECT_EQ(MenuOf({Red}), (TArray<FString>{TEXT("Create Material Instance")}));
    EXPECT_EQ(Response().frameCounter, 0u);
    EXPECT_EQ(Response().responderPid, 0u);
}

TEST_F(LinkServiceTest, BadRecordsLeaveTheEditorRunningAndTheSceneIntact) {
    FRequest& R = Begin();
    R.Mesh(0x10, true, kMin, kMax);
    R.Instance(0x20, true, 0x10, true, {});
    auto First = Finish();
    ASSERT_TRUE(First && First->handleCount == 2);
    ASSERT_EQ(MeshComponents().size(), 1u);

    // Handles that name no node: made up, and an address just beside a real node.
    FRequest& Unknown = Begin();
    Unknown.Visibility(0xDEAD'BEE0, false);
    Unknown.Visibility(First->handle(1).remoteHandle + 8, false);
    Unknown.Deleted(0x1234'5678);
    // A handle of a mesh node in a transform record is not applied to it.
    Unknown.Instance(First->handle(0).remoteHandle, false, 0, false, FMatrix4::ScaleTranslate(1, 1, 1, 7, 7, 7));
    // New records of kinds 6 and 7 (created and deleted at once) have no node and no entry.
    Unknown.Deleted(0x60, true, 6);
    Unknown.Deleted(0x70, true, 7);
    auto Second = Finish();
    ASSERT_TRUE(Second.hasValue());
    EXPECT_EQ(Second->handleCount, 0u);
    ASSERT_EQ(MeshComponents().size(), 1u);
    EXPECT_TRUE(MeshComponents()[0]->bVisible);

    // A malformed request (an index past the vertices) is answered with the bare header and
    // not applied, not even its sound records before the bad one; Maya refuses that reply
    // and claims the link again, so that the whole scene comes in a new session.
    FRequest& Bad = Begin();
    Bad.Visibility(First->handle(1).remoteHandle, false);
    const uint32 Mesh = Bad.Mesh(0x30, true, kMin, kMax);
    const int32 IndicesLink = Bad.Writer.as<kvt::MeshRecord>(Mesh)->indices;
    uint8* Indices = Bad.Writer.at(Mesh + offsetof(kvt::MeshRecord, indices)) + IndicesLink;
    const uint32 Wrong = 9;
    std::memcpy(Indices, &Wrong, sizeof Wrong);
    const uint64 Answered = kvt::loadCounter(Maya->requestHeader()) + 1; // once published
    auto Third = Finish();
    EXPECT_FALSE(Third.hasValue());
    EXPECT_FALSE(Maya->isConnected());
    EXPECT_EQ(MeshComponents().size(), 1u);
    EXPECT_TRUE(MeshComponents()[0]->bVisible);
    {
        // What the editor sent back: the counter, and no block at all.
        kvt::SharedRegion Peek;
        ASSERT_TRUE(Peek.open(Names.response.c_str(), 0, sizeof(kvt::ResponseHeader)));
        const auto* Bare = reinterpret_cast<const kvt::ResponseHeader*>(Peek.view);
        EXPECT_EQ(kvt::loadCounter(Bare), Answered);
        EXPECT_EQ(Bare->handleTable, 0);
        EXPECT_EQ(Bare->colour, 0);
    }

    // The link goes on with a new session.
    FRequest& After = Begin();
    EXPECT_TRUE(Maya->claimedThisFrame());
    EXPECT_EQ(Maya->requestHeader()->newSession, 1);
    After.Mesh(0x10, true, kMin, kMax);
    After.Instance(0x20, true, 0x10, true, {});
    auto Fourth = Finish();
    ASSERT_TRUE(Fourth.hasValue());
    EXPECT_EQ(Fourth->handleCount, 2u);
    EXPECT_EQ(MeshComponents().size(), 1u);
}

// Another editor answering in the regions keeps them; once it is gone they are taken over.
TEST(LinkServiceRegions, ASecondEditorWaitsForTheFirstToGoAndThenTakesTheRegionsOver) {
    const kvt::RegionNames Names = UseUniqueRegionNames();
    testsupport::RegionCleanup Regions{{Names.request, Names.response}};
    testsupport::ChildProcess Other;
    ASSERT_TRUE(Other.start("/bin/sleep", {"60"}));
    kvt::LinkResponder First(Names);
    ASSERT_TRUE(First.createRegions());
    First.responseHeader()->responderPid = Other.pid(); // answered by a live process

    EditorTestAccess Editor;
    Editor.Start();
    FModuleManager::Get().AddBinariesDirectory(*FString(QUORBELL_MODULE_DIR), false);
    ASSERT_NE(FModuleManager::Get().LoadModule(ModuleName), nullptr);
    for (int I = 0; I < 3; ++I) Editor.Loop.Tick();
    EXPECT_EQ(First.responseHeader()->responderPid, Other.pid());

    Other.kill();
    Other.wait();
    Editor.Loop.Tick();
    EXPECT_EQ(First.responseHeader()->responderPid, uint32(getpid()));
    EXPECT_EQ(kvt::loadCounter(First.responseHeader()), 1u);

    kvt::LinkRequester Maya(nullptr, Names);
    EXPECT_EQ(Maya.connect(), kvt::LinkRequester::ConnectResult::Connected);
    Editor.Stop();
    unsetenv("KVT_REGION_SUFFIX");
}

// Holds a region's name with a directory of that name where the names live: no region can
// be created under it until the directory goes (at Release or at the end of the scope).
class FNameHeldByADirectory {
public:
    explicit FNameHeldByADirectory(const std::string& Name) : Path("/dev/shm/" + Name) { bHeld = mkdir(Path.c_str(), 0700) == 0; }
    ~FNameHeldByADirectory() { Release(); }
    void Release() {
        if (bHeld) rmdir(Path.c_str());
        bHeld = false;
    }
    bool IsHeld() const { return bHeld; }

private:
    std::string Path;
    bool bHeld = false;
};

// Regions that cannot be created leave the service inactive, the editor running, and the
// service trying again on every tick until it can.
TEST(LinkServiceRegions, RegionsThatCannotBeCreatedLeaveTheServiceInactiveAndAreTriedAgain) {
    const kvt::RegionNames Names = UseUniqueRegionNames();
    testsupport::RegionCleanup Regions{{Names.request, Names.response}};
    FNameHeldByADirectory Held(Names.request);
    ASSERT_TRUE(Held.IsHeld());
    EditorTestAccess Editor;
    Editor.Start();
    FModuleManager::Get().AddBinariesDirectory(*FString(QUORBELL_MODULE_DIR), false);
    ASSERT_NE(FModuleManager::Get().LoadModule(ModuleName), nullptr);
    kvt::LinkRequester Maya(nullptr, Names);
    for (int I = 0; I < 3; ++I) {
        Editor.Loop.Tick();
        EXPECT_EQ(Maya.connect(), kvt::LinkRequester::ConnectResult::Down) << "tick " << I;
        kvt::SharedRegion Response;
        EXPECT_FALSE(Response.open(Names.response.c_str(), 0, sizeof(kvt::ResponseHeader))) << "tick " << I;
    }
    Held.Release();
    Editor.Loop.Tick();
    ASSERT_EQ(Maya.connect(), kvt::LinkRequester::ConnectResult::Connected) << "not tried again";
    EXPECT_EQ(Maya.responseHeader()->responderPid, uint32(getpid()));
    Maya.disconnect();
    EXPECT_TRUE(FModuleManager::Get().UnloadModule(ModuleName));
    Editor.Stop();
    unsetenv("KVT_REGION_SUFFIX");
}

} // namespace

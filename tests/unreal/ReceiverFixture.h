#pragma once
// The editor with the mirror module loaded, and a requester that plays Maya on region
// names unique to the test.
#include "EditorFixture.h"
#include "ChildProcess.h"
#include "RegionCleanup.h"
#include "Components/SceneComponent.h"
#include "Engine/World.h"
#include "Editor.h"
#include "Modules/ModuleManager.h"
#include "RenderingThread.h"
#include "link/Link.h"
#include "link/RecordWriter.h"
#include "KVTMeshComponent.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include "link/Optional.h"
#include <optional>
#include <vector>

class UKvtMeshComponent;

namespace receivertest {

inline const FName ModuleName(TEXT("QuorbellMirror"));

// Region names for one test, handed to the module through its environment variable.
inline kvt::RegionNames UseUniqueRegionNames() {
    const std::string Suffix = testsupport::uniqueName("-mirror");
    setenv("KVT_REGION_SUFFIX", Suffix.c_str(), 1);
    return kvt::RegionNames::suffixed(Suffix);
}

struct FMatrix4 {
    float M[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    static FMatrix4 ScaleTranslate(float Sx, float Sy, float Sz, float Tx, float Ty, float Tz) {
        FMatrix4 R;
        R.M[0] = Sx; R.M[5] = Sy; R.M[10] = Sz;
        R.M[12] = Tx; R.M[13] = Ty; R.M[14] = Tz;
        return R;
    }
};

// One request under construction: records appended in order through the link's writer.
class FRequest {
public:
    explicit FRequest(kvt::SharedRegion& Region) : Writer(Region) {}

    uint32 Mesh(uint64 Identity, bool bNew, const float Min[3], const float Max[3]) {
        const uint32 At = *Writer.appendShape(kvt::RecordKind::Mesh, false, Identity, bNew);
        Flags(At, bNew, true, kvt::none);
        auto* Body = Writer.as<kvt::MeshRecord>(At);
        Body->sectionCount = 1;
        Body->vertexCount = 3;
        Body->indexCount = 3;
        std::memcpy(Body->boundsMin, Min, 12);
        std::memcpy(Body->boundsMax, Max, 12);
        const uint32 Vertices = *Writer.appendArray(At + offsetof(kvt::MeshRecord, vertices), 3 * sizeof(kvt::FKvtMeshVertex));
        std::memset(Writer.at(Vertices), 0, 3 * sizeof(kvt::FKvtMeshVertex));
        const uint32 Indices = *Writer.appendArray(At + offsetof(kvt::MeshRecord, indices), 3 * sizeof(uint32));
        const uint32 Index[3] = {0, 1, 2};
        std::memcpy(Writer.at(Indices), Index, sizeof Index);
        const uint32 Sections = *Writer.appendArray(At + offsetof(kvt::MeshRecord, sections), sizeof(kvt::FKvtMeshSection));
        const kvt::FKvtMeshSection Section{0, 1};
        std::memcpy(Writer.at(Sections), &Section, sizeof Section);
        return At;
    }

    uint32 Instance(uint64 Identity, bool bNew, uint64 ShapeRef, bool bShapeIsAddress, const FMatrix4& Matrix,
                    kvt::Optional<bool> Visible = kvt::none,
                    const std::vector<kvt::Optional<std::u16string>>* Materials = nullptr) {
        const uint32 At = *Writer.appendTransform(Materials ? kvt::TransformForm::LongWithMaterials : kvt::TransformForm::Long,
                                                  Identity, bNew);
        Flags(At, bNew, true, Visible);
        auto* Body = Writer.as<kvt::TransformRecord>(At);
        Body->shapeRefIsAddress = bShapeIsAddress ? 1 : 0;
        Body->shapeRef = bNew ? ShapeRef : 0;
        std::memcpy(Body->worldMatrix, Matrix.M, sizeof Matrix.M);
        Body->hasMaterials = Materials ? 1 : 0;
        if (Materials) Writer.appendMaterialNames(At, *Materials);
        return At;
    }

    // A 16-byte transform record: visibility only.
    uint32 Visibility(uint64 Handle, bool Visible) {
        const uint32 At = *Writer.appendTransform(kvt::TransformForm::Short, Handle, false);
        Flags(At, false, false, Visible);
        return At;
    }

    // A 16-byte shape record: its kind and visibility, no data.
    uint32 ShortShape(kvt::RecordKind Kind, uint64 Handle, bool Visible) {
        const uint32 At = *Writer.appendTransform(kvt::TransformForm::Short, Handle, false);
        Flags(At, false, false, Visible);
        Writer.setFlags(At, kvt::RecordFlags::kind, uint8(Kind));
        return At;
    }

    uint32 Light(kvt::RecordKind Kind, uint64 Identity, bool bNew, FLinearColor Color, float Intensity,
                 kvt::Optional<bool> Visible = kvt::none, float Inner = 0.f, float Outer = 0.f) {
        const uint32 At = *Writer.appendShape(Kind, false, Identity, bNew);
        Flags(At, bNew, true, Visible);
        auto* Body = Writer.as<kvt::SpotLightRecord>(At); // colour and intensity lie alike in every light
        const float C[4] = {Color.R, Color.G, Color.B, Color.A};
        std::memcpy(Body->color, C, sizeof C);
        Body->intensity = Intensity;
        if (Kind == kvt::RecordKind::SpotLight) {
            Body->innerConeAngle = Inner;
            Body->outerConeAngle = Outer;
        }
        return At;
    }

    // A deletion; bNew with it makes the "created and deleted at once" record, whose kind
    // bits are whatever Kind says.
    uint32 Deleted(uint64 Identity, bool bNew = false, uint8 Kind = 0) {
        const uint32 At = *Writer.appendShape(kvt::RecordKind::Mesh, true, Identity, false);
        Writer.setFlags(At, 0xFF, uint8(kvt::RecordFlags::deleted | (bNew ? kvt::RecordFlags::isNew : 0) | (Kind & 7)));
        return At;
    }

    kvt::RecordWriter Writer;

private:
    void Flags(uint32 At, bool bNew, bool bData, kvt::Optional<bool> Visible) {
        uint8 F = 0;
        if (bNew) F |= kvt::RecordFlags::isNew;
        if (bData) F |= kvt::RecordFlags::hasData;
        if (Visible) F |= kvt::RecordFlags::visibilityValid | (*Visible ? kvt::RecordFlags::visible : 0);
        Writer.setFlags(At, 0xF8, F);
    }
};

class ReceiverTest : public EditorTest {
protected:
    void SetUp() override {
        Names = UseUniqueRegionNames();
        Regions.add(Names.request);
        Regions.add(Names.response);
        StartEditor(false);
        FModuleManager::Get().AddBinariesDirectory(*FString(QUORBELL_MODULE_DIR), false);
        ASSERT_NE(FModuleManager::Get().LoadModule(ModuleName), nullptr);
        Maya = std::make_unique<kvt::LinkRequester>(nullptr, Names);
    }
    void TearDown() override {
        Maya.reset();
        EditorTest::TearDown();
        unsetenv("KVT_REGION_SUFFIX");
    }

    // Starts a request (connecting first when needed) and returns its record writer.
    FRequest& Begin(bool bPicture = false, int32 Width = 0, int32 Height = 0) {
        // Every frame starts with connect(), as Maya's does: only the first request after a claim
        // carries newSession.
        EXPECT_EQ(Maya->connect(), kvt::LinkRequester::ConnectResult::Connected);
        EXPECT_TRUE(Maya->isOurTurn());
        kvt::RequestHeader* Header = Maya->beginRequest();
        Header->pictureWanted = bPicture ? 1 : 0;
        Header->viewportWidth = Width;
        Header->viewportHeight = Height;
        Request.emplace(Maya->request());
        return *Request;
    }
    // Publishes the request, lets the editor run one frame and reads the reply.
    kvt::Optional<kvt::Reply> Finish() {
        Request.reset();
        Maya->publishRequest();
        Loop.Tick();
        FlushRenderingCommands();
        if (Maya->awaitResponse() != kvt::LinkRequester::AwaitResult::Reply) return kvt::none;
        return Maya->readReply();
    }
    // A whole frame without records.
    kvt::Optional<kvt::Reply> EmptyFrame() {
        Begin();
        return Finish();
    }

    UWorld* World() const { return GEditor->GetEditorWorldContext(false).World(); }
    UClass* MeshComponentClass() const { return FindObject<UClass>(ANY_PACKAGE, TEXT("KvtMeshComponent")); }
    // The registered components of the editor world that are of Class.
    template <class T = USceneComponent> std::vector<T*> Components(UClass* Class, UWorld* In = nullptr) const {
        std::vector<T*> Result;
        for (UActorComponent* C : (In ? In : World())->GetRegisteredComponents())
            if (C->IsA(Class)) Result.push_back(static_cast<T*>(C));
        return Result;
    }
    std::vector<UKvtMeshComponent*> MeshComponents(UWorld* In = nullptr) const {
        return Components<UKvtMeshComponent>(MeshComponentClass(), In);
    }

    testsupport::RegionCleanup Regions; // after the module has let its regions go
    kvt::RegionNames Names;
    std::unique_ptr<kvt::LinkRequester> Maya;
    std::optional<FRequest> Request;
};

inline const float kMin[3] = {0, 0, 0};
inline const float kMax[3] = {2, 4, 4};

} // namespace receivertest

// An editor started and stopped by hand, for tests that prepare the regions before the
// module is loaded.
struct EditorTestAccess {
    UE4Host::FEngineLoop Loop;
    bool bStarted = false;
    void Start() {
        UE4Host::FEngineLoopOptions Options;
        Options.ContentDir = FString(MIRROR_EXAMPLES_CONTENT);
        ASSERT_EQ(Loop.PreInit(Options), 0);
        ASSERT_EQ(Loop.Init(), 0);
        bStarted = true;
    }
    void Stop() {
        if (bStarted) Loop.Exit();
        bStarted = false;
    }
    ~EditorTestAccess() { Stop(); }
};

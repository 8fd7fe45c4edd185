// Maya's records applied to the editor world: nodes, handles, components, transforms,
// visibility, lights, materials, deletion, new sessions and world changes.
#include "ReceiverFixture.h"
#include <string>
#include <regex>
#include <iterator>
#include <fstream>
#include "UObject/MetaData.h"
#include "KVTMeshComponent.h"
#include "Components/PointLightComponent.h"
#include "Components/SceneCaptureComponent2D.h"
#include "Components/SkyLightComponent.h"
#include "Components/SpotLightComponent.h"
#include "GameFramework/Actor.h"
#include "Materials/Material.h"
#include "Materials/MaterialInterface.h"

using namespace receivertest;

namespace {

// A new mesh and a new instance of it, naming the mesh by its Maya address.
void MeshAndInstance(FRequest& R, uint64 Mesh, uint64 Instance, const FMatrix4& Matrix = {}) {
    R.Mesh(Mesh, true, kMin, kMax);
    R.Instance(Instance, true, Mesh, true, Matrix);
}

class SceneTest : public ReceiverTest {
protected:
    // Sends a new mesh and an instance of it; returns the two remote handles.
    std::pair<uint64, uint64> NewMeshInstance(uint64 Mesh, uint64 Instance, const FMatrix4& Matrix = {}) {
        MeshAndInstance(Begin(), Mesh, Instance, Matrix);
        auto Reply = Finish();
        EXPECT_TRUE(Reply.hasValue());
        if (!Reply || Reply->handleCount != 2) return {0, 0};
        return {Reply->handle(0).remoteHandle, Reply->handle(1).remoteHandle};
    }
};

TEST_F(SceneTest, ANewMeshAndItsInstanceMakeTwoNodesOneComponentAndTwoHandlesMeshFirst) {
    MeshAndInstance(Begin(), 0x7000'1000, 0x7000'2000);
    auto Reply = Finish();
    ASSERT_TRUE(Reply.hasValue());
    ASSERT_EQ(Reply->handleCount, 2u);
    EXPECT_EQ(Reply->handle(0).key, 0x7000'1000u);
    EXPECT_EQ(Reply->handle(1).key, 0x7000'2000u);
    EXPECT_NE(Reply->handle(0).remoteHandle, 0u);
    EXPECT_NE(Reply->handle(1).remoteHandle, 0u);
    EXPECT_NE(Reply->handle(0).remoteHandle, Reply->handle(1).remoteHandle);

    ASSERT_NE(MeshComponentClass(), nullptr);
    auto Meshes = MeshComponents();
    ASSERT_EQ(Meshes.size(), 1u);
    UKvtMeshComponent* Component = Meshes[0];
    EXPECT_EQ(Component->GetOuter(), GetTransientPackage());
    EXPECT_EQ(Component->GetOwner(), nullptr);
    EXPECT_TRUE(Component->IsRooted());
    // The component draws the mesh node whose address went back as the mesh's handle.
    EXPECT_EQ(reinterpret_cast<uint64>(Component->MeshNode), Reply->handle(0).remoteHandle);
    EXPECT_EQ(Component->GetNumMaterials(), 0);
    EXPECT_FALSE(Component->IsPhysicsStateCreated());

    // Bounds from (0,0,0)-(2,4,4): origin (1,2,2), extent (1,2,2), radius 3.
    const FBoxSphereBounds& Local = Component->MeshNode->LocalBounds;
    EXPECT_FLOAT_EQ(Local.Origin.Y, 2.f);
    EXPECT_FLOAT_EQ(Local.BoxExtent.Z, 2.f);
    EXPECT_FLOAT_EQ(Local.SphereRadius, 3.f);
    Component->BoundsScale = 2.f;
    const FBoxSphereBounds World = Component->CalcBounds(FTransform(FVector(10.f, 0.f, 0.f)));
    EXPECT_FLOAT_EQ(World.Origin.X, 11.f);
    EXPECT_FLOAT_EQ(World.BoxExtent.Y, 4.f);
    EXPECT_FLOAT_EQ(World.SphereRadius, 6.f);
}

TEST_F(SceneTest, TwoInstancesOfOneShapeShareItsNodeAndSameLowBitsAreToldApart) {
    // 0x…200 and 0x…400 share bucket 0 (low nine bits); each instance finds its own mesh.
    FRequest& R = Begin();
    R.Mesh(0x0A00, true, kMin, kMax);
    R.Mesh(0x0C00, true, kMin, kMax);
    R.Instance(0x1001, true, 0x0A00, true, {});
    R.Instance(0x1002, true, 0x0A00, true, {});
    R.Instance(0x1003, true, 0x0C00, true, {});
    auto Reply = Finish();
    ASSERT_TRUE(Reply && Reply->handleCount == 5);
    auto Meshes = MeshComponents();
    ASSERT_EQ(Meshes.size(), 3u);
    int32 OnFirst = 0, OnSecond = 0;
    for (UKvtMeshComponent* C : Meshes) {
        OnFirst += reinterpret_cast<uint64>(C->MeshNode) == Reply->handle(0).remoteHandle;
        OnSecond += reinterpret_cast<uint64>(C->MeshNode) == Reply->handle(1).remoteHandle;
    }
    EXPECT_EQ(OnFirst, 2);
    EXPECT_EQ(OnSecond, 1);
}

TEST_F(SceneTest, AnInstanceWhoseShapeCannotBeFoundStaysWithoutAComponent) {
    auto [Mesh, Instance] = NewMeshInstance(0x10, 0x20);
    ASSERT_NE(Instance, 0u);
    FRequest& R = Begin();
    R.Instance(0x21, true, 0x4444, true, {});      // no shape with that Maya address
    R.Instance(0x22, true, Instance, false, {});   // a handle, but of an instance
    R.Instance(0x23, true, 0xBAD0'0000, false, {}); // a handle of nothing
    R.Instance(0x24, true, Mesh, false, {});       // the mesh by its handle: found
    auto Reply = Finish();
    ASSERT_TRUE(Reply && Reply->handleCount == 4);
    EXPECT_EQ(MeshComponents().size(), 2u);
    // The component-less instances still take records.
    Begin().Visibility(Reply->handle(0).remoteHandle, false);
    EXPECT_TRUE(Finish().hasValue());
}

TEST_F(SceneTest, TransformsFollowTheFromMatrixRuleIncludingAMirroredMatrix) {
    auto [Mesh, Instance] = NewMeshInstance(0x10, 0x20, FMatrix4::ScaleTranslate(2, 3, 4, 10, 20, 30));
    ASSERT_NE(Instance, 0u);
    auto Meshes = MeshComponents();
    ASSERT_EQ(Meshes.size(), 1u);
    EXPECT_TRUE(Meshes[0]->GetComponentLocation().Equals(FVector(10, 20, 30)));
    EXPECT_TRUE(Meshes[0]->GetComponentScale().Equals(FVector(2, 3, 4)));

    // A later record names the instance by its handle; a negative determinant flips X.
    Begin().Instance(Instance, false, 0, false, FMatrix4::ScaleTranslate(-1, 1, 1, 5, 0, 0));
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_TRUE(Meshes[0]->GetComponentScale().Equals(FVector(-1, 1, 1)));
    EXPECT_TRUE(Meshes[0]->GetComponentLocation().Equals(FVector(5, 0, 0)));
    EXPECT_TRUE(Meshes[0]->GetComponentQuat().Equals(FQuat::Identity));
}

TEST_F(SceneTest, VisibilityOfInstancesAndLights) {
    auto [Mesh, Instance] = NewMeshInstance(0x10, 0x20);
    ASSERT_NE(Instance, 0u);
    UKvtMeshComponent* Component = MeshComponents().at(0);
    EXPECT_TRUE(Component->bVisible);
    Begin().Visibility(Instance, false);
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_FALSE(Component->bVisible);
    Begin().Visibility(Instance, true);
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_TRUE(Component->bVisible);

    // A light hidden through its own record hides every component it made.
    FRequest& R = Begin();
    R.Light(kvt::RecordKind::PointLight, 0x30, true, FLinearColor(1, 0, 0, 1), 100.f);
    R.Instance(0x31, true, 0x30, true, {});
    R.Instance(0x32, true, 0x30, true, {});
    auto Reply = Finish();
    ASSERT_TRUE(Reply && Reply->handleCount == 3);
    auto Points = Components(UPointLightComponent::StaticClass());
    ASSERT_EQ(Points.size(), 2u);
    Begin().Light(kvt::RecordKind::PointLight, Reply->handle(0).remoteHandle, false, FLinearColor(1, 0, 0, 1), 100.f, false);
    ASSERT_TRUE(Finish().hasValue());
    for (USceneComponent* C : Points) EXPECT_FALSE(C->bVisible);
}

// A shape whose visibility alone changed comes without data: only the visibility applies.
TEST_F(SceneTest, AShapeRecordWithoutDataChangesOnlyTheVisibility) {
    FRequest& R = Begin();
    R.Light(kvt::RecordKind::PointLight, 0x30, true, FLinearColor(1, 0, 0, 1), 100.f, true);
    R.Instance(0x31, true, 0x30, true, {});
    R.Mesh(0x10, true, kMin, kMax);
    R.Instance(0x11, true, 0x10, true, {});
    auto Reply = Finish();
    ASSERT_TRUE(Reply && Reply->handleCount == 4);
    auto Points = Components<UPointLightComponent>(UPointLightComponent::StaticClass());
    ASSERT_EQ(Points.size(), 1u);
    ASSERT_TRUE(Points[0]->bVisible);

    FRequest& Hide = Begin();
    Hide.ShortShape(kvt::RecordKind::PointLight, Reply->handle(0).remoteHandle, false);
    Hide.ShortShape(kvt::RecordKind::Mesh, Reply->handle(2).remoteHandle, false);
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_FALSE(Points[0]->bVisible);
    EXPECT_FLOAT_EQ(Points[0]->Intensity, 100.f);
    EXPECT_EQ(Points[0]->LightColor, FColor(255, 0, 0, 255));
    EXPECT_EQ(MeshComponents().size(), 1u);

    Begin().ShortShape(kvt::RecordKind::PointLight, Reply->handle(0).remoteHandle, true);
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_TRUE(Points[0]->bVisible);
    EXPECT_FLOAT_EQ(Points[0]->Intensity, 100.f);
}

TEST_F(SceneTest, LightsCarryColourIntensityAndConesAndChangesReachEveryInstance) {
    FRequest& R = Begin();
    R.Light(kvt::RecordKind::SpotLight, 0x40, true, FLinearColor(1, 1, 1, 1), 250.f, kvt::none, 20.f, 40.f);
    R.Light(kvt::RecordKind::AmbientLight, 0x50, true, FLinearColor(0, 0, 1, 1), 30.f);
    R.Instance(0x41, true, 0x40, true, {});
    R.Instance(0x42, true, 0x40, true, {});
    R.Instance(0x51, true, 0x50, true, {});
    auto Reply = Finish();
    ASSERT_TRUE(Reply && Reply->handleCount == 5);
    auto Spots = Components<USpotLightComponent>(USpotLightComponent::StaticClass());
    ASSERT_EQ(Spots.size(), 2u);
    for (USpotLightComponent* S : Spots) {
        EXPECT_FLOAT_EQ(S->Intensity, 250.f);
        EXPECT_FLOAT_EQ(S->InnerConeAngle, 20.f);
        EXPECT_FLOAT_EQ(S->OuterConeAngle, 40.f);
        EXPECT_EQ(S->LightColor, FColor(255, 255, 255, 255));
    }
    auto Skies = Components<USkyLightComponent>(USkyLightComponent::StaticClass());
    ASSERT_EQ(Skies.size(), 1u);
    EXPECT_FLOAT_EQ(Skies[0]->Intensity, 30.f);
    EXPECT_EQ(Skies[0]->LightColor.B, 255);
    EXPECT_EQ(Skies[0]->LightColor.R, 0);

    const uint64 Spot = Reply->handle(0).remoteHandle;
    Begin().Light(kvt::RecordKind::SpotLight, Spot, false, FLinearColor(1, 0, 0, 1), 75.f, kvt::none, 10.f, 30.f);
    ASSERT_TRUE(Finish().hasValue());
    for (USpotLightComponent* S : Spots) {
        EXPECT_FLOAT_EQ(S->Intensity, 75.f);
        EXPECT_FLOAT_EQ(S->OuterConeAngle, 30.f);
        EXPECT_EQ(S->LightColor.G, 0);
    }

    // Deleting the light leaves its instances their components.
    Begin().Deleted(Spot);
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_EQ(Components(USpotLightComponent::StaticClass()).size(), 2u);
    // The deleted light's handle is no node any more: a record naming it is skipped.
    Begin().Light(kvt::RecordKind::SpotLight, Spot, false, FLinearColor(0, 1, 0, 1), 5.f);
    ASSERT_TRUE(Finish().hasValue());
    for (USpotLightComponent* S : Spots) EXPECT_FLOAT_EQ(S->Intensity, 75.f);
}

TEST_F(SceneTest, MaterialsLoadByPackageNameAndAnUnloadableSlotIsLeftAlone) {
    const std::vector<kvt::Optional<std::u16string>> Materials = {u"/Game/Materials/NoSuchMaterial", u"/Game/Materials/M_Red"};
    FRequest& R = Begin();
    R.Mesh(0x10, true, kMin, kMax);
    R.Instance(0x20, true, 0x10, true, {}, kvt::none, &Materials);
    ASSERT_TRUE(Finish().hasValue());
    UKvtMeshComponent* Component = MeshComponents().at(0);
    UObject* Red = FSoftObjectPath(TEXT("/Game/Materials/M_Red")).TryLoad();
    ASSERT_NE(Red, nullptr);
    EXPECT_EQ(Component->GetMaterial(0), nullptr);
    EXPECT_EQ(Component->GetMaterial(1), Red);
    EXPECT_EQ(Component->GetNumMaterials(), 2);

    // Materials sent for a light's instance are ignored.
    const std::vector<kvt::Optional<std::u16string>> One = {u"/Game/Materials/M_Red"};
    FRequest& L = Begin();
    L.Light(kvt::RecordKind::PointLight, 0x30, true, FLinearColor(1, 1, 1, 1), 1.f);
    L.Instance(0x31, true, 0x30, true, {}, kvt::none, &One);
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_EQ(Components(UPointLightComponent::StaticClass()).size(), 1u);
}

TEST_F(SceneTest, ANonAsciiMaterialNameFromMayaNamesThatMaterial) {
    UPackage* Package = CreatePackage(nullptr, TEXT("/Game/材质/M_红"));
    UMaterial* Red = NewObject<UMaterial>(Package, FName(TEXT("M_红")), RF_Public | RF_Standalone);
    const std::vector<kvt::Optional<std::u16string>> Materials = {u"/Game/材质/M_红"};
    FRequest& R = Begin();
    R.Mesh(0x10, true, kMin, kMax);
    R.Instance(0x20, true, 0x10, true, {}, kvt::none, &Materials);
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_EQ(MeshComponents().at(0)->GetMaterial(0), Red);
}

TEST_F(SceneTest, DeletionRemovesComponentsAndANewDeletedRecordGetsNoHandle) {
    auto [Mesh, Instance] = NewMeshInstance(0x10, 0x20);
    ASSERT_NE(Mesh, 0u);
    FRequest& R = Begin();
    R.Deleted(Instance);
    R.Deleted(Mesh);
    R.Deleted(0x99, true, 1); // created and deleted in one frame
    auto Reply = Finish();
    ASSERT_TRUE(Reply.hasValue());
    EXPECT_EQ(Reply->handleCount, 0u);
    EXPECT_TRUE(MeshComponents().empty());
    // Records naming the deleted nodes are skipped; the editor goes on.
    FRequest& Again = Begin();
    Again.Visibility(Instance, false);
    Again.Deleted(Mesh);
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_TRUE(EmptyFrame().hasValue());
}

TEST_F(SceneTest, AMeshDestroyedBeforeItsInstanceLeavesTheComponentWithoutANode) {
    auto [Mesh, Instance] = NewMeshInstance(0x10, 0x20);
    ASSERT_NE(Mesh, 0u);
    Begin().Deleted(Mesh);
    ASSERT_TRUE(Finish().hasValue());
    auto Meshes = MeshComponents();
    ASSERT_EQ(Meshes.size(), 1u);
    EXPECT_EQ(Meshes[0]->MeshNode, nullptr);
    // Moving it recomputes bounds without the node; frames go on.
    Begin().Instance(Instance, false, 0, false, FMatrix4::ScaleTranslate(1, 1, 1, 3, 0, 0));
    ASSERT_TRUE(Finish().hasValue());
    EXPECT_FLOAT_EQ(Meshes[0]->Bounds.SphereRadius, 0.f);
    EXPECT_TRUE(Meshes[0]->Bounds.Origin.Equals(FVector(3, 0, 0)));
}

TEST_F(SceneTest, ANewSessionClearsEverythingBeforeItsOwnRecords) {
    NewMeshInstance(0x10, 0x20);
    FRequest& R = Begin();
    R.Light(kvt::RecordKind::PointLight, 0x30, true, FLinearColor(1, 1, 1, 1), 1.f);
    R.Light(kvt::RecordKind::AmbientLight, 0x40, true, FLinearColor(1, 1, 1, 1), 1.f);
    R.Instance(0x31, true, 0x30, true, {});
    R.Instance(0x41, true, 0x40, true, {});
    ASSERT_TRUE(Finish().hasValue());
    ASSERT_EQ(MeshComponents().size(), 1u);

    FRequest& Fresh = Begin();
    Maya->requestHeader()->newSession = 1;
    Fresh.Mesh(0x10, true, kMin, kMax); // the same Maya addresses, sent again
    Fresh.Instance(0x20, true, 0x10, true, {});
    auto Reply = Finish();
    ASSERT_TRUE(Reply && Reply->handleCount == 2);
    EXPECT_EQ(MeshComponents().size(), 1u);
    EXPECT_TRUE(Components(UPointLightComponent::StaticClass()).empty());
    EXPECT_TRUE(Components(USkyLightComponent::StaticClass()).empty());
    EXPECT_EQ(reinterpret_cast<uint64>(MeshComponents()[0]->MeshNode), Reply->handle(0).remoteHandle);
}

TEST_F(SceneTest, AWorldChangeReRegistersComponentsAndSpawnsThePlaceholderActor) {
    NewMeshInstance(0x10, 0x20);
    UWorld* First = World();
    UClass* ActorClass = FindObject<UClass>(ANY_PACKAGE, TEXT("KvtActor"));
    ASSERT_NE(ActorClass, nullptr);
    ASSERT_EQ(First->GetActors().Num(), 1);
    AActor* Placeholder = First->GetActors()[0];
    EXPECT_TRUE(Placeholder->IsA(ActorClass));
    EXPECT_TRUE(Placeholder->bHidden);
    EXPECT_FALSE(Placeholder->bListedInSceneOutliner);
    EXPECT_EQ(Placeholder->GetRootComponent(), nullptr);

    UWorld* Second = GEditor->NewMap();
    Loop.Tick();
    EXPECT_EQ(MeshComponents(Second).size(), 1u);
    ASSERT_EQ(Second->GetActors().Num(), 1);
    EXPECT_TRUE(Second->GetActors()[0]->IsA(ActorClass));
    // The scene capture component moved along with the mirrored components.
    EXPECT_EQ(Components(USceneCaptureComponent2D::StaticClass(), Second).size(), 1u);
    EXPECT_TRUE(EmptyFrame().hasValue());
}

} // namespace

namespace {

// What the engine's header tool derives from a reflected class's header: the class, its
// parent, the UCLASS specifiers that reach the metadata, the header's path in the module.
struct FDeclaredClass {
    std::string Name, Parent, HideCategories, RelativePath;
};

FDeclaredClass ReadDeclaration(const std::string& RelativePath) {
    std::ifstream In(std::string(QUORBELL_SOURCE_DIR) + "/" + RelativePath);
    const std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    std::smatch Match;
    FDeclaredClass Out;
    Out.RelativePath = RelativePath;
    if (!std::regex_search(Text, Match, std::regex(R"(UCLASS\(([^)]*(\([^)]*\))?[^)]*)\)\s*class\s+(\w+)\s*:\s*public\s+(\w+))")))
        return Out;
    Out.Name = Match[3];
    Out.Parent = Match[4];
    std::smatch Hide;
    const std::string Specifiers = Match[1];
    if (std::regex_search(Specifiers, Hide, std::regex(R"(hidecategories\s*=\s*\(([^)]*)\))", std::regex::icase)))
        Out.HideCategories = std::regex_replace(std::string(Hide[1]), std::regex(R"(\s*,\s*)"), " ");
    return Out;
}

std::string Utf8(const FString& Text) { return TCHAR_TO_UTF8(*Text); }

// The registration compiled from the generated code agrees with the module's own headers and
// descriptor: a header edited without generating again shows here.
TEST_F(SceneTest, TheGeneratedRegistrationAgreesWithTheHeadersAndTheDescriptor) {
    std::ifstream Descriptor(QUORBELL_PLUGIN_FILE);
    const std::string Plugin((std::istreambuf_iterator<char>(Descriptor)), std::istreambuf_iterator<char>());
    // The header tool flags a module's package by the module's type in the descriptor.
    const bool bDeveloper = std::regex_search(Plugin, std::regex(R"("Type"\s*:\s*"Developer")"));
    const bool bEditor = std::regex_search(Plugin, std::regex(R"("Type"\s*:\s*"Editor")"));
    UPackage* Package = nullptr;
    for (const char* Header : {"Private/KVTMeshComponent.h", "Private/KVTTicker.h"}) {
        const FDeclaredClass Declared = ReadDeclaration(Header);
        ASSERT_FALSE(Declared.Name.empty()) << "no UCLASS in " << Header;
        UClass* Class = FindObject<UClass>(ANY_PACKAGE, UTF8_TO_TCHAR(Declared.Name.substr(1).c_str()));
        ASSERT_NE(Class, nullptr) << Declared.Name << " is not registered";
        EXPECT_EQ(Utf8(Class->GetNativeName()), Declared.Name);
        ASSERT_NE(Class->GetSuperClass(), nullptr);
        EXPECT_EQ(Utf8(Class->GetSuperClass()->GetNativeName()), Declared.Parent) << Declared.Name;
        UPackage* Own = Class->GetOutermost();
        EXPECT_TRUE(!Package || Own == Package) << "both classes live in one package";
        Package = Own;
        UMetaData* Meta = Own->GetMetaData();
        EXPECT_EQ(Utf8(Meta->GetValue(Class, TEXT("ModuleRelativePath"))), Declared.RelativePath);
        EXPECT_EQ(Meta->HasValue(Class, TEXT("HideCategories")), !Declared.HideCategories.empty()) << Declared.Name;
        if (!Declared.HideCategories.empty())
            EXPECT_EQ(Utf8(Meta->GetValue(Class, TEXT("HideCategories"))), Declared.HideCategories);
    }
    ASSERT_NE(Package, nullptr);
    EXPECT_EQ(Package->GetName(), TEXT("/Script/QuorbellMirror"));
    EXPECT_TRUE(Package->HasAnyPackageFlags(PKG_CompiledIn));
    EXPECT_EQ(Package->HasAnyPackageFlags(PKG_Developer), bDeveloper);
    EXPECT_EQ(Package->HasAnyPackageFlags(PKG_EditorOnly), bEditor);
}

} // namespace

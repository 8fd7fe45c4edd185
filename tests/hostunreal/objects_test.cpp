// Objects, classes, names, the root set, garbage collection, weak pointers and loading
// assets from the content folder.
#include "EditorFixture.h"
#include "Components/SpotLightComponent.h"
#include "Components/MeshComponent.h"
#include "Curves/CurveFloat.h"
#include "Engine/Engine.h"
#include "GameFramework/Actor.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceConstant.h"
#include "Misc/PackageName.h"
#include <filesystem>
#include <fstream>

namespace {

using ObjectsTest = EditorTest;

TEST_F(ObjectsTest, ClassesKnowTheirNamePackageAndBases) {
    StartEditor();
    UClass* Spot = USpotLightComponent::StaticClass();
    EXPECT_EQ(Spot->GetName(), TEXT("SpotLightComponent"));
    EXPECT_EQ(Spot->GetNativeName(), TEXT("USpotLightComponent"));
    EXPECT_EQ(Spot->GetOutermost()->GetName(), TEXT("/Script/Engine"));
    EXPECT_EQ(Spot->GetPathName(), TEXT("/Script/Engine.SpotLightComponent"));
    EXPECT_TRUE(Spot->IsChildOf(UPointLightComponent::StaticClass()));
    EXPECT_TRUE(Spot->IsChildOf(USceneComponent::StaticClass()));
    EXPECT_FALSE(UPointLightComponent::StaticClass()->IsChildOf(Spot));
    EXPECT_TRUE(UMaterialInstanceConstant::StaticClass()->IsChildOf(UMaterialInterface::StaticClass()));
    EXPECT_FALSE(UMaterialInstanceConstant::StaticClass()->IsChildOf(UMaterial::StaticClass()));
    EXPECT_EQ(UObject::StaticClass()->GetSuperClass(), nullptr);
    EXPECT_EQ(Spot->GetClass(), UClass::StaticClass());
    EXPECT_EQ(FindObject<UClass>(ANY_PACKAGE, TEXT("SpotLightComponent")), Spot);
    EXPECT_EQ(AActor::StaticClass()->GetPrefixCPP(), std::u16string_view(u"A"));
}

TEST_F(ObjectsTest, NamesAreUniqueInTheirOuterAndPathsFollowOuters) {
    StartEditor();
    UPackage* Transient = GetTransientPackage();
    EXPECT_EQ(Transient->GetName(), TEXT("/Engine/Transient"));
    auto* A = NewObject<USpotLightComponent>(Transient);
    auto* B = NewObject<USpotLightComponent>(Transient);
    EXPECT_NE(A->GetFName(), B->GetFName());
    EXPECT_TRUE(A->GetName().StartsWith(TEXT("SpotLightComponent_")));
    EXPECT_EQ(A->GetOuter(), Transient);
    EXPECT_EQ(A->GetOutermost(), Transient);
    EXPECT_EQ(A->GetPathName(), FString(TEXT("/Engine/Transient.")) + A->GetName());

    const FName Unique = MakeUniqueObjectName(A, UMaterial::StaticClass(), FName(TEXT("SceneCaptureTextureTarget")));
    EXPECT_TRUE(Unique.ToString().StartsWith(TEXT("SceneCaptureTextureTarget_")));
    auto* Inner = NewObject<UMaterial>(A, Unique);
    EXPECT_EQ(Inner->GetOutermost(), Transient);
    EXPECT_EQ(Inner->GetPathName(), A->GetPathName() + TEXT(":") + Unique.ToString()); // a subobject
    EXPECT_NE(MakeUniqueObjectName(A, UMaterial::StaticClass(), FName(TEXT("SceneCaptureTextureTarget"))), Unique);
    EXPECT_EQ(StaticFindObjectFast(nullptr, A, Unique), Inner);
    EXPECT_TRUE(Inner->IsA<UMaterialInterface>());
    EXPECT_EQ(Cast<UMeshComponent>(Inner), nullptr);
}

TEST_F(ObjectsTest, GarbageCollectionKeepsRootedAndReferencedObjects) {
    StartEditor();
    auto* Rooted = NewObject<USpotLightComponent>(GetTransientPackage());
    Rooted->AddToRoot();
    auto* Loose = NewObject<USpotLightComponent>(GetTransientPackage());
    auto* Child = NewObject<UMaterial>(Rooted); // an outer does not keep what is inside it
    auto* Holder = NewObject<UMaterial>(GetTransientPackage());
    auto* Held = NewObject<UMaterial>(Holder);  // but an object keeps its outer
    Held->AddToRoot();
    TWeakObjectPtr<USpotLightComponent> WeakRooted(Rooted), WeakLoose(Loose);
    TWeakObjectPtr<UMaterial> WeakChild(Child), WeakHolder(Holder);
    const int32 Before = GetNumObjects();

    CollectGarbage(GARBAGE_COLLECTION_KEEPFLAGS);
    EXPECT_TRUE(WeakRooted.IsValid());
    EXPECT_TRUE(WeakHolder.IsValid());
    EXPECT_FALSE(WeakChild.IsValid());
    EXPECT_FALSE(WeakLoose.IsValid());
    EXPECT_TRUE(WeakLoose.IsStale());
    EXPECT_EQ(GetNumObjects(), Before - 2);

    // A new object may reuse the slot; the old weak pointer stays dead.
    auto* Reuse = NewObject<USpotLightComponent>(GetTransientPackage());
    Reuse->AddToRoot();
    EXPECT_FALSE(WeakLoose.IsValid());

    Rooted->RemoveFromRoot();
    EXPECT_FALSE(Rooted->IsRooted());
    Held->RemoveFromRoot();
    CollectGarbage(GARBAGE_COLLECTION_KEEPFLAGS);
    EXPECT_FALSE(WeakRooted.IsValid());
    EXPECT_FALSE(WeakHolder.IsValid());
}

TEST_F(ObjectsTest, PendingKillObjectsAreNotFound) {
    StartEditor();
    auto* Material = NewObject<UMaterial>(GetTransientPackage(), FName(TEXT("Doomed")));
    TWeakObjectPtr<UMaterial> Weak(Material);
    Material->MarkPendingKill();
    EXPECT_FALSE(Weak.IsValid());
    EXPECT_EQ(FindObject<UMaterial>(GetTransientPackage(), TEXT("Doomed")), nullptr);
}

TEST_F(ObjectsTest, TryLoadResolvesPackageNamesToTheAssetInside) {
    StartEditor();
    UObject* ByPackage = FSoftObjectPath(TEXT("/Game/Materials/M_Red")).TryLoad();
    ASSERT_NE(ByPackage, nullptr);
    EXPECT_TRUE(ByPackage->IsA<UMaterial>());
    EXPECT_EQ(ByPackage->GetName(), TEXT("M_Red"));
    EXPECT_EQ(ByPackage->GetOutermost()->GetName(), TEXT("/Game/Materials/M_Red"));
    EXPECT_EQ(ByPackage->GetPathName(), TEXT("/Game/Materials/M_Red.M_Red"));
    EXPECT_EQ(FSoftObjectPath(TEXT("/Game/Materials/M_Red.M_Red")).TryLoad(), ByPackage);
    EXPECT_EQ(FSoftObjectPath(ByPackage).ToString(), TEXT("/Game/Materials/M_Red.M_Red"));
    FLinearColor Color;
    ASSERT_TRUE(static_cast<UMaterial*>(ByPackage)->GetVectorParameterValue(FName(TEXT("BaseColor")), Color));
    EXPECT_TRUE(Color.Equals(FLinearColor(0.8f, 0.05f, 0.05f, 1.f)));

    // Loaded assets survive collection (they are standalone) until the editor lets them go.
    CollectGarbage(GARBAGE_COLLECTION_KEEPFLAGS);
    EXPECT_EQ(FSoftObjectPath(TEXT("/Game/Materials/M_Red")).ResolveObject(), ByPackage);
}

TEST_F(ObjectsTest, MaterialInstancesLoadTheirParent) {
    StartEditor();
    auto* Instance = Cast<UMaterialInstanceConstant>(FSoftObjectPath(TEXT("/Game/Materials/MI_Blue")).TryLoad());
    ASSERT_NE(Instance, nullptr);
    ASSERT_NE(Instance->Parent, nullptr);
    EXPECT_EQ(Instance->Parent->GetPathName(), TEXT("/Game/Materials/M_Grey.M_Grey"));
    EXPECT_EQ(Instance->GetMaterial(), Instance->Parent);
    FLinearColor Color;
    ASSERT_TRUE(Instance->GetVectorParameterValue(FName(TEXT("BaseColor")), Color));
    EXPECT_TRUE(Color.Equals(FLinearColor(0.05f, 0.1f, 0.9f, 1.f)));
    EXPECT_TRUE(static_cast<UMaterial*>(Instance->Parent)->TwoSided);

    auto* Curve = Cast<UCurveFloat>(FSoftObjectPath(TEXT("/Game/Curves/C_Fade")).TryLoad());
    ASSERT_NE(Curve, nullptr);
    EXPECT_FLOAT_EQ(Curve->GetFloatValue(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(Curve->GetFloatValue(1.5f), 0.625f);
    EXPECT_FLOAT_EQ(Curve->GetFloatValue(9.f), 0.25f);
}

TEST_F(ObjectsTest, BadPathsLoadNothing) {
    StartEditor();
    for (const TCHAR* Path : {TEXT(""), TEXT("/Game/Materials/Missing"), TEXT("/Game/../../etc/passwd"), TEXT("M_Red"), TEXT("/Nowhere/M_Red"),
                              TEXT("/Game/Materials/M_Red.Other"), TEXT("/Game/Materials/")})
        EXPECT_EQ(FSoftObjectPath(Path).TryLoad(), nullptr) << TCHAR_TO_UTF8(Path);
    EXPECT_TRUE(FSoftObjectPath(TEXT("")).IsNull());
}

class BadContentTest : public EditorTest {
protected:
    void SetUp() override {
        Dir = std::filesystem::temp_directory_path() / ("hostunreal_content_" + std::to_string(getpid()));
        std::filesystem::create_directories(Dir / "M");
    }
    void Write(const char* Name, const char* Text) { std::ofstream(Dir / "M" / Name) << Text; }
    void TearDown() override {
        EditorTest::TearDown();
        std::filesystem::remove_all(Dir);
    }
    std::filesystem::path Dir;
};

TEST_F(BadContentTest, MalformedAssetFilesAreRefusedSafely) {
    Write("NoEquals.uasset", "Class=Material\nBaseColor 1 0 0 1\n");
    Write("BadColour.uasset", "Class=Material\nBaseColor=1 0 zero 1\n");
    Write("ShortColour.uasset", "Class=Material\nBaseColor=1 0\n");
    Write("UnknownClass.uasset", "Class=Sandwich\n");
    Write("NotAnAsset.uasset", "Class=World\n");
    Write("NoClass.uasset", "BaseColor=1 1 1 1\n");
    Write("Loop1.uasset", "Class=MaterialInstanceConstant\nParent=/Game/M/Loop2\n");
    Write("Loop2.uasset", "Class=MaterialInstanceConstant\nParent=/Game/M/Loop1\n");
    Write("Orphan.uasset", "Class=MaterialInstanceConstant\nParent=/Game/M/Missing\n");
    Write("Good.uasset", "# fine\n\nClass=Material\nBaseColor=0 1 0 1\nWireframe=true\n");
    StartEditor(false, nullptr, Dir.c_str());
    for (const char* Name : {"NoEquals", "BadColour", "ShortColour", "UnknownClass", "NotAnAsset", "NoClass", "Loop1", "Loop2", "Orphan"})
        EXPECT_EQ(FSoftObjectPath(*(FString(TEXT("/Game/M/")) + FString(Name))).TryLoad(), nullptr) << Name;
    auto* Good = Cast<UMaterial>(FSoftObjectPath(TEXT("/Game/M/Good")).TryLoad());
    ASSERT_NE(Good, nullptr);
    EXPECT_TRUE(Good->Wireframe);
    // A failed asset can be fixed on disk and loaded after the editor collected the rest.
    Write("BadColour.uasset", "Class=Material\nBaseColor=1 0 0 1\n");
    CollectGarbage(GARBAGE_COLLECTION_KEEPFLAGS);
    EXPECT_NE(FSoftObjectPath(TEXT("/Game/M/BadColour")).TryLoad(), nullptr);
}

TEST_F(BadContentTest, PackageNamesMayBeNonAsciiButNotUseTheEnginesReservedCharacters) {
    Write("M_\xE7\xBA\xA2.uasset", "Class=Material\nBaseColor=1 0 0 1\n"); // M_红
    Write("M Space.uasset", "Class=Material\n");
    Write("M#Hash.uasset", "Class=Material\n");
    StartEditor(false, nullptr, Dir.c_str());
    UObject* Red = FSoftObjectPath(TEXT("/Game/M/M_红")).TryLoad();
    ASSERT_NE(Red, nullptr);
    EXPECT_EQ(Red->GetPathName(), TEXT("/Game/M/M_红.M_红"));
    EXPECT_EQ(FSoftObjectPath(TEXT("/Game/M/M Space")).TryLoad(), nullptr);
    EXPECT_EQ(FSoftObjectPath(TEXT("/Game/M/M#Hash")).TryLoad(), nullptr);
}

TEST_F(ObjectsTest, EngineMaterials) {
    StartEditor();
    UMaterial* Default = UMaterial::GetDefaultMaterial(MD_Surface);
    ASSERT_NE(Default, nullptr);
    ASSERT_NE(GEngine->WireframeMaterial, nullptr);
    EXPECT_TRUE(GEngine->WireframeMaterial->Wireframe);
    EXPECT_FALSE(Default->Wireframe);
    CollectGarbage(GARBAGE_COLLECTION_KEEPFLAGS);
    EXPECT_EQ(UMaterial::GetDefaultMaterial(MD_Surface), Default);
}

} // namespace

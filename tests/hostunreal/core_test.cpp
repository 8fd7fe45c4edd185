// Strings, names, shared pointers and delegates as the module uses them.
#include "CoreMinimal.h"
#include <gtest/gtest.h>

namespace {

TEST(String, IsUtf16WithTerminator) {
    FString S(TEXT("Größe"));
    static_assert(sizeof(TCHAR) == 2);
    EXPECT_EQ(S.Len(), 5);
    EXPECT_EQ((*S)[5], 0);
    EXPECT_EQ(S[2], TCHAR(0x00F6));
    EXPECT_STREQ(TCHAR_TO_UTF8(*S), "Größe");
    EXPECT_EQ(FString("\xF0\x9F\x98\x80").Len(), 2); // a surrogate pair
    EXPECT_STREQ(TCHAR_TO_UTF8(*FString("\xF0\x9F\x98\x80")), "\xF0\x9F\x98\x80");
    FString Empty;
    EXPECT_EQ(*Empty, std::u16string_view(u""));
    EXPECT_TRUE(Empty.IsEmpty());
}

TEST(String, SearchSplitAndFormat) {
    const FString Path(TEXT("/Game/Materials/M_Red.M_Red"));
    FString Left, Right;
    ASSERT_TRUE(Path.Split(TEXT("."), &Left, &Right));
    EXPECT_EQ(Left, TEXT("/Game/Materials/M_Red"));
    EXPECT_EQ(Right, TEXT("M_Red"));
    EXPECT_TRUE(Path.StartsWith(TEXT("/game/")));
    EXPECT_FALSE(Path.StartsWith(TEXT("/game/"), ESearchCase::CaseSensitive));
    EXPECT_EQ(Path.Find(TEXT("/"), ESearchCase::CaseSensitive, ESearchDir::FromEnd), 15);
    TArray<FString> Parts;
    EXPECT_EQ(FString(TEXT("a,,b,c")).ParseIntoArray(Parts, TEXT(","), true), 3);
    EXPECT_EQ(Parts[2], TEXT("c"));
    EXPECT_EQ(FString::Printf(TEXT("%s=%d %.2f %5.1f%%"), TEXT("x"), -3, 1.5, 2.25), TEXT("x=-3 1.50   2.2%"));
    EXPECT_EQ(FString(TEXT("  a b ")).TrimStartAndEnd(), TEXT("a b"));
    EXPECT_EQ(FString(TEXT("aXbXc")).Replace(TEXT("x"), TEXT("--")), TEXT("a--b--c"));
}

TEST(Name, CaseInsensitiveKeepsFirstSpelling) {
    const FName A(TEXT("SceneCaptureTextureTarget"));
    const FName B(TEXT("scenecapturetexturetarget"));
    EXPECT_EQ(A, B);
    EXPECT_EQ(B.ToString(), TEXT("SceneCaptureTextureTarget"));
    EXPECT_TRUE(FName().IsNone());
    EXPECT_TRUE(FName(TEXT("None")).IsNone());
    EXPECT_EQ(FName(A, 1).ToString(), TEXT("SceneCaptureTextureTarget_0"));
    EXPECT_EQ(FName(TEXT("NeverSeenBefore42"), FNAME_Find), FName());
}

struct FBase : public TSharedFromThis<FBase> {
    virtual ~FBase() = default;
    int32 Calls = 0;
};
struct FDerived : public FBase {
    void Run(int32 Add) { Calls += Add; }
    TBaseDelegate<void> Bind(int32 Add) { return TBaseDelegate<void>::CreateSP(this, &FDerived::Run, Add); }
};

TEST(SharedPointer, SharedFromThisThroughBaseAndWeakPins) {
    TSharedRef<FBase> Ref = MakeShareable(new FDerived);
    TSharedPtr<FBase> Ptr = Ref;
    TWeakPtr<FBase> Weak = Ptr;
    EXPECT_EQ(Ref->AsShared(), Ref);
    EXPECT_EQ(Ref.GetSharedReferenceCount(), 2); // Ref and Ptr
    EXPECT_TRUE(Weak.Pin().IsValid());
    Ptr.Reset();
    EXPECT_TRUE(Weak.IsValid());
}

TEST(Delegate, BoundToSharedObjectWithPayloadUnbindsWhenObjectDies) {
    TBaseDelegate<void> Action;
    TWeakPtr<FBase> Weak;
    {
        TSharedRef<FDerived> Obj = MakeShared<FDerived>();
        Weak = Obj;
        Action = Obj->Bind(5);
        ASSERT_TRUE(Action.IsBound());
        Action.Execute();
        EXPECT_TRUE(Action.ExecuteIfBound());
        EXPECT_EQ(Obj->Calls, 10);
    }
    EXPECT_FALSE(Weak.IsValid()); // the delegate holds it weakly
    EXPECT_FALSE(Action.IsBound());
    EXPECT_FALSE(Action.ExecuteIfBound());
}

TEST(Delegate, LambdaWithReturnValue) {
    auto D = TBaseDelegate<bool, int32>::CreateLambda([](int32 A, int32 B) { return A > B; }, 3);
    EXPECT_TRUE(D.Execute(4));
    EXPECT_FALSE(D.Execute(2));
}

} // namespace

// The editor loop: tickables ticked once per frame in the editor, and the fixed frame rate
// held by waiting out each frame period (on a clock the test controls).
#include "EditorFixture.h"
#include "Engine/Engine.h"
#include "Tickable.h"

namespace {

class FCountingTicker : public FTickableGameObject {
public:
    FCountingTicker(FFakeClock* InClock, double InWork, bool bInEditor) : Clock(InClock), Work(InWork), bInEditor(bInEditor) {}
    void Tick(float DeltaTime) override {
        Deltas.push_back(DeltaTime);
        if (Clock) Clock->Now += Work; // the time this tick takes
        if (OnTick) OnTick();
    }
    bool IsTickable() const override { return bTickable; }
    TStatId GetStatId() const override { RETURN_QUICK_DECLARE_CYCLE_STAT(FCountingTicker, STATGROUP_Tickables); }
    bool IsTickableInEditor() const override { return bInEditor; }

    FFakeClock* Clock;
    double Work;
    bool bInEditor;
    bool bTickable = true;
    std::vector<float> Deltas;
    std::function<void()> OnTick;
};

using EditorLoopTest = EditorTest;

TEST_F(EditorLoopTest, FixedFrameRateIsHeldBySleepingTheRestOfTheFrame) {
    FFakeClock Clock;
    StartEditor(true, &Clock);
    FCountingTicker Ticker(&Clock, 0.005, true);
    GEngine->bUseFixedFrameRate = true;
    GEngine->FixedFrameRate = 60.f;
    for (int I = 0; I < 10; ++I) Loop.Tick();
    ASSERT_EQ(Ticker.Deltas.size(), 10u);
    for (float D : Ticker.Deltas) EXPECT_NEAR(D, 1.0 / 60.0, 1e-6);
    ASSERT_EQ(Clock.Sleeps.size(), 9u); // the first frame has nothing to wait for
    for (double S : Clock.Sleeps) EXPECT_NEAR(S, 1.0 / 60.0 - 0.005, 1e-9);
    EXPECT_EQ(Loop.GetStats().Frames, 10u);
    EXPECT_NEAR(Loop.GetStats().AverageFrameSeconds(), 1.0 / 60.0, 1e-6);
}

TEST_F(EditorLoopTest, ASlowFrameIsNotPaddedAndReportsItsRealTime) {
    FFakeClock Clock;
    StartEditor(true, &Clock);
    FCountingTicker Ticker(&Clock, 0.025, true);
    GEngine->bUseFixedFrameRate = true;
    GEngine->FixedFrameRate = 60.f;
    for (int I = 0; I < 4; ++I) Loop.Tick();
    EXPECT_TRUE(Clock.Sleeps.empty());
    for (size_t I = 1; I < Ticker.Deltas.size(); ++I) EXPECT_NEAR(Ticker.Deltas[I], 0.025, 1e-6);
}

TEST_F(EditorLoopTest, WithoutFixedRateTheLoopCapsAt120) {
    FFakeClock Clock;
    StartEditor(true, &Clock);
    FCountingTicker Ticker(&Clock, 0.001, true);
    GEngine->bUseFixedFrameRate = false;
    for (int I = 0; I < 3; ++I) Loop.Tick();
    for (double S : Clock.Sleeps) EXPECT_NEAR(S, 1.0 / 120.0 - 0.001, 1e-9);
    // A module switching the rate on takes effect from the next frame.
    Ticker.OnTick = [] {
        GEngine->bUseFixedFrameRate = true;
        GEngine->FixedFrameRate = 60.f;
    };
    Loop.Tick();
    Loop.Tick();
    EXPECT_NEAR(Clock.Sleeps.back(), 1.0 / 60.0 - 0.001, 1e-9);
}

TEST_F(EditorLoopTest, OnlyEditorTickablesTickOncePerFrame) {
    FFakeClock Clock;
    StartEditor(true, &Clock);
    FCountingTicker Editor(&Clock, 0, true), GameOnly(&Clock, 0, false), Off(&Clock, 0, true);
    Off.bTickable = false;
    for (int I = 0; I < 5; ++I) Loop.Tick();
    EXPECT_EQ(Editor.Deltas.size(), 5u);
    EXPECT_TRUE(GameOnly.Deltas.empty());
    EXPECT_TRUE(Off.Deltas.empty());
    const TStatId Stat = Editor.GetStatId();
    ASSERT_TRUE(Stat.IsValidStat());
    EXPECT_EQ(Stat.GetDescription()->Name, FName(TEXT("FCountingTicker")));
    EXPECT_EQ(Stat.GetDescription()->Group, FName(TEXT("STATGROUP_Tickables")));
    EXPECT_EQ(Stat.GetDescription()->GroupDescription, TEXT("Tickables"));
    EXPECT_EQ(Stat.GetDescription()->Category, TEXT("STATCAT_Advanced"));
    EXPECT_GE(Stat.GetDescription()->Calls, 5u);
}

TEST_F(EditorLoopTest, TickablesMayCreateAndDestroyTickablesWhileTicking) {
    FFakeClock Clock;
    StartEditor(true, &Clock);
    auto* Victim = new FCountingTicker(&Clock, 0, true);
    std::unique_ptr<FCountingTicker> Born;
    FCountingTicker Killer(&Clock, 0, true);
    Killer.OnTick = [&] {
        if (Victim) { delete Victim; Victim = nullptr; }
        if (!Born) Born = std::make_unique<FCountingTicker>(&Clock, 0, true);
    };
    Loop.Tick(); // the victim was listed before the killer; it ticks, then dies
    Loop.Tick();
    EXPECT_EQ(Killer.Deltas.size(), 2u);
    ASSERT_TRUE(Born);
    EXPECT_EQ(Born->Deltas.size(), 1u); // from the frame after it was made
}

} // namespace

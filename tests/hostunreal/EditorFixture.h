#pragma once
// A started editor (engine loop after PreInit and Init) for each test, shut down after it.
#include "UE4Host/EngineLoop.h"
#include "CoreUObject.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

// Time that moves only when the loop sleeps or a test advances it.
struct FFakeClock : UE4Host::IFrameClock {
    double Now = 1000.0;
    std::vector<double> Sleeps;
    double Seconds() override { return Now; }
    void Sleep(double S) override { Sleeps.push_back(S); Now += S; }
};

class EditorTest : public ::testing::Test {
protected:
    void StartEditor(bool bSingleThreaded = false, UE4Host::IFrameClock* Clock = nullptr, const char* ContentDir = MIRROR_EXAMPLES_CONTENT) {
        UE4Host::FEngineLoopOptions Options;
        Options.ContentDir = FString(ContentDir);
        Options.bSingleThreaded = bSingleThreaded;
        Options.Clock = Clock;
        ASSERT_EQ(Loop.PreInit(Options), 0);
        ASSERT_EQ(Loop.Init(), 0);
        bStarted = true;
    }
    void TearDown() override {
        if (bStarted) Loop.Exit();
    }
    UE4Host::FEngineLoop Loop;
    bool bStarted = false;
};

// Events reported by the test module (see testmodule/TestModule.cpp).
std::vector<std::string>& ModuleEvents();

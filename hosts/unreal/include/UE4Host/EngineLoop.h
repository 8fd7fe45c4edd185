#pragma once
// Stand-in only: the editor's start-up, frame loop and shut-down, as the editor program
// runs them (the engine's own FEngineLoop lives in its launcher).
#include "CoreMinimal.h"

namespace UE4Host {

// Where the loop reads time and how it waits; tests substitute a clock of their own.
class IFrameClock {
public:
    virtual ~IFrameClock() = default;
    virtual double Seconds() = 0;
    virtual void Sleep(double Seconds) = 0;
};
ENGINE_API IFrameClock& RealClock();

struct FEngineLoopOptions {
    FString ContentDir;              // mounted at "/Game/"; empty for none
    bool bSingleThreaded = false;    // no render thread: render commands run at once
    TArray<FString> PluginFiles;     // ".uplugin" descriptors whose modules are loaded
    TArray<FString> BinariesDirs;    // where module libraries are looked for
    IFrameClock* Clock = nullptr;    // the real clock when null
};

struct FFrameStats {
    uint64 Frames = 0;
    double LastDeltaSeconds = 0;
    double TotalDeltaSeconds = 0;    // sum of reported frame times
    double TotalSleepSeconds = 0;    // time slept to hold the frame rate
    double AverageFrameSeconds() const { return Frames ? TotalDeltaSeconds / double(Frames) : 0.0; }
};

class ENGINE_API FEngineLoop {
public:
    // Objects, content, render thread, the editor engine with its world, then the modules
    // of the default phase ("AssetTools" and plug-in modules loading by "Default").
    // Returns 0, or 1 with an error printed.
    int32 PreInit(const FEngineLoopOptions& Options);
    // Plug-in modules of the "PostEngineInit" phase.
    int32 Init();
    // One frame: wait to hold a fixed frame rate, tick the tickables in the editor, send the
    // world's end-of-frame updates.
    void Tick();
    // The engine's exit order: "AssetTools" is abandoned, OnPreExit is broadcast, the editor
    // world and every object are destroyed, the render thread and the RHI stop, and only
    // then are the modules shut down (last loaded first), their libraries left loaded.
    void Exit();
    const FFrameStats& GetStats() const { return Stats; }

private:
    int32 LoadPluginModules(const TCHAR* Phase);
    FEngineLoopOptions Options;
    IFrameClock* Clock = nullptr;
    double LastFrameStart = 0;
    FFrameStats Stats;
};

} // namespace UE4Host

#pragma once
// Stand-in only: the editor's console commands (typed on standard input or given with
// -ExecCmds). "help" lists them.
#include "UE4Host/EngineLoop.h"
#include "CoreUObject.h"

namespace UE4Host {

class ENGINE_API FEditorConsole {
public:
    explicit FEditorConsole(const FEngineLoop& InLoop) : Loop(InLoop) {}
    // Runs one command line; what it prints goes to Out. False for an unknown command or
    // bad arguments (Out then says why).
    bool Exec(const FString& Line, FString& Out);
    bool WantsQuit() const { return bQuit; }
    // Frames the loop should run before the next command ("frames N").
    int32 TakeFramesToWait() { int32 N = FramesToWait; FramesToWait = 0; return N; }
    // Splits a command line into words; double quotes group words.
    static TArray<FString> Tokenize(const FString& Line);

private:
    bool LoadSelection(const TArray<FString>& Paths, int32 First, TArray<UObject*>& OutObjects, FString& Out);
    const FEngineLoop& Loop;
    bool bQuit = false;
    int32 FramesToWait = 0;
};

} // namespace UE4Host

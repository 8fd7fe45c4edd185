// Logging, the stat registry and the application-wide events.
#include "CoreMinimal.h"
#include "Misc/CoreDelegates.h"
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

FLogCategoryBase LogTemp(TEXT("LogTemp"));

void StandInLogLine(const TCHAR* Category, ELogVerbosity::Type Verbosity, const FString& Message) {
    static std::mutex Lock;
    std::lock_guard<std::mutex> Guard(Lock);
    const bool bError = Verbosity <= ELogVerbosity::Warning;
    const char* Level = Verbosity == ELogVerbosity::Error ? "Error: " : Verbosity == ELogVerbosity::Warning ? "Warning: " : "";
    std::FILE* Out = bError ? stderr : stdout;
    std::fprintf(Out, "%s: %s%s\n", TCHAR_TO_UTF8(Category), Level, TCHAR_TO_UTF8(*Message));
    std::fflush(Out);
    if (Verbosity == ELogVerbosity::Fatal) std::abort();
}

namespace {
struct FStats {
    std::mutex Lock;
    std::vector<FStatDescription*> All;
};
FStats& Stats() {
    static FStats* S = new FStats;
    return *S;
}
} // namespace

TStatId FStatRegistry::Register(const TCHAR* Name, const TCHAR* Group, const TCHAR* GroupDescription, const TCHAR* Category) {
    std::lock_guard<std::mutex> Guard(Stats().Lock);
    const FName StatName(Name), GroupName(Group);
    for (FStatDescription* D : Stats().All)
        if (D->Name == StatName && D->Group == GroupName) return TStatId(D);
    FStatDescription* D = new FStatDescription;
    D->Name = StatName;
    D->Group = GroupName;
    D->GroupDescription = GroupDescription;
    D->Category = Category;
    Stats().All.push_back(D);
    return TStatId(D);
}

TArray<FStatDescription*> FStatRegistry::GetStats() {
    std::lock_guard<std::mutex> Guard(Stats().Lock);
    return TArray<FStatDescription*>(Stats().All.data(), int32(Stats().All.size()));
}

FSimpleMulticastDelegate FCoreDelegates::OnPreExit;

unsigned long long FDelegateHandle::GenerateNewID() {
    static std::atomic<unsigned long long> NextID{0};
    return ++NextID;
}

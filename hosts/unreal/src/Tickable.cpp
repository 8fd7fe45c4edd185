// The engine's list of tickable objects and its per-frame walk.
#include "Tickable.h"
#include "Engine/World.h"
#include <chrono>
#include <vector>

extern bool GIsEditor;

namespace {
std::vector<FTickableGameObject*>& TickableObjects() {
    static auto* List = new std::vector<FTickableGameObject*>; // static objects of modules register early
    return *List;
}
} // namespace

FTickableGameObject::FTickableGameObject() { TickableObjects().push_back(this); }

FTickableGameObject::~FTickableGameObject() {
    auto& List = TickableObjects();
    for (size_t I = 0; I < List.size(); ++I)
        if (List[I] == this) { List.erase(List.begin() + I); break; }
}

void FTickableGameObject::TickObjects(UWorld* World, int32 TickType, bool bIsPaused, float DeltaSeconds) {
    // A snapshot, since a tick may create or destroy tickables; destroyed ones are skipped.
    const std::vector<FTickableGameObject*> Snapshot = TickableObjects();
    for (FTickableGameObject* Object : Snapshot) {
        const auto& Live = TickableObjects();
        if (std::find(Live.begin(), Live.end(), Object) == Live.end()) continue;
        if (!Object->IsTickable() || Object->GetTickableGameObjectWorld() != World) continue;
        const bool bIsGameWorld = TickType == LEVELTICK_All || (World && World->IsGameWorld());
        const bool bTick = (GIsEditor && Object->IsTickableInEditor()) ||
                           (bIsGameWorld && ((!bIsPaused && TickType != LEVELTICK_TimeOnly) || (bIsPaused && Object->IsTickableWhenPaused())));
        if (!bTick) continue;
        const TStatId Stat = Object->GetStatId();
        const auto Start = std::chrono::steady_clock::now();
        Object->Tick(DeltaSeconds);
        if (FStatDescription* D = Stat.GetDescription()) {
            ++D->Calls;
            D->Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
        }
    }
}

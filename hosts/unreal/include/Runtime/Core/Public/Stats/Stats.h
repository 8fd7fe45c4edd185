#pragma once
// Cycle stats: a stat is named and filed under a group; TStatId identifies it. The editor's
// "stat" console command reads the tick counts gathered under each stat.
#include "UObject/NameTypes.h"

struct FStatDescription {
    FName Name;
    FName Group;
    FString GroupDescription;
    FString Category;
    uint64 Calls = 0;       // updated by whoever measures under this stat
    double Seconds = 0.0;
};

class TStatId {
public:
    TStatId() = default;
    explicit TStatId(FStatDescription* InStat) : Stat(InStat) {}
    bool IsValidStat() const { return Stat != nullptr; }
    FStatDescription* GetDescription() const { return Stat; }
    bool operator==(const TStatId& O) const { return Stat == O.Stat; }

private:
    FStatDescription* Stat = nullptr;
};

struct CORE_API FStatRegistry {
    // Finds or creates the stat Name in Group; descriptions live to the end of the process.
    static TStatId Register(const TCHAR* Name, const TCHAR* Group, const TCHAR* GroupDescription, const TCHAR* Category);
    static TArray<FStatDescription*> GetStats();
};

#define DECLARE_STATS_GROUP(GroupDesc, GroupId, GroupCat) \
    struct FStatGroup_##GroupId { \
        static const TCHAR* GetGroupName() { return TEXT(#GroupId); } \
        static const TCHAR* GetDescription() { return GroupDesc; } \
        static const TCHAR* GetCategory() { return TEXT(#GroupCat); } \
    };
#define DECLARE_CYCLE_STAT(CounterName, StatId, GroupId) \
    static const TStatId& GetStatId_##StatId() { \
        static const TStatId Id = FStatRegistry::Register(TEXT(CounterName), FStatGroup_##GroupId::GetGroupName(), \
                                                          FStatGroup_##GroupId::GetDescription(), FStatGroup_##GroupId::GetCategory()); \
        return Id; \
    }
#define GET_STATID(StatId) (GetStatId_##StatId())
// Declares the stat on the first call and returns it.
#define RETURN_QUICK_DECLARE_CYCLE_STAT(StatId, GroupId) \
    static const TStatId StatId##_QuickStat = FStatRegistry::Register(TEXT(#StatId), FStatGroup_##GroupId::GetGroupName(), \
                                                                      FStatGroup_##GroupId::GetDescription(), FStatGroup_##GroupId::GetCategory()); \
    return StatId##_QuickStat;
#define QUICK_SCOPE_CYCLE_COUNTER(Stat)
#define SCOPE_CYCLE_COUNTER(Stat)

DECLARE_STATS_GROUP(TEXT("Tickables"), STATGROUP_Tickables, STATCAT_Advanced)
DECLARE_STATS_GROUP(TEXT("Game"), STATGROUP_Game, STATCAT_Advanced)

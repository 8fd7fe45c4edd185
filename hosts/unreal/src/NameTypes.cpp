// The name table: entry 0 is "None"; entries are never removed.
#include "UObject/NameTypes.h"
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

typedef std::basic_string<TCHAR> FNameString;

struct FNameTable {
    std::mutex Lock;
    std::vector<FNameString> Entries{TEXT("None")};                 // first spelling seen
    std::unordered_map<FNameString, int32> Index{{TEXT("none"), 0}}; // lower case -> entry

    int32 Lookup(const FNameString& Key, const FNameString& Display, bool bAdd) {
        std::lock_guard<std::mutex> Guard(Lock);
        auto It = Index.find(Key);
        if (It != Index.end()) return It->second;
        if (!bAdd) return -1;
        Entries.push_back(Display);
        Index.emplace(Key, int32(Entries.size()) - 1);
        return int32(Entries.size()) - 1;
    }
};

FNameTable& Table() {
    static FNameTable* T = new FNameTable; // lives to the end of the process
    return *T;
}

} // namespace

FName::FName(const TCHAR* Name, EFindName FindType) {
    if (!Name || !*Name) return;
    FNameString Display(Name);
    FNameString Key(Display);
    for (auto& C : Key) C = FChar::ToLower(C);
    int32 Found = Table().Lookup(Key, Display, FindType == FNAME_Add);
    if (Found < 0) return;
    ComparisonIndex = Found;
    DisplayIndex = Found;
}

FName::FName(const ANSICHAR* Name, EFindName FindType) : FName(UTF8_TO_TCHAR(Name), FindType) {}

FName::FName(EName Name) : FName(Name == NAME_Color ? TEXT("Color") : TEXT("")) {}

FName::FName(FName Base, int32 Number)
    : FName(Number > 0 ? *(Base.ToString() + FString::Printf(TEXT("_%d"), Number - 1)) : *Base.ToString()) {}

FString FName::ToString() const {
    std::lock_guard<std::mutex> Guard(Table().Lock);
    const FNameString& Entry = Table().Entries[DisplayIndex];
    return FString(int32(Entry.size()), Entry.data());
}

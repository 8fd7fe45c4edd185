// Saving and opening levels as text files.
#include "UE4Host/LevelFiles.h"
#include "Editor.h"
#include "Engine/World.h"
#include "GameFramework/Actor.h"
#include <fstream>
#include <sstream>
#include <string>

DEFINE_LOG_CATEGORY_STATIC(LogLevelFiles, Log, All)

namespace UE4Host {

bool SaveLevel(UWorld* World, const FString& File) {
    std::ofstream Out(TCHAR_TO_UTF8(*File));
    if (!World || !Out) {
        UE_LOG(LogLevelFiles, Error, TEXT("Cannot save the level to %s"), *File);
        return false;
    }
    Out << "Level " << TCHAR_TO_UTF8(*World->GetName()) << "\n";
    for (AActor* Actor : World->GetActors()) {
        if (Actor->IsPendingKill() || Actor->HasAnyFlags(RF_Transient)) continue;
        Out << "Actor " << TCHAR_TO_UTF8(*Actor->GetClass()->GetName()) << " " << TCHAR_TO_UTF8(*Actor->GetName()) << "\n";
    }
    Out.flush();
    if (!Out) {
        UE_LOG(LogLevelFiles, Error, TEXT("Cannot save the level to %s"), *File);
        return false;
    }
    return true;
}

UWorld* OpenLevel(const FString& File) {
    std::ifstream In(TCHAR_TO_UTF8(*File));
    std::string Line, Word, Name;
    if (!In || !std::getline(In, Line) || Line.rfind("Level ", 0) != 0) {
        UE_LOG(LogLevelFiles, Error, TEXT("%s is not a level file"), *File);
        return nullptr;
    }
    struct FEntry {
        std::string Class, Name;
    };
    std::vector<FEntry> Entries;
    while (std::getline(In, Line)) {
        std::istringstream Words(Line);
        FEntry Entry;
        if (!(Words >> Word >> Entry.Class >> Entry.Name) || Word != "Actor") {
            UE_LOG(LogLevelFiles, Warning, TEXT("%s: skipped a line that names no actor"), *File);
            continue;
        }
        Entries.push_back(Entry);
    }
    UWorld* World = GEditor->NewMap();
    for (const FEntry& Entry : Entries) {
        UClass* Class = FindObject<UClass>(ANY_PACKAGE, UTF8_TO_TCHAR(Entry.Class.c_str()));
        FActorSpawnParameters Parameters;
        Parameters.Name = FName(UTF8_TO_TCHAR(Entry.Name.c_str()));
        if (!Class || !World->SpawnActor(Class, nullptr, nullptr, Parameters))
            UE_LOG(LogLevelFiles, Warning, TEXT("%s: actor %s of class %s not made"), *File, UTF8_TO_TCHAR(Entry.Name.c_str()),
                   UTF8_TO_TCHAR(Entry.Class.c_str()));
    }
    return World;
}

} // namespace UE4Host

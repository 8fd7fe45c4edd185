// Console commands of the editor program.
#include "UE4Host/EditorConsole.h"
#include "UE4Host/Content.h"
#include "UE4Host/LevelFiles.h"
#include "AssetToolsModule.h"
#include "Editor.h"
#include "UE4Host/Menus.h"

namespace UE4Host {

namespace {
const TCHAR* const HelpText =
    TEXT("Commands:\n")
    TEXT("  assets                            list the assets of the content folders\n")
    TEXT("  menu <asset>...                   show the context menu of a selection of assets\n")
    TEXT("  menurun \"<entry>\" <asset>...      choose a context-menu entry for a selection\n")
    TEXT("  newlevel                          open a new, empty level in place of the editor world\n")
    TEXT("  savelevel <file>                  save the editor world's actors (not transient ones) to a file\n")
    TEXT("  openlevel <file>                  open a saved level in place of the editor world\n")
    TEXT("  stat tickables                    tick statistics: frames, frame time, ticks per object\n")
    TEXT("  frames <n>                        let n frames run before the next command\n")
    TEXT("  quit                              unload the modules and exit\n");
} // namespace

TArray<FString> FEditorConsole::Tokenize(const FString& Line) {
    TArray<FString> Words;
    FString Word;
    bool bQuoted = false, bHave = false;
    for (int32 I = 0; I < Line.Len(); ++I) {
        const TCHAR C = Line[I];
        if (C == TEXT('"')) { bQuoted = !bQuoted; bHave = true; continue; }
        if (!bQuoted && FChar::IsWhitespace(C)) {
            if (bHave) Words.Add(Word);
            Word.Empty();
            bHave = false;
            continue;
        }
        Word.AppendChar(C);
        bHave = true;
    }
    if (bHave) Words.Add(Word);
    return Words;
}

bool FEditorConsole::LoadSelection(const TArray<FString>& Words, int32 First, TArray<UObject*>& OutObjects, FString& Out) {
    if (First >= Words.Num()) {
        Out += TEXT("No assets given\n");
        return false;
    }
    for (int32 I = First; I < Words.Num(); ++I) {
        UObject* Asset = StaticLoadObject(UObject::StaticClass(), nullptr, *Words[I]);
        if (!Asset) {
            Out += FString::Printf(TEXT("Asset not found: %s\n"), *Words[I]);
            return false;
        }
        OutObjects.Add(Asset);
    }
    return true;
}

bool FEditorConsole::Exec(const FString& Line, FString& Out) {
    const TArray<FString> Words = Tokenize(Line);
    if (Words.Num() == 0) return true;
    const FString& Command = Words[0];

    if (Command == TEXT("help")) {
        Out += HelpText;
        return true;
    }
    if (Command == TEXT("quit") || Command == TEXT("exit")) {
        bQuit = true;
        return true;
    }
    if (Command == TEXT("assets")) {
        for (const FAssetData& Asset : ListContentAssets())
            Out += FString::Printf(TEXT("%s %s\n"), *Asset.PackageName.ToString(), *Asset.AssetClass.ToString());
        return true;
    }
    if (Command == TEXT("frames") && Words.Num() == 2 && Words[1].IsNumeric() && FCString::Atoi(*Words[1]) >= 0) {
        FramesToWait = FCString::Atoi(*Words[1]);
        return true;
    }
    if (Command == TEXT("newlevel") && Words.Num() == 1) {
        UWorld* World = GEditor->NewMap();
        Out += FString::Printf(TEXT("New level %s\n"), *World->GetPathName());
        return true;
    }
    if (Command == TEXT("savelevel") && Words.Num() == 2) {
        if (!SaveLevel(GEditor->GetEditorWorldContext().World(), Words[1])) return false;
        Out += FString::Printf(TEXT("Saved level %s\n"), *Words[1]);
        return true;
    }
    if (Command == TEXT("openlevel") && Words.Num() == 2) {
        UWorld* World = OpenLevel(Words[1]);
        if (!World) return false;
        Out += FString::Printf(TEXT("Opened level %s as %s\n"), *Words[1], *World->GetPathName());
        return true;
    }
    if (Command == TEXT("stat") && Words.Num() == 2 && Words[1] == TEXT("tickables")) {
        const FFrameStats& Stats = Loop.GetStats();
        Out += FString::Printf(TEXT("Frames %llu, average frame %.2f ms, fixed frame rate %s %.1f\n"), (unsigned long long)Stats.Frames,
                               Stats.AverageFrameSeconds() * 1000.0, GEngine->bUseFixedFrameRate ? TEXT("on") : TEXT("off"), GEngine->FixedFrameRate);
        for (FStatDescription* Stat : FStatRegistry::GetStats())
            if (Stat->Group == FName(TEXT("STATGROUP_Tickables")))
                Out += FString::Printf(TEXT("  %s ticks %llu, %.3f ms per tick\n"), *Stat->Name.ToString(), (unsigned long long)Stat->Calls,
                                       Stat->Calls ? Stat->Seconds * 1000.0 / double(Stat->Calls) : 0.0);
        return true;
    }
    if (Command == TEXT("menu") || Command == TEXT("menurun")) {
        const bool bRun = Command == TEXT("menurun");
        if (bRun && Words.Num() < 3) {
            Out += TEXT("Usage: menurun \"<entry>\" <asset>...\n");
            return false;
        }
        TArray<UObject*> Selection;
        if (!LoadSelection(Words, bRun ? 2 : 1, Selection, Out)) return false;
        FMenuBuilder Menu(true, nullptr);
        FModuleManager::LoadModuleChecked<FAssetToolsModule>(TEXT("AssetTools")).Get().GetAssetActions(Selection, Menu);
        int32 Number = 0;
        for (const auto& Entry : FMenuContents::Entries(Menu)) {
            if (Entry.bSeparator) continue;
            ++Number;
            if (!bRun) {
                Out += FString::Printf(TEXT("%d. %s  [%s %s]\n"), Number, *Entry.Label.ToString(), *Entry.Icon.GetStyleSetName().ToString(),
                                       *Entry.Icon.GetStyleName().ToString());
            } else if (Entry.Label.ToString() == Words[1]) {
                const bool bRan = Entry.Action.Execute();
                Out += FString::Printf(TEXT("%s: %s\n"), *Words[1], bRan ? TEXT("done") : TEXT("not available"));
                return bRan;
            }
        }
        if (bRun) {
            Out += FString::Printf(TEXT("No entry \"%s\" in the menu of this selection\n"), *Words[1]);
            return false;
        }
        if (Number == 0) Out += TEXT("(no actions)\n");
        return true;
    }
    Out += FString::Printf(TEXT("Command not recognized: %s\n"), *Line);
    return false;
}

} // namespace UE4Host

// ue4editor: the editor program. Starts the engine, loads the plug-in modules in the
// editor's order, runs the editor loop, and takes console commands from -ExecCmds and
// standard input until "quit".
//
//   ue4editor [-Content=<dir>] [-Plugin=<file.uplugin>]... [-ModuleDir=<dir>]...
//             [-ExecCmds="cmd1, cmd2, ..."] [-onethread]
#include "UE4Host/EditorConsole.h"
#include <cstdio>
#include <deque>
#include <poll.h>
#include <strings.h>
#include <string>
#include <unistd.h>

namespace {

bool TakeValue(const std::string& Arg, const char* Name, std::string& Value) {
    const std::string Prefix = std::string("-") + Name + "=";
    if (Arg.size() < Prefix.size() || strncasecmp(Arg.c_str(), Prefix.c_str(), Prefix.size()) != 0) return false;
    Value = Arg.substr(Prefix.size());
    return true;
}

// Lines that arrived on standard input, read without blocking the loop.
class FStdinLines {
public:
    void Poll(std::deque<std::string>& Lines) {
        if (bClosed) return;
        pollfd Fd{0, POLLIN, 0};
        while (poll(&Fd, 1, 0) > 0) {
            char Buf[4096];
            const ssize_t N = read(0, Buf, sizeof Buf);
            if (N <= 0) { bClosed = true; break; }
            Pending.append(Buf, size_t(N));
        }
        for (size_t Pos; (Pos = Pending.find('\n')) != std::string::npos;) {
            Lines.push_back(Pending.substr(0, Pos));
            Pending.erase(0, Pos + 1);
        }
        if (bClosed && !Pending.empty()) {
            Lines.push_back(Pending);
            Pending.clear();
        }
    }

private:
    std::string Pending;
    bool bClosed = false;
};

void Print(const FString& Text) {
    if (Text.IsEmpty()) return;
    std::fputs(TCHAR_TO_UTF8(*Text), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    UE4Host::FEngineLoopOptions Options;
    std::deque<std::string> Commands;
    for (int I = 1; I < argc; ++I) {
        const std::string Arg = argv[I];
        std::string Value;
        if (TakeValue(Arg, "Content", Value)) Options.ContentDir = FString(Value.c_str());
        else if (TakeValue(Arg, "Plugin", Value)) Options.PluginFiles.Add(FString(Value.c_str()));
        else if (TakeValue(Arg, "ModuleDir", Value)) Options.BinariesDirs.Add(FString(Value.c_str()));
        else if (TakeValue(Arg, "ExecCmds", Value)) {
            TArray<FString> Parts;
            FString(Value.c_str()).ParseIntoArray(Parts, TEXT(","), true);
            for (const FString& Part : Parts) Commands.push_back(TCHAR_TO_UTF8(*Part.TrimStartAndEnd()));
        } else if (strcasecmp(Arg.c_str(), "-onethread") == 0) Options.bSingleThreaded = true;
        else {
            std::fprintf(stderr, "ue4editor: unknown option %s\n"
                                 "usage: ue4editor [-Content=<dir>] [-Plugin=<file.uplugin>]... [-ModuleDir=<dir>]... "
                                 "[-ExecCmds=\"cmd, cmd\"] [-onethread]\n", argv[I]);
            return 2;
        }
    }

    UE4Host::FEngineLoop Loop;
    if (Loop.PreInit(Options) != 0 || Loop.Init() != 0) {
        Loop.Exit();
        return 1;
    }
    UE4Host::FEditorConsole Console(Loop);
    FStdinLines Stdin;
    int32 Wait = 0;
    while (!Console.WantsQuit()) {
        Loop.Tick();
        Stdin.Poll(Commands);
        if (Wait > 0) { --Wait; continue; }
        // Commands run between frames until one asks for frames to pass.
        while (!Commands.empty() && !Console.WantsQuit() && Wait == 0) {
            const std::string Line = Commands.front();
            Commands.pop_front();
            FString Out;
            Console.Exec(FString(Line.c_str()), Out);
            Print(Out);
            Wait = Console.TakeFramesToWait();
        }
    }
    Loop.Exit();
    return 0;
}

// `maya`: plays Maya for the plug-in. Runs a MEL script in batch mode, or reads MEL from a
// prompt when standard input is a terminal; the idle loop runs timer callbacks meanwhile.
#include "Host.h"
#include "Mel.h"
#include "Messages.h"
#include "Viewport.h"

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

using namespace mayahost;

namespace {

void usage() {
    std::fprintf(stderr,
                 "usage: maya [-batch] [-script file.mel] [-command \"mel\"] [-viewport WIDTHxHEIGHT] [-frameTimes file]\n"
                 "  -batch      no prompt: run the script (or standard input) and quit\n"
                 "  -script     MEL script to run at start-up\n"
                 "  -command    MEL command to run at start-up (after the script)\n"
                 "  -viewport   size of the model panel in pixels (default 640x480)\n"
                 "  -frameTimes file to write the time of every viewport frame to at exit (ms, one a line)\n");
}

bool parseSize(const std::string& text, int& width, int& height) {
    int w = 0, h = 0;
    char x = 0;
    std::istringstream in(text);
    if (!(in >> w >> x >> h) || x != 'x' || w <= 0 || h <= 0 || w > 16384 || h > 16384) return false;
    std::string rest;
    if (in >> rest) return false;
    width = w;
    height = h;
    return true;
}

// Waits for input while the idle loop runs the timers and the redraws they ask for.
bool waitForInput() {
    for (;;) {
        double next = host::idleStep();
        double now = messages::idleClock();
        int timeout = next < 0 ? -1 : static_cast<int>(std::max(0.0, (next - now) * 1000.0)) + 1;
        pollfd fd{0, POLLIN, 0};
        int ready = poll(&fd, 1, timeout);
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

// A statement is complete when its braces, brackets and quotes are closed.
bool complete(const std::string& text) {
    int depth = 0;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '\\') ++i;
            else if (c == '"') quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == '{' || c == '(') {
            ++depth;
        } else if (c == '}' || c == ')') {
            --depth;
        }
    }
    return !quoted && depth <= 0;
}

void prompt() {
    std::string pending, line;
    for (;;) {
        std::fputs(pending.empty() ? "mel> " : "...> ", stdout);
        std::fflush(stdout);
        if (!waitForInput() || !std::getline(std::cin, line)) break;
        pending += line + "\n";
        if (!complete(pending)) continue;
        if (pending.find_first_not_of(" \t\n") == std::string::npos) {
            pending.clear();
            continue;
        }
        mel::Value result = mel::run(pending, "");
        pending.clear();
        std::string text = result.resultText();
        if (!text.empty()) mel::print("// Result: " + text + " //\n");
    }
    std::fputs("\n", stdout);
}

} // namespace

int main(int argc, char** argv) {
    bool batch = false;
    std::string script, command, frameTimes;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "maya: %s needs a value\n", a.c_str());
                usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "-batch") batch = true;
        else if (a == "-script") script = value();
        else if (a == "-command") command = value();
        else if (a == "-frameTimes") frameTimes = value();
        else if (a == "-viewport") {
            std::string size = value();
            if (!parseSize(size, host::viewport().width, host::viewport().height)) {
                std::fprintf(stderr, "maya: bad viewport size '%s' (expected WIDTHxHEIGHT)\n", size.c_str());
                return 2;
            }
        } else if (a == "-help" || a == "--help") {
            usage();
            return 0;
        } else {
            std::fprintf(stderr, "maya: unknown option '%s'\n", a.c_str());
            usage();
            return 2;
        }
    }
    bool terminal = isatty(0);
    host::preferences().batch = batch || !terminal;
    int status = 0;
    if (!script.empty()) {
        std::ifstream in(script);
        if (!in) {
            std::fprintf(stderr, "maya: cannot read script '%s'\n", script.c_str());
            return 1;
        }
        std::stringstream text;
        text << in.rdbuf();
        mel::run(text.str(), script);
    }
    if (!command.empty()) mel::run(command, "");
    if (!batch && terminal) {
        prompt();
    } else if (script.empty() && command.empty()) {
        std::stringstream text;
        text << std::cin.rdbuf();
        mel::run(text.str(), "");
    }
    host::unloadAllPlugins();
    if (!frameTimes.empty()) {
        std::ofstream out(frameTimes);
        for (double seconds : vp2::frameSeconds()) out << seconds * 1000.0 << "\n";
        if (!out) {
            std::fprintf(stderr, "maya: cannot write frame times to '%s'\n", frameTimes.c_str());
            status = 1;
        }
    }
    return status;
}

#pragma once
// The two real programs as the tests drive them: `ue4editor` with the module (console
// commands on its standard input) and `maya` with the plug-in (MEL at its interactive
// prompt, reached through a terminal), each its own process, both on the region names
// of KVT_REGION_SUFFIX.

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// Bounded waits: long enough for a loaded machine and a sanitizer build, never a
// measure of speed.
constexpr int kStartMs = 60000;
constexpr int kCommandMs = 60000;

// A child process whose standard output (and error) the test reads, and whose standard
// input it writes: a pipe pair, or a terminal for programs that only prompt on one.
class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool start(const std::string& path, const std::vector<std::string>& args, bool terminal);
    void send(const std::string& text);
    // Position just after the first `text` at or after `from` in the output, waiting up
    // to `timeoutMs`; std::string::npos if it did not come (or the program ended first).
    size_t waitFor(const std::string& text, size_t from, int timeoutMs);
    std::string output() const;
    size_t outputSize() const;

    void signal(int sig);
    // Exit status (the signal number + 128 for a killed program), or -1 if it is still
    // running after `timeoutMs`.
    int wait(int timeoutMs);
    bool running();
    pid_t pid() const { return pid_; }
    // Resident memory in KiB from /proc, 0 if unknown.
    long residentKb() const;

private:
    void readLoop();

    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    bool exited_ = false;
    int status_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string output_;
    bool closed_ = false;
};

// The editor with the module and the example content.
class Editor {
public:
    // Starts it and waits until its regions are up (its pid in the response header).
    bool start();
    // Runs one console command; returns the output that contains `expect`, or "" when
    // it did not come.
    std::string command(const std::string& line, const std::string& expect);
    // "quit" and waits for the exit (killed when it does not come); true when it quit.
    bool quit();
    Program& program() { return program_; }
    pid_t pid() const { return program_.pid(); }

private:
    Program program_;
};

// Maya with the plug-in loaded, the model panel drawn through "Mirror".
class Maya {
public:
    bool start(int width, int height, bool loadPlugin = true);
    // Runs one MEL statement (newlines are joined) at the prompt and returns what it printed.
    std::string mel(const std::string& statement);
    // Draws a frame and saves it; the path of the picture.
    std::string picture(const std::string& name);
    void kill();
    Program& program() { return program_; }
    pid_t pid() const { return program_.pid(); }

private:
    Program program_;
    std::string dir_;
};

// The headers of the live regions, read as kvt-inspect reads them (never written).
struct LinkState {
    bool present = false;
    std::uint64_t requestFrame = 0, responseFrame = 0;
    std::uint32_t ownerPid = 0, responderPid = 0;
    std::uint32_t requestView = 0, responseView = 0;
    std::uint8_t newSession = 0;
};
LinkState linkState();

// A fresh region-name suffix in KVT_REGION_SUFFIX, inherited by the programs started
// after it.
std::string useFreshRegionNames(const std::string& base);

// Sizes in bytes of the files behind the three regions of the current suffix, 0 where
// one is absent (the POSIX mapping lives in /dev/shm).
std::uint64_t regionFileBytes(const std::string& name);

std::string tempDir();

// Removes the region names of the current suffix that a killed program left behind.
void removeRegionNames();

} // namespace e2e

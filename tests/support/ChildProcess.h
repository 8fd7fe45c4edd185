#pragma once
// Starting a second real process for the tests: the link's peers are other processes.

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess(); // kills and reaps a child still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program` with `args`; false when it cannot be started.
    bool start(const std::string& program, const std::vector<std::string>& args);
    // Waits for the exit and returns the exit code (-1 when it did not exit normally).
    int wait();
    void kill();
    std::uint32_t pid() const { return pid_; }
    bool running() const { return running_; }

private:
    std::uint32_t pid_ = 0;
    bool running_ = false;
    void* handle_ = nullptr; // process handle where the platform has one
};

// Lets every other process open this one with the query right alone (and SYNCHRONIZE),
// as an elevated host looks to a host that is not. False where the platform has no such
// rights or the change failed.
bool restrictOwnProcessAccess();
bool processAccessCanBeRestricted();

// Path of an executable built next to the running test program.
std::string siblingExecutable(const std::string& name);

// A region-name prefix unique to this process and call, so that tests never meet the
// real regions or each other.
std::string uniqueName(const std::string& base);

} // namespace testsupport

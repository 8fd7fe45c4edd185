#include "ChildProcess.h"

#include <atomic>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

ChildProcess::~ChildProcess()
{
    if (running_) {
        kill();
        wait();
    }
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    pid_ = static_cast<std::uint32_t>(pid);
    running_ = true;
    return true;
}

int ChildProcess::wait()
{
    if (!running_)
        return -1;
    int status = 0;
    while (waitpid(static_cast<pid_t>(pid_), &status, 0) < 0) {
    }
    running_ = false;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ChildProcess::kill()
{
    if (running_)
        ::kill(static_cast<pid_t>(pid_), SIGKILL);
}

std::string siblingExecutable(const std::string& name)
{
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string self(path, n > 0 ? static_cast<size_t>(n) : 0);
    return self.substr(0, self.rfind('/') + 1) + name;
}

std::string uniqueName(const std::string& base)
{
    static std::atomic<int> counter{0};
    return base + std::to_string(getpid()) + "_" + std::to_string(counter++);
}

// Signals reach any process of the same user; there is no narrower right to grant.
bool restrictOwnProcessAccess() { return false; }
bool processAccessCanBeRestricted() { return false; }

} // namespace testsupport

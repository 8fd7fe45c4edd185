#pragma once
// Runs a shell command and returns what it wrote to standard output (POSIX tests only).

#include <cstdio>
#include <string>

#include <sys/wait.h>

namespace testsupport {

// `status` receives the exit status, or -1 when the command did not exit normally.
inline std::string runCommand(const std::string& command, int* status = nullptr)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        if (status)
            *status = -1;
        return output;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    int rc = pclose(pipe);
    if (status)
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return output;
}

} // namespace testsupport

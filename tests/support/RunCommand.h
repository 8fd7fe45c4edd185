#pragma once
// Runs a command through the platform's command interpreter (sh, or cmd.exe on Windows)
// and returns what it wrote to standard output.

#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace testsupport {

// `status` receives the exit status, or -1 when the command did not exit normally.
inline std::string runCommand(const std::string& command, int* status = nullptr)
{
    std::string output;
#ifdef _WIN32
    FILE* pipe = _popen(command.c_str(), "rb");
#else
    FILE* pipe = popen(command.c_str(), "r");
#endif
    if (!pipe) {
        if (status)
            *status = -1;
        return output;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
#ifdef _WIN32
    int rc = _pclose(pipe);
    if (status)
        *status = rc;
    // Windows programs end their lines with CR LF: compare text as written on Linux.
    std::string text;
    for (char c : output)
        if (c != '\r')
            text += c;
    output = text;
#else
    int rc = pclose(pipe);
    if (status)
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
#endif
    return output;
}

// Sets an environment variable for the life of the object (children started meanwhile
// inherit it), then removes it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const std::string& name, const std::string& value) : name_(name)
    {
#ifdef _WIN32
        _putenv_s(name.c_str(), value.c_str());
#else
        setenv(name.c_str(), value.c_str(), 1);
#endif
    }
    ~ScopedEnvironment()
    {
#ifdef _WIN32
        _putenv_s(name_.c_str(), "");
#else
        unsetenv(name_.c_str());
#endif
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
};

} // namespace testsupport

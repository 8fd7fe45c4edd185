#include "ChildProcess.h"

#include <atomic>
#include <windows.h>

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
    std::string commandLine = "\"" + program + "\"";
    for (const std::string& a : args)
        commandLine += " \"" + a + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    handle_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    running_ = true;
    return true;
}

int ChildProcess::wait()
{
    if (!running_)
        return -1;
    WaitForSingleObject(handle_, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(handle_, &code);
    CloseHandle(handle_);
    handle_ = nullptr;
    running_ = false;
    return static_cast<int>(code);
}

void ChildProcess::kill()
{
    if (running_)
        TerminateProcess(handle_, 9);
}

std::string siblingExecutable(const std::string& name)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, n);
    return self.substr(0, self.find_last_of("\\/") + 1) + name + ".exe";
}

std::string uniqueName(const std::string& base)
{
    static std::atomic<int> counter{0};
    return base + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(counter++);
}

} // namespace testsupport

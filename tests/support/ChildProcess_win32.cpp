#include "ChildProcess.h"

#include <atomic>
#include <windows.h>

#include <aclapi.h>

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

bool processAccessCanBeRestricted() { return true; }

bool restrictOwnProcessAccess()
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return false;
    EXPLICIT_ACCESSA access{};
    access.grfAccessPermissions = PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = static_cast<LPSTR>(everyone);
    PACL acl = nullptr;
    bool ok = SetEntriesInAclA(1, &access, nullptr, &acl) == ERROR_SUCCESS &&
              SetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, acl,
                              nullptr) == ERROR_SUCCESS;
    if (acl)
        LocalFree(acl);
    FreeSid(everyone);
    return ok;
}

} // namespace testsupport

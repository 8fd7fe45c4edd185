#pragma once
// How the tests start the inspector: by its build path on Linux; on Windows as a user types
// it, "kvt-inspect.exe" in the folder that holds it (the build copies it beside the test).

#include <string>

#ifdef _WIN32
#include "ChildProcess.h"
#include <filesystem>
#endif

inline std::string inspector()
{
#ifdef _WIN32
    static const bool moved = [] {
        std::error_code ignored;
        std::filesystem::current_path(std::filesystem::path(testsupport::siblingExecutable("kvt-inspect")).parent_path(),
                                      ignored);
        return true;
    }();
    (void)moved;
    return "kvt-inspect.exe";
#else
    return KVT_INSPECT;
#endif
}

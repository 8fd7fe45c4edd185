#pragma once
// The operating-system services the installer uses, one virtual call per
// Windows call it relies on, with the Windows meaning kept: status codes are Win32 error
// codes, sizes are in the units the Win32 call counts in. The search and decision logic
// (Installer.cpp) only talks to this seam, so that it runs against a fake registry on
// Linux; Win32Platform.cpp is the real thing.

#include <cstdint>
#include <string>

namespace kvt::setup {

// Win32 error codes the logic tells apart (winerror.h values; Win32Platform.cpp checks them).
using Status = long;
inline constexpr Status kSuccess = 0;          // ERROR_SUCCESS
inline constexpr Status kFileNotFound = 2;     // ERROR_FILE_NOT_FOUND
inline constexpr Status kAccessDenied = 5;     // ERROR_ACCESS_DENIED
inline constexpr Status kMoreData = 234;       // ERROR_MORE_DATA
inline constexpr Status kNoMoreItems = 259;    // ERROR_NO_MORE_ITEMS

// The two predefined roots the installer reads.
enum class Root { LocalMachine, CurrentUser };

// An open registry key as the platform gives it (an HKEY on Windows).
using Key = std::uintptr_t;

class SetupPlatform {
public:
    virtual ~SetupPlatform() = default;

    // RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, &key), native view.
    virtual Status openKey(Root root, const std::u16string& path, Key& key) = 0;

    // RegEnumKeyExW(key, index, name, &nameChars, ...): nameChars is the buffer size in
    // UTF-16 units on entry and the name's length (terminator excluded) on success; the
    // name is written NUL-terminated.
    virtual Status enumKey(Key key, std::uint32_t index, char16_t* name, std::uint32_t& nameChars) = 0;

    // RegQueryValueExW(key, name, nullptr, nullptr, data, &dataBytes): dataBytes is the
    // limit on entry and the stored size on return. When the value does not fit the call
    // fails with kMoreData and the buffer's contents are unspecified.
    virtual Status queryValue(Key key, const char16_t* name, std::uint8_t* data, std::uint32_t& dataBytes) = 0;

    // RegEnumValueW(key, index, name, &nameChars, nullptr, nullptr, data, &dataBytes):
    // the two sizes as for enumKey and queryValue.
    virtual Status enumValue(Key key, std::uint32_t index, char16_t* name, std::uint32_t& nameChars,
                             std::uint8_t* data, std::uint32_t& dataBytes) = 0;

    // RegCloseKey.
    virtual void closeKey(Key key) = 0;

    // FindFirstFileW / FindClose: true when a file or folder matches the path.
    virtual bool fileExists(const std::u16string& path) = 0;

    // MessageBoxW(nullptr, text, title, MB_OK); returns when the user has closed it.
    virtual void showMessage(const std::u16string& title, const std::u16string& text) = 0;

    // The command converted to the ANSI code page and handed to the C runtime's
    // `system`, which returns when the command interpreter has ended. Its result is
    // of no interest to the installer.
    virtual void runCommand(const std::u16string& command) = 0;

    // The C runtime's `exit`. The real one does not return; a fake may, and the logic
    // then unwinds without touching the seam again.
    virtual void exitProcess(int code) = 0;
};

} // namespace kvt::setup

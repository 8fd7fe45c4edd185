// The installer's seam on Windows.

#include "Win32Platform.h"

#include "resource.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace kvt::setup {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 strings pass to the W calls as they are");
static_assert(kSuccess == ERROR_SUCCESS && kFileNotFound == ERROR_FILE_NOT_FOUND &&
              kAccessDenied == ERROR_ACCESS_DENIED && kMoreData == ERROR_MORE_DATA &&
              kNoMoreItems == ERROR_NO_MORE_ITEMS);

const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
const wchar_t* wide(const std::u16string& text) { return wide(text.c_str()); }
wchar_t* wide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

HKEY toHkey(Key key) { return reinterpret_cast<HKEY>(key); }

// UTF-16 to the given code page; the result owns a NUL-terminated copy.
std::unique_ptr<char[]> convert(const std::u16string& text, UINT codePage)
{
    int size = WideCharToMultiByte(codePage, 0, wide(text), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        size = 1;
    auto converted = std::make_unique<char[]>(static_cast<std::size_t>(size));
    converted[0] = '\0';
    WideCharToMultiByte(codePage, 0, wide(text), -1, converted.get(), size, nullptr, nullptr);
    return converted;
}

} // namespace

Status Win32Platform::openKey(Root root, const std::u16string& path, Key& key)
{
    HKEY top = root == Root::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(top, wide(path), 0, KEY_ALL_ACCESS, &opened);
    key = status == ERROR_SUCCESS ? reinterpret_cast<Key>(opened) : 0;
    return status;
}

Status Win32Platform::enumKey(Key key, std::uint32_t index, char16_t* name, std::uint32_t& nameChars)
{
    DWORD chars = nameChars;
    LSTATUS status = RegEnumKeyExW(toHkey(key), index, wide(name), &chars, nullptr, nullptr, nullptr, nullptr);
    nameChars = chars;
    return status;
}

Status Win32Platform::queryValue(Key key, const char16_t* name, std::uint8_t* data, std::uint32_t& dataBytes)
{
    DWORD bytes = dataBytes;
    LSTATUS status = RegQueryValueExW(toHkey(key), wide(name), nullptr, nullptr, data, &bytes);
    dataBytes = bytes;
    return status;
}

Status Win32Platform::enumValue(Key key, std::uint32_t index, char16_t* name, std::uint32_t& nameChars,
                                std::uint8_t* data, std::uint32_t& dataBytes)
{
    DWORD chars = nameChars;
    DWORD bytes = dataBytes;
    LSTATUS status = RegEnumValueW(toHkey(key), index, wide(name), &chars, nullptr, nullptr, data, &bytes);
    nameChars = chars;
    dataBytes = bytes;
    return status;
}

void Win32Platform::closeKey(Key key) { RegCloseKey(toHkey(key)); }

bool Win32Platform::fileExists(const std::u16string& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide(path), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

void Win32Platform::showMessage(const std::u16string& title, const std::u16string& text)
{
    if (messageLog_.empty()) {
        MessageBoxW(nullptr, wide(text), wide(title), MB_OK);
        return;
    }
    std::u16string line = title + u"\t" + text + u"\n";
    auto utf8 = convert(line, CP_UTF8);
    HANDLE log = CreateFileW(wide(messageLog_), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(log, utf8.get(), static_cast<DWORD>(std::strlen(utf8.get())), &written, nullptr);
    CloseHandle(log);
}

void Win32Platform::runCommand(const std::u16string& command)
{
    auto ansi = convert(command, CP_ACP);
    std::system(ansi.get()); // waits for the command interpreter; its result is not used
}

void Win32Platform::exitProcess(int code) { std::exit(code); }

void setConsoleIcon()
{
    HWND console = GetConsoleWindow();
    if (console == nullptr)
        return; // no console window (started detached, or under Wine without a display)
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SETUP_ICON));
    SendMessageW(console, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

} // namespace kvt::setup

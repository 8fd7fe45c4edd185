#pragma once
// The installer's seam on Windows: the registry, FindFirstFileW, MessageBoxW, the C
// runtime's `system` and `exit`.

#include "SetupPlatform.h"

#include <string>

namespace kvt::setup {

class Win32Platform final : public SetupPlatform {
public:
    // messageLog empty: messages are shown with MessageBoxW (the program's behaviour).
    // Otherwise each message is appended to that file as one UTF-8 line,
    // "title<TAB>text", instead of being shown: the Wine tests run with no one to close
    // a message box (see main.cpp, QUORBELL_SETUP_MESSAGE_LOG).
    explicit Win32Platform(std::u16string messageLog = {}) : messageLog_(std::move(messageLog)) {}

    Status openKey(Root root, const std::u16string& path, Key& key) override;
    Status enumKey(Key key, std::uint32_t index, char16_t* name, std::uint32_t& nameChars) override;
    Status queryValue(Key key, const char16_t* name, std::uint8_t* data, std::uint32_t& dataBytes) override;
    Status enumValue(Key key, std::uint32_t index, char16_t* name, std::uint32_t& nameChars, std::uint8_t* data,
                     std::uint32_t& dataBytes) override;
    void closeKey(Key key) override;
    bool fileExists(const std::u16string& path) override;
    void showMessage(const std::u16string& title, const std::u16string& text) override;
    void runCommand(const std::u16string& command) override;
    void exitProcess(int code) override;

private:
    std::u16string messageLog_;
};

// Start-up step 1: the console window's small icon becomes icon group 101 of the program.
void setConsoleIcon();

} // namespace kvt::setup

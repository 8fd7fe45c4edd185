// setup.exe: finds Maya 2018 and Unreal Engine 4.18 and runs the two side packages
// Start it in its own folder, next to the sub-folders "Maya" and "Ue".
//
// Test switch: when the environment variable QUORBELL_SETUP_MESSAGE_LOG names a file,
// messages are appended to it (UTF-8, one "title<TAB>text" line each) instead of being
// shown in message boxes, so that tests/setup/setup_wine.sh can run the real program
// unattended. Without it every message is a message box.

#include "Installer.h"
#include "Win32Platform.h"

#include <windows.h>

#include <string>

int main()
{
    kvt::setup::setConsoleIcon();

    std::u16string messageLog;
    if (const wchar_t* log = _wgetenv(L"QUORBELL_SETUP_MESSAGE_LOG"); log != nullptr)
        messageLog.assign(reinterpret_cast<const char16_t*>(log));
    kvt::setup::Win32Platform platform(messageLog);
    return kvt::setup::run(platform);
}

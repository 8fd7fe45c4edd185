/* A stand-in command interpreter for setup_wine.sh. setup.exe's `system` starts the
 * program named by ComSpec with the command line "<ComSpec> /c <command>"; the test sets
 * ComSpec to this program, which appends its whole command line, as UTF-8 and followed
 * by a line feed, to the file named by the environment variable SETUP_CMDLOG, and ends
 * with exit code 7 (the installer must not care). */

#include <windows.h>

int main(void)
{
    const wchar_t* line = GetCommandLineW();
    wchar_t path[1024];
    DWORD length = GetEnvironmentVariableW(L"SETUP_CMDLOG", path, sizeof path / sizeof path[0]);
    if (length == 0 || length >= sizeof path / sizeof path[0])
        return 90;

    int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, NULL, 0, NULL, NULL);
    if (bytes <= 0)
        return 91;
    char* utf8 = (char*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)bytes + 1);
    if (utf8 == NULL)
        return 92;
    WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, bytes, NULL, NULL);
    utf8[bytes - 1] = '\n'; /* the terminator becomes the line feed */

    HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (log == INVALID_HANDLE_VALUE)
        return 93;
    DWORD written = 0;
    BOOL ok = WriteFile(log, utf8, (DWORD)bytes, &written, NULL);
    CloseHandle(log);
    HeapFree(GetProcessHeap(), 0, utf8);
    return ok && written == (DWORD)bytes ? 7 : 94;
}

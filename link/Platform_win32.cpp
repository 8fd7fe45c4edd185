// Windows named file mappings on the paging file, as the two hosts use them.

// The whole file is one platform's: build systems that compile every source of a folder
// (the engine's build tool does) get an empty unit on the other platform.
#if defined(_WIN32)

#include "Platform.h"

#if defined(QUORBELL_ENGINE_MODULE)
// Inside the engine module (its Build.cs defines QUORBELL_ENGINE_MODULE) the engine's headers
// come before this file (the shared precompiled header, and the module's other files in a
// unity build) and the files after it see what it leaves defined: Windows' headers come in
// the engine's way, which keeps the engine's TEXT and takes Windows' type and boolean
// macros away again at the end.
#include "CoreMinimal.h"
#include "Windows/AllowWindowsPlatformTypes.h"
#include <mmsystem.h>
#include "Windows/HideWindowsPlatformTypes.h"
#else
// The least of windows.h for the Maya plug-in: min/max macros and the rarely used APIs
// would get in the way.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <mmsystem.h>
#endif

namespace kvt {
namespace platform {
namespace {

MappingHandle fromHandle(HANDLE h) { return reinterpret_cast<MappingHandle>(h); }
HANDLE toHandle(MappingHandle m) { return reinterpret_cast<HANDLE>(m); }

} // namespace

MappingHandle createMapping(const char* name, std::uint32_t maximumSize)
{
    return fromHandle(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, maximumSize, name));
}

MappingHandle openMapping(const char* name)
{
    return fromHandle(OpenFileMappingA(FILE_MAP_ALL_ACCESS, false, name));
}

std::uint8_t* mapView(MappingHandle mapping, std::uint32_t size)
{
    if (size == 0)
        return nullptr;
    return static_cast<std::uint8_t*>(MapViewOfFile(toHandle(mapping), FILE_MAP_ALL_ACCESS, 0, 0, size));
}

void unmapView(std::uint8_t* view, std::uint32_t)
{
    if (view)
        UnmapViewOfFile(view);
}

void closeMapping(MappingHandle mapping, const char*)
{
    // The mapping disappears with the last handle; there is no name to remove.
    if (mapping != 0 && mapping != kInvalidMapping)
        CloseHandle(toHandle(mapping));
}

bool mappingWasReplaced(MappingHandle, const char*)
{
    // The name cannot be given to another mapping while this handle keeps the object.
    return false;
}

std::uint32_t currentProcessId() { return GetCurrentProcessId(); }

bool isProcessAlive(std::uint32_t pid)
{
    // The least right the exit-code query needs: full access is refused when one host runs
    // elevated and the other does not, and the two would then never connect.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, false, pid);
    if (process == nullptr || process == INVALID_HANDLE_VALUE)
        return false;
    DWORD code = 0;
    bool alive = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return alive;
}

void sleepMilliseconds(std::uint32_t ms) { Sleep(ms); }

std::uint64_t tickCountMilliseconds() { return GetTickCount(); }

std::uint64_t monotonicMicroseconds()
{
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    const std::uint64_t ticks = static_cast<std::uint64_t>(count.QuadPart);
    const std::uint64_t perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
    return ticks / perSecond * 1000000u + ticks % perSecond * 1000000u / perSecond;
}

std::uint32_t wakeLeadMicroseconds() { return 2000; }

bool pausesSleep() { return false; }

// A sleep ends on a timer tick (1 ms at best): a finer pause can only yield.
void pauseMicroseconds(std::uint32_t)
{
    if (!SwitchToThread())
        Sleep(0);
}

namespace {
int timerRaises = 0;
}

void raiseTimerResolution()
{
    if (timeBeginPeriod(1) == TIMERR_NOERROR)
        ++timerRaises;
}

void restoreTimerResolution()
{
    if (timerRaises > 0 && timeEndPeriod(1) == TIMERR_NOERROR)
        --timerRaises;
}

int outstandingTimerRaises() { return timerRaises; }

// An aligned 64-bit load is atomic on x64; the fence after it keeps later reads behind it
// for both the compiler and the processor. The store is an interlocked exchange, a full
// barrier on every Windows compiler the hosts use (MSVC 2015/2017, mingw-w64). The load
// never writes, so a read-only view is fine.
std::uint64_t loadAcquire(const void* address)
{
    std::uint64_t value = *static_cast<const volatile std::uint64_t*>(address);
    MemoryBarrier();
    return value;
}

void storeRelease(void* address, std::uint64_t value)
{
    InterlockedExchange64(reinterpret_cast<volatile LONG64*>(address), static_cast<LONG64>(value));
}

} // namespace platform
} // namespace kvt

#endif

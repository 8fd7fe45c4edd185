#pragma once
// The operating-system services the link needs. One implementation per platform
// (Platform_posix.cpp, Platform_win32.cpp); nothing else in the link knows which it runs on.

#include <cstdint>

namespace kvt {
namespace platform {

// A file-mapping handle as the platform gives it. All bits set means "invalid";
// 0 counts as closed too.
using MappingHandle = std::intptr_t;
constexpr MappingHandle kInvalidMapping = -1;

// Creates the named mapping with a fixed maximum size, or returns the existing one
// of that name. Returns kInvalidMapping or 0 on failure.
MappingHandle createMapping(const char* name, std::uint32_t maximumSize);

// Opens an existing named mapping. Returns kInvalidMapping or 0 when there is none.
MappingHandle openMapping(const char* name);

// Maps `size` bytes from offset 0. Returns nullptr when the view cannot be mapped
// (the size lies beyond the mapping, or the address space is exhausted).
std::uint8_t* mapView(MappingHandle mapping, std::uint32_t size);
void unmapView(std::uint8_t* view, std::uint32_t size);

// Closes the handle. `createdName` is the name the handle was created under by this
// process, or nullptr: where names outlive their handles, the creator removes the name.
void closeMapping(MappingHandle mapping, const char* createdName);

// True when `name` now names another object than the one `mapping` holds. A Windows mapping
// lives as long as any handle, so a later creator of the name gets the same one (never
// replaced); a POSIX name goes with its creator, and a new creator of the name makes a new
// object that an old handle never sees.
bool mappingWasReplaced(MappingHandle mapping, const char* name);

std::uint32_t currentProcessId();
bool isProcessAlive(std::uint32_t pid);
void sleepMilliseconds(std::uint32_t ms);
std::uint64_t tickCountMilliseconds();
// A monotonic clock fine enough to time the wait loop's phases.
std::uint64_t monotonicMicroseconds();
// A pause shorter than a millisecond at little CPU cost: a sleep of `microseconds` where
// sleeps are that fine (POSIX), else giving up the rest of the time slice (Windows, whose
// sleeps end on a timer tick).
void pauseMicroseconds(std::uint32_t microseconds);
// True where pauseMicroseconds sleeps (cheap to repeat for long), false where it only
// yields and so keeps a core busy while it is repeated.
bool pausesSleep();
// How long before a reply is due the wait loop stops sleeping 1 ms at a time and polls
// finely: a 1 ms sleep's own overshoot with some margin (a tenth of a millisecond where
// sleeps are fine, up to a timer tick of the raised 1 ms period on Windows).
std::uint32_t wakeLeadMicroseconds();

// The wait loop sleeps in whole milliseconds while a reply is not yet due. Windows rounds a sleep up to its scheduler tick
// (15.6 ms by default) unless the timer period is raised, so the requester raises it to
// 1 ms while it is connected and restores it when it disconnects. Calls are balanced by
// the caller; elsewhere they do nothing.
void raiseTimerResolution();
void restoreTimerResolution();
// Raises not yet restored by this process (every raise must be undone: Windows keeps a
// raised period, at a cost in power, until the process exits).
int outstandingTimerRaises();

// Acquire load and release store of an aligned 64-bit value that another process reads
// and writes through its own view of the same pages.
std::uint64_t loadAcquire(const void* address);
void storeRelease(void* address, std::uint64_t value);

} // namespace platform
} // namespace kvt

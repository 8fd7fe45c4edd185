#pragma once
// The operating-system services the link needs. One implementation per platform
// (Platform_posix.cpp, Platform_win32.cpp); nothing else in the link knows which it runs on.

#include <cstdint>

namespace kvt::platform {

// A file-mapping handle as the platform gives it. All bits set means "invalid";
// 0 counts as closed too.
using MappingHandle = std::intptr_t;
inline constexpr MappingHandle kInvalidMapping = -1;

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

std::uint32_t currentProcessId();
bool isProcessAlive(std::uint32_t pid);
void sleepMilliseconds(std::uint32_t ms);
std::uint64_t tickCountMilliseconds();

} // namespace kvt::platform

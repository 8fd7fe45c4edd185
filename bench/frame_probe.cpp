// Preloaded into `ue4editor` by the frame benchmark (LD_PRELOAD): stamps, with the
// system-wide monotonic clock, the stretches in which the editor module copies the mapped
// staging surfaces into the reply, so
// that the Maya-side benchmark can split its wait into the Unreal render and the link's
// own copy. Each stamp is one 16-byte write to the file named by KVT_PROBE_FILE.
//
// The two functions are the stand-in engine's own (libue4host); the module calls them
// through the dynamic linker, so definitions here come first and forward to the next one.

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

enum : std::uint32_t { kMapped = 2, kUnmapping = 3 };

int probeFile()
{
    static const int fd = [] {
        const char* path = std::getenv("KVT_PROBE_FILE");
        return path ? ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600) : -1;
    }();
    return fd;
}

void stamp(std::uint32_t kind)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t record[2] = {kind, std::uint64_t(now.tv_sec) * 1000000000ull + std::uint64_t(now.tv_nsec)};
    if (probeFile() >= 0 && ::write(probeFile(), record, sizeof record) != sizeof record) {
        // a lost stamp only leaves that frame without its split
    }
}

template <class Fn> Fn next(const char* symbol)
{
    void* found = dlsym(RTLD_NEXT, symbol);
    if (!found)
        std::abort(); // the engine no longer has the function: the probe must be rebuilt
    return reinterpret_cast<Fn>(found);
}

#define MAP_STAGING "_ZN24FRHICommandListImmediate17MapStagingSurfaceEP11FRHITextureRPvRiS4_"
#define UNMAP_STAGING "_ZN24FRHICommandListImmediate19UnmapStagingSurfaceEP11FRHITexture"

} // namespace

// void FRHICommandListImmediate::MapStagingSurface(FTextureRHIParamRef, void*&, int32&, int32&)
extern "C" void kvtProbeMap(void* self, void* texture, void** data, int* width, int* height) __asm__(MAP_STAGING);
extern "C" void kvtProbeMap(void* self, void* texture, void** data, int* width, int* height)
{
    static auto real = next<void (*)(void*, void*, void**, int*, int*)>(MAP_STAGING);
    real(self, texture, data, width, height);
    stamp(kMapped);
}

// void FRHICommandListImmediate::UnmapStagingSurface(FTextureRHIParamRef)
extern "C" void kvtProbeUnmap(void* self, void* texture) __asm__(UNMAP_STAGING);
extern "C" void kvtProbeUnmap(void* self, void* texture)
{
    static auto real = next<void (*)(void*, void*)>(UNMAP_STAGING);
    stamp(kUnmapping);
    real(self, texture);
}

// POSIX shared memory stands in for Windows' named file mappings: shm_open on
// "/" + name, a sparse object truncated to the maximum, mmap of views from offset 0.

// The whole file is one platform's: build systems that compile every source of a folder
// (the engine's build tool does) get an empty unit on the other platform.
#if !defined(_WIN32)

#include "Platform.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvt {
namespace platform {
namespace {

std::string shmName(const char* name) { return std::string("/") + name; }

// A descriptor of 0 would read as a closed handle; move low descriptors out of the way
// (stdin may be closed when the host runs without a terminal).
MappingHandle fromDescriptor(int fd)
{
    if (fd < 0)
        return kInvalidMapping;
    if (fd < 3) {
        int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
        ::close(fd);
        if (moved < 0)
            return kInvalidMapping;
        fd = moved;
    }
    return fd;
}

} // namespace

MappingHandle createMapping(const char* name, std::uint32_t maximumSize)
{
    int fd = shm_open(shmName(name).c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    MappingHandle handle = fromDescriptor(fd);
    if (handle == kInvalidMapping)
        return kInvalidMapping;
    struct stat st {};
    // An existing object keeps its size, as an existing Windows mapping does.
    if (fstat(static_cast<int>(handle), &st) != 0 ||
        (st.st_size == 0 && ftruncate(static_cast<int>(handle), static_cast<off_t>(maximumSize)) != 0)) {
        ::close(static_cast<int>(handle));
        return kInvalidMapping;
    }
    return handle;
}

MappingHandle openMapping(const char* name)
{
    return fromDescriptor(shm_open(shmName(name).c_str(), O_RDWR | O_CLOEXEC, 0));
}

std::uint8_t* mapView(MappingHandle mapping, std::uint32_t size)
{
    // Touching a page beyond the object's end raises SIGBUS, so a view larger than
    // the mapping fails here, as MapViewOfFile fails beyond the section.
    struct stat st {};
    if (size == 0 || fstat(static_cast<int>(mapping), &st) != 0 || static_cast<std::uint64_t>(st.st_size) < size)
        return nullptr;
    void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, static_cast<int>(mapping), 0);
    return view == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(view);
}

void unmapView(std::uint8_t* view, std::uint32_t size)
{
    if (view)
        munmap(view, size);
}

void closeMapping(MappingHandle mapping, const char* createdName)
{
    if (mapping != 0 && mapping != kInvalidMapping)
        ::close(static_cast<int>(mapping));
    // Windows removes a mapping with its last handle; a POSIX name outlives every
    // descriptor, so its creator removes it. Openers keep their object until they close.
    if (createdName)
        shm_unlink(shmName(createdName).c_str());
}

bool mappingWasReplaced(MappingHandle mapping, const char* name)
{
    // No object of that name: the held one is still the only one, as on Windows.
    const int named = shm_open(shmName(name).c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (named < 0)
        return false;
    struct stat held {}, now {};
    const bool other = fstat(static_cast<int>(mapping), &held) == 0 && fstat(named, &now) == 0 &&
                       (held.st_dev != now.st_dev || held.st_ino != now.st_ino);
    ::close(named);
    return other;
}

std::uint32_t currentProcessId() { return static_cast<std::uint32_t>(getpid()); }

bool isProcessAlive(std::uint32_t pid)
{
    // kill(0, …) would address our own process group.
    if (pid == 0 || pid > static_cast<std::uint32_t>(INT32_MAX))
        return false;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

void sleepMilliseconds(std::uint32_t ms)
{
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

std::uint64_t tickCountMilliseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

std::uint64_t monotonicMicroseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000u;
}

void pauseMicroseconds(std::uint32_t microseconds)
{
    timespec ts{0, static_cast<long>(microseconds % 1000000u) * 1000L};
    nanosleep(&ts, nullptr);
}

std::uint32_t wakeLeadMicroseconds() { return 500; }

bool pausesSleep() { return true; }

// nanosleep is already as fine as the wait loop needs; only the balance is kept.
namespace {
int timerRaises = 0;
}
void raiseTimerResolution() { ++timerRaises; }
void restoreTimerResolution() { --timerRaises; }
int outstandingTimerRaises() { return timerRaises; }

std::uint64_t loadAcquire(const void* address)
{
    return __atomic_load_n(static_cast<const std::uint64_t*>(address), __ATOMIC_ACQUIRE);
}

void storeRelease(void* address, std::uint64_t value)
{
    __atomic_store_n(static_cast<std::uint64_t*>(address), value, __ATOMIC_RELEASE);
}

} // namespace platform
} // namespace kvt

#endif

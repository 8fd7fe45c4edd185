// The process and sleeping, as the engine's platform layer offers them.
#include "HAL/PlatformProcess.h"
#include <chrono>
#include <thread>
#include <unistd.h>

uint32 FPlatformProcess::GetCurrentProcessId() { return uint32(getpid()); }

void FPlatformProcess::Sleep(float Seconds) {
    if (Seconds > 0.f) std::this_thread::sleep_for(std::chrono::duration<float>(Seconds));
}

#pragma once
#include "HAL/Platform.h"

struct CORE_API FPlatformProcess {
    static uint32 GetCurrentProcessId();
    static void Sleep(float Seconds);
};

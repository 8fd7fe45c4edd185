// Windows' own headers as the engine includes them: lean, without min/max, and with the
// engine's TEXT macro kept (windows.h defines its own).
#pragma once

#if !defined(_WIN32)
#error "Windows/WindowsHWrapper.h is the Windows platform's header"
#endif

#include "HAL/Platform.h"

#pragma push_macro("TEXT")
#undef TEXT
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef TEXT
#pragma pop_macro("TEXT")

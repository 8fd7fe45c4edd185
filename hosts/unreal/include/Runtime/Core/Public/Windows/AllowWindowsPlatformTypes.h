// Opens a stretch of code that uses Windows' types and macros inside an engine module; the
// stretch ends with Windows/HideWindowsPlatformTypes.h. No include guard: each use opens
// one stretch, and stretches do not nest.
#include "Windows/WindowsHWrapper.h"

#ifndef WINDOWS_PLATFORM_TYPES_GUARD
#define WINDOWS_PLATFORM_TYPES_GUARD
#else
#error "Nesting AllowWindowsPlatformTypes.h is not allowed"
#endif

#define INT ::INT
#define UINT ::UINT
#define DWORD ::DWORD
#define FLOAT ::FLOAT

#ifdef TRUE
#undef TRUE
#endif
#ifdef FALSE
#undef FALSE
#endif
#define TRUE 1
#define FALSE 0

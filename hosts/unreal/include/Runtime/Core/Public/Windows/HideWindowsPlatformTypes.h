// Closes the stretch that Windows/AllowWindowsPlatformTypes.h opened: Windows' type and
// boolean macros are gone again for the code after it (in a unity build, the next files).
#ifdef WINDOWS_PLATFORM_TYPES_GUARD
#undef WINDOWS_PLATFORM_TYPES_GUARD
#else
#error "Mismatched HideWindowsPlatformTypes.h"
#endif

#undef INT
#undef UINT
#undef DWORD
#undef FLOAT

#ifdef TRUE
#undef TRUE
#endif
#ifdef FALSE
#undef FALSE
#endif

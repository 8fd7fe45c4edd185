#pragma once
// Basic types, characters and export macros, as the engine declares them. TCHAR is a UTF-16
// code unit on both platforms the module is built for: wchar_t on Windows, char16_t on
// Linux; TEXT("...") makes a literal of it.
#include <cstddef>
#include <cstdint>

typedef std::uint8_t uint8;
typedef std::uint16_t uint16;
typedef std::uint32_t uint32;
typedef std::uint64_t uint64;
typedef std::int8_t int8;
typedef std::int16_t int16;
typedef std::int32_t int32;
typedef std::int64_t int64;
typedef char ANSICHAR;
typedef std::size_t SIZE_T;

#if defined(_WIN32)
typedef wchar_t WIDECHAR;
#define TEXT_PASTE(x) L##x
#else
typedef char16_t WIDECHAR;
#define TEXT_PASTE(x) u##x
#endif
typedef WIDECHAR TCHAR;
#define TEXT(x) TEXT_PASTE(x)

#define FORCEINLINE inline
#if defined(_WIN32)
#define FORCENOINLINE __declspec(noinline)
#define DLLEXPORT __declspec(dllexport)
#define DLLIMPORT __declspec(dllimport)
#else
#define FORCENOINLINE __attribute__((noinline))
#define DLLEXPORT __attribute__((visibility("default")))
#define DLLIMPORT __attribute__((visibility("default")))
#endif

// The engine's modules. On Linux they are one shared library (libue4host) whose symbols
// the module sees; a Windows build of these headers links the engine code it needs
// statically, as a monolithic build does, where the build tool leaves these empty.
#if defined(_WIN32)
#define CORE_API
#define COREUOBJECT_API
#define ENGINE_API
#define UNREALED_API
#define RENDERCORE_API
#define SHADERCORE_API
#define RENDERER_API
#define RHI_API
#define SLATE_API
#define SLATECORE_API
#define EDITORSTYLE_API
#define ASSETTOOLS_API
#else
#define CORE_API DLLEXPORT
#define COREUOBJECT_API DLLEXPORT
#define ENGINE_API DLLEXPORT
#define UNREALED_API DLLEXPORT
#define RENDERCORE_API DLLEXPORT
#define SHADERCORE_API DLLEXPORT
#define RENDERER_API DLLEXPORT
#define RHI_API DLLEXPORT
#define SLATE_API DLLEXPORT
#define SLATECORE_API DLLEXPORT
#define EDITORSTYLE_API DLLEXPORT
#define ASSETTOOLS_API DLLEXPORT
#endif
#define NO_API

#define INDEX_NONE (-1)
#define WITH_EDITOR 1
#define WITH_EDITORONLY_DATA 1
#define WITH_METADATA 1
#define PLATFORM_LITTLE_ENDIAN 1

enum EForceInit { ForceInit, ForceInitToZero };
enum ENoInit { NoInit };

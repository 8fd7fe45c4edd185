#pragma once
// Basic types, characters and export macros, as the engine declares them on Linux:
// TCHAR is a UTF-16 code unit.
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
typedef char16_t TCHAR;
typedef char16_t UTF16CHAR;
typedef std::size_t SIZE_T;
typedef std::uintptr_t UPTRINT;
typedef std::intptr_t PTRINT;

#define TEXT_PASTE(x) u##x
#define TEXT(x) TEXT_PASTE(x)

#define FORCEINLINE inline
#define FORCENOINLINE __attribute__((noinline))
#define DLLEXPORT __attribute__((visibility("default")))
#define DLLIMPORT __attribute__((visibility("default")))
#define CORE_API DLLEXPORT
#define COREUOBJECT_API DLLEXPORT
#define ENGINE_API DLLEXPORT
#define UNREALED_API DLLEXPORT
#define RENDERCORE_API DLLEXPORT
#define RHI_API DLLEXPORT
#define SLATE_API DLLEXPORT
#define SLATECORE_API DLLEXPORT
#define EDITORSTYLE_API DLLEXPORT
#define ASSETTOOLS_API DLLEXPORT
#define NO_API

#define INDEX_NONE (-1)
#define WITH_EDITOR 1
#define WITH_EDITORONLY_DATA 1
#define WITH_METADATA 1
#define PLATFORM_LITTLE_ENDIAN 1

enum EForceInit { ForceInit, ForceInitToZero };
enum ENoInit { NoInit };

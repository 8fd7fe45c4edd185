#pragma once
// Basic types and export macros shared by the API headers.
#include <cstddef>
#include <stdint.h>

// The API version of this host, Maya 2018: eight digits from this release on (2017 was
// 201700).
#define MAYA_API_VERSION 20180000

#ifdef _WIN32
#ifndef PLUGIN_EXPORT
#define PLUGIN_EXPORT __declspec(dllexport)
#endif
#else
#ifndef PLUGIN_EXPORT
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif
#endif

#ifndef FND_EXPORT
#define FND_EXPORT __attribute__((visibility("default")))
#endif
#ifndef OPENMAYA_EXPORT
#define OPENMAYA_EXPORT __attribute__((visibility("default")))
#endif
#ifndef OPENMAYAUI_EXPORT
#define OPENMAYAUI_EXPORT __attribute__((visibility("default")))
#endif
#ifndef OPENMAYARENDER_EXPORT
#define OPENMAYARENDER_EXPORT __attribute__((visibility("default")))
#endif

typedef intptr_t MIntPtrSz;
typedef uintptr_t MUintPtrSz;

// 64-bit integers as the devkit spells them: long on 64-bit Linux, long long elsewhere.
#if defined(__linux__) && (defined(__x86_64__) || defined(__LP64__))
typedef unsigned long MUint64;
typedef long MInt64;
#else
typedef unsigned long long MUint64;
typedef long long MInt64;
#endif

#include <maya/MApiNamespace.h>

// The host's private side, which converts between these classes and its scene.
namespace mayahost { struct Bridge; }

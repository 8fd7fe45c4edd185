#pragma once
// Basic types shared by the API headers.
#include <cstddef>
#include <cstdint>

typedef std::uintptr_t MUintPtrSz;
typedef MUintPtrSz MCallbackId;

#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#define OPENMAYA_EXPORT __attribute__((visibility("default")))

namespace mayahost { struct Bridge; }

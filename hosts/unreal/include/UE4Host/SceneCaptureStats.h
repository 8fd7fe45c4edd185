#pragma once
// Stand-in only (tests use it; modules never do): how many scene captures were rendered.
#include "HAL/Platform.h"

namespace UE4Host {
// Scene captures rendered since the program started (each UpdateSceneCaptureContents that
// drew into a target, deferred ones included).
ENGINE_API uint64 SceneCapturesRendered();
}

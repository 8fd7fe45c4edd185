#pragma once
// Stand-in only (tests use it; modules never do): how many 2D textures the RHI has made.
#include "HAL/Platform.h"

namespace UE4Host {
// Textures created since the program started whose creation flags include Flag, one
// flag such as TexCreate_CPUReadback or TexCreate_RenderTargetable (0 for anything else).
RHI_API uint64 TexturesCreatedWith(uint32 Flag);
}

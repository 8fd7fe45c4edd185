#pragma once
// Maya's own drawing of a scene render operation into the bound render target: the
// shaded surfaces, and the interface items (grid, selection wireframe, manipulator).

#include "FrameState.h"

namespace mayahost::draw {

// Background colour of the viewport (Maya's default, no gradient).
constexpr float kBackground[4] = {0.36f, 0.36f, 0.36f, 1.0f};

// Draws what `filter` (MSceneRender::MSceneFilterOption bits; 0 = everything) asks for,
// depth-tested against the bound target's depth. Leaves no program, vertex array or
// buffer bound.
void drawScene(const FrameState& frame, unsigned int filter);

// Frees the GPU copies of meshes no shape holds any more.
void releaseUnusedMeshes();

} // namespace mayahost::draw

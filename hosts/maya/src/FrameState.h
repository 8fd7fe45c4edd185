#pragma once
// What one Viewport 2.0 frame of a model panel is drawn with; behind MFrameContext.

#include "Camera.h"

#include <maya/MTypes.h>

#include <string>

namespace mayahost {

struct FrameState {
    std::string panel;
    camera::View view;
    int width = 0, height = 0;
    MUint64 exclusions = 0;
};

} // namespace mayahost

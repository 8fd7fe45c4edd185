#pragma once
// The frame driver: once per viewport frame it connects the link, sends the camera and
// the changed scene, waits for Unreal's picture, writes it and its depth into Maya's
// render target, keys the live video over it and applies what the reply brought back.

#include <cstdint>

namespace MHWRender {
class MDrawContext;
}

// Runs with the viewport's render target bound as the current draw framebuffer.
void drawFrame(const MHWRender::MDrawContext& context);

// True when the request and response regions are both open.
bool isLinkOpen();

// Deletes the compositor's OpenGL objects; the plug-in calls it when it is unloaded.
void releaseViewportGl();

#pragma once
// Viewport 2.0 of the model panel: its render target, the frame loop that runs the
// panel's render override (or Maya's default renderer), the presented picture.

#include <maya/MViewport2Renderer.h>

#include <string>
#include <vector>

namespace mayahost::vp2 {

// Draws one frame of the panel now. False, with `error`, when there is no OpenGL.
bool drawFrame(std::string& error);

// M3dView::refresh: the panel is drawn the next time Maya is idle (requests coalesce).
void requestRedraw();
bool redrawPending();
// Called by the idle loop: draws a requested frame. A failure is reported once.
void drawRequestedFrame();

// The picture last presented to the panel, RGB, top row first. False before any.
bool presentedPicture(std::vector<unsigned char>& rgb, int& width, int& height);
// Writes the presented picture to a PNG file.
bool writePicture(const std::string& path, std::string& error);

// Wall-clock seconds of every frame drawn so far, in order.
const std::vector<double>& frameSeconds();

// Render overrides registered with MRenderer.
bool registerOverride(const MHWRender::MRenderOverride* renderOverride);
bool deregisterOverride(const MHWRender::MRenderOverride* renderOverride);
const MHWRender::MRenderOverride* findOverride(const std::string& name);
// The frame context of the frame an override is drawing (between setup and cleanup).
const MHWRender::MFrameContext* frameContextOf(const MHWRender::MRenderOverride* renderOverride);

// Maya: "Attempts to modify the camera or other nodes in the scene while rendering can
// lead to undefined behaviour and instability." Every scene edit (and a selection or
// preference change) reports here; while a render override's setup, operations or cleanup
// run, it is reported as an error naming the edit and the override. The edit still
// happens, as it would in Maya.
void sceneEdited(const std::string& what);
// Edits reported while an override drew, since the host started.
int editsWhileDrawing();

// The draw API the renderer runs on: OpenGL Core Profile (compatibility).
constexpr MHWRender::DrawAPI kDrawAPI = MHWRender::kOpenGLCoreProfile;

} // namespace mayahost::vp2

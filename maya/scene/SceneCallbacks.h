#pragma once
// The Maya messages that keep the mirror current: each turns an edit into a mark on a
// mirror object and queues it for the next request.

#include <maya/MMessage.h>
#include <maya/MObject.h>

class MayaSceneRegistry;
class MayaShape;
class MayaSceneObject;

// The name the render override is registered with.
constexpr const char* kMirrorOverrideName = "Mirror";

// The idle timer: forces a redraw of every 3D view drawn by "Mirror" when no frame ran for
// 40 ms, so the link keeps being serviced while Maya is idle; no view, no redraw.
MCallbackId registerIdleRefresh(MayaSceneRegistry& registry);

// Per-object callbacks; the ids are kept by the object and removed with it.
MCallbackId watchShape(MObject& node, MayaShape* shape);
void watchInstance(MayaSceneObject& instance);

#pragma once
// Host state outside the scene: the model panel, loaded plug-ins, the active selection,
// the idle loop.

#include <maya/MSelectionList.h>

#include <cstdint>
#include <string>

namespace mayahost::host {

// Object-type exclusion bits of the model panel, as Maya numbers them.
enum Exclusion : std::uint64_t {
    kExcludeNurbsCurves = 1 << 0,
    kExcludeNurbsSurfaces = 1 << 1,
    kExcludeMeshes = 1 << 2,
    kExcludePlanes = 1 << 3,
    kExcludeLights = 1 << 4,
    kExcludeCameras = 1 << 5,
    kExcludeGrid = 1 << 16,
    kExcludeManipulators = 1 << 28,
};

struct Viewport {
    std::string panel = "modelPanel4";
    std::string camera = "persp";
    int width = 640, height = 480;
    std::string rendererOverride;
    std::uint64_t exclusions = 0;
    int redrawRequests = 0; // M3dView::refresh and the refresh command
};
Viewport& viewport();

MSelectionList& activeSelection();

bool loadPlugin(const std::string& path, std::string& error);
bool unloadPlugin(const std::string& nameOrPath, std::string& error);
void unloadAllPlugins();

// Runs the idle loop for `seconds`: timer callbacks fire when due, then the redraws
// asked for with M3dView::refresh.
void idle(double seconds);
// MGlobal::executeCommandOnIdle: the commands wait for the idle loop, which runs them
// first, in order (also those queued while they run, in the same turn).
void queueIdleCommand(const std::string& command);
// One turn of the idle loop (queued commands, due timers, the requested redraw); returns
// when the next timer is due (negative: none).
double idleStep();

struct Preferences {
    bool colorManagement = true;
    double currentTime = 1;
    bool batch = true;
};
Preferences& preferences();

} // namespace mayahost::host

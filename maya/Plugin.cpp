// The plug-in library's entry points: they register and deregister the render override
// "Mirror" and make and tear down the scene registry (its "UE4Material" attribute and idle
// timer). The scene callbacks are registered by the first request that finds the link;
// uninitializePlugin removes them with the rest, as Maya requires of a plug-in.

#include "scene/MayaSceneRegistry.h"
#include "scene/SceneCallbacks.h"
#include "viewport/FrameDriver.h"
#include "viewport/MayaRenderOverride.h"

#include <maya/MFnPlugin.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MViewport2Renderer.h>

namespace {
MayaRenderOverride* theOverride = nullptr;
}

PLUGIN_EXPORT MStatus initializePlugin(MObject object)
{
    MFnPlugin plugin(object, "Autodesk", "1.0", "Any");
    MStatus status = MS::kSuccess;
    MayaSceneRegistry::start();
    if (!theOverride) {
        MHWRender::MRenderer* renderer = MHWRender::MRenderer::theRenderer(false);
        if (renderer) {
            theOverride = new MayaRenderOverride(kMirrorOverrideName);
            status = renderer->registerOverride(theOverride);
            if (!status) {
                status.perror("registerOverride");
                // Maya unloads a plug-in whose initializePlugin fails without calling
                // uninitializePlugin: nothing of it may stay registered.
                MayaSceneRegistry::stop();
            }
        }
    }
    return status;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject object)
{
    MFnPlugin plugin(object, "Unknown", "Unknown", "Any");
    MStatus status = MS::kSuccess;
    if (theOverride) {
        MHWRender::MRenderer* renderer = MHWRender::MRenderer::theRenderer(true);
        if (renderer)
            status = renderer->deregisterOverride(theOverride);
        delete theOverride;
        theOverride = nullptr;
        if (!status)
            status.perror("deregisterOverride");
    }
    // The link before the registry: a disconnect resynchronises the registry.
    shutdownViewport();
    MayaSceneRegistry::stop();
    return status;
}

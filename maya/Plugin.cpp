// The plug-in library's entry points: they register and deregister the render override
// "Mirror". The scene registry and its idle timer live with the library itself (a static
// object); the scene callbacks are registered by the first request that finds the link.

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
    if (!theOverride) {
        MHWRender::MRenderer* renderer = MHWRender::MRenderer::theRenderer(false);
        if (renderer) {
            theOverride = new MayaRenderOverride("Mirror");
            status = renderer->registerOverride(theOverride);
            if (!status)
                status.perror("registerOverride");
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
    // The OpenGL objects go with the context they were made in, before the library.
    releaseViewportGl();
    return status;
}

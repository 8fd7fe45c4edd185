// The plug-in library's entry points. The scene registry and its idle timer live with the
// library itself (a static object); the scene callbacks are registered by the first
// request that finds the link.

#include <maya/MFnPlugin.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

PLUGIN_EXPORT MStatus initializePlugin(MObject object)
{
    MFnPlugin plugin(object, "Autodesk", "1.0", "Any");
    return MS::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject object)
{
    MFnPlugin plugin(object, "Unknown", "Unknown", "Any");
    return MS::kSuccess;
}

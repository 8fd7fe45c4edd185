// Entry points without MFnPlugin.h's MApiVersion: Maya refuses to load such a library.
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <cstdio>

PLUGIN_EXPORT MStatus initializePlugin(MObject) {
    std::puts("initialized");
    return MS::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject) { return MS::kSuccess; }

// A plug-in built against Maya 2019's devkit (eight-digit API version): Maya 2018 refuses it.
#define MNoVersionString
#include <maya/MFnPlugin.h>

#include <cstdio>

extern "C" {
PLUGIN_EXPORT char MApiVersion[] = "20190000";
}

PLUGIN_EXPORT MStatus initializePlugin(MObject) {
    std::puts("initialized");
    return MS::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject) { return MS::kSuccess; }

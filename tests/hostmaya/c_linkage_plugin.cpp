// Entry points with C linkage: Maya looks the entry points up by their C++ names
// (initializePlugin(MObject)), so it does not find these.
#include <maya/MFnPlugin.h>

#include <cstdio>

extern "C" PLUGIN_EXPORT MStatus initializePlugin(MObject) {
    std::puts("initialized");
    return MS::kSuccess;
}

extern "C" PLUGIN_EXPORT MStatus uninitializePlugin(MObject) { return MS::kSuccess; }

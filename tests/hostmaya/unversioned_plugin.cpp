// A plug-in as a devkit before Maya 2018 built it: its API classes in the global namespace,
// so its entry points take ::MObject and mangle without Autodesk::Maya::OpenMaya20180000.
// It declares the old classes itself rather than include this host's headers, which are
// Maya 2018's.
#include <cstdio>

class MObject {
    void* fPtr = nullptr;
};
class MStatus {
public:
    MStatus() = default;

private:
    int fCode = 0;
};

extern "C" {
__attribute__((visibility("default"))) char MApiVersion[] = "201700";
}

__attribute__((visibility("default"))) MStatus initializePlugin(MObject) {
    std::puts("initialized");
    return MStatus();
}

__attribute__((visibility("default"))) MStatus uninitializePlugin(MObject) { return MStatus(); }

// A plug-in for the `maya` program: it reports the messages its scene edits cause and
// the idle timer's calls, so the program test can check what a loaded plug-in receives.
#include <maya/M3dView.h>
#include <maya/MDGMessage.h>
#include <maya/MDagMessage.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlug.h>
#include <maya/MTimerMessage.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::vector<MCallbackId> ids;
int ticks = 0;

void report(const char* what, const MObject& node) {
    std::printf("plugin: %s %s\n", what, MFnDependencyNode(node).name().asChar());
}

void added(MObject& node, void*) {
    report("added", node);
    if (node.hasFn(MFn::kTransform))
        ids.push_back(MNodeMessage::addNodeDirtyPlugCallback(node, [](MObject& n, MPlug& plug, void*) {
            std::printf("plugin: dirty %s.%s\n", MFnDependencyNode(n).name().asChar(), plug.partialName().asChar());
        }));
}

void removed(MObject& node, void*) { report("removed", node); }

void childAdded(MDagPath& child, MDagPath& parent, void*) {
    std::printf("plugin: child %s under %u-long path\n", child.fullPathName().asChar(), parent.length());
}

void tick(float, float, void*) {
    if (++ticks == 1) {
        std::printf("plugin: timer\n");
        M3dView::active3dView().refresh(false, true);
    }
}

} // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Autodesk", "1.0", "Any");
    ids.push_back(MDGMessage::addNodeAddedCallback(added));
    ids.push_back(MDGMessage::addNodeRemovedCallback(removed));
    ids.push_back(MDagMessage::addChildAddedCallback(childAdded));
    ids.push_back(MTimerMessage::addTimerCallback(0.01f, tick));
    std::printf("plugin: loaded by %s\n", plugin.vendor().asChar());
    // A command run from inside the plug-in, as the override's setup does.
    MGlobal::executeCommand("colorManagementPrefs -edit -popupOnError true -cmEnabled 0");
    return MS::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Unknown", "Unknown", "Any");
    // A plug-in that forgets its timer, for the test of Maya's fatal error.
    const bool keepTimer = std::getenv("TEST_PLUGIN_KEEP_TIMER") != nullptr;
    for (MCallbackId id : ids)
        if (!keepTimer || id != ids[3]) MMessage::removeCallback(id);
    ids.clear();
    std::printf("plugin: unloaded after %s\n", ticks > 0 ? "ticks" : "no ticks");
    return MS::kSuccess;
}

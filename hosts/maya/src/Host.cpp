#include "Host.h"

#include "Bridge.h"
#include "GlContext.h"
#include "Mel.h"
#include "Messages.h"
#include "Viewport.h"

#define MNoVersionString // the host reads each plug-in's own MApiVersion instead of defining one
#include <maya/M3dView.h>
#include <maya/MFnPlugin.h>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace mayahost::host {

Viewport& viewport() {
    static Viewport v;
    return v;
}

MSelectionList& activeSelection() {
    static MSelectionList list;
    return list;
}

Preferences& preferences() {
    static Preferences p;
    return p;
}

struct PluginInfo {
    std::string vendor = "Unknown", version = "Unknown", apiVersion = "Any", name, path;
};

namespace {
struct LoadedPlugin {
    std::string path, name;
    void* handle = nullptr;
    std::shared_ptr<PluginInfo> info;
};
std::vector<LoadedPlugin>& plugins() {
    static std::vector<LoadedPlugin> list;
    return list;
}
using EntryPoint = MStatus (*)(MObject);

// The entry points have C++ linkage, as the devkit declares them (PLUGIN_EXPORT MStatus
// initializePlugin(MObject)), and MObject is the versioned API's class: the host looks
// them up by those mangled names. A library built against headers without the versioned
// namespace (before Maya 2018) exports initializePlugin(::MObject) instead.
constexpr const char* kInitializeSymbol = "_Z16initializePluginN8Autodesk4Maya16OpenMaya201800007MObjectE";
constexpr const char* kUninitializeSymbol = "_Z18uninitializePluginN8Autodesk4Maya16OpenMaya201800007MObjectE";
constexpr const char* kUnversionedInitializeSymbol = "_Z16initializePlugin7MObject";

// MApiVersion is MAYA_API_VERSION as text: six digits up to Maya 2017 (201700), eight from
// Maya 2018 (20180000). Anything newer than Maya 2018 is refused.
bool builtForThisApi(const std::string& version) {
    if (version.empty() || version.size() > 8 || version.find_first_not_of("0123456789") != std::string::npos)
        return false;
    long value = std::stol(version);
    if (version.size() <= 6) value *= 100;
    return value < 20190000;
}

std::string baseName(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    auto dot = name.find('.');
    if (dot != std::string::npos) name.resize(dot);
    if (name.rfind("lib", 0) == 0 && name.size() > 3) name = name.substr(3);
    return name;
}
} // namespace

bool loadPlugin(const std::string& path, std::string& error) {
    std::string name = baseName(path);
    for (const auto& p : plugins())
        if (p.name == name) return true; // already loaded, as Maya answers
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        error = "Unable to dynamically load : " + path + "\n" + dlerror();
        return false;
    }
    // Maya reads the API version that MFnPlugin.h compiles into every plug-in.
    auto* apiVersion = static_cast<const char*>(dlsym(handle, "MApiVersion"));
    if (!apiVersion || !builtForThisApi(std::string(apiVersion, strnlen(apiVersion, 16)))) {
        dlclose(handle);
        error = path + " is not a Maya 2018 plug-in (MApiVersion " + (apiVersion ? "too new" : "missing") + ")";
        return false;
    }
    auto init = reinterpret_cast<EntryPoint>(dlsym(handle, kInitializeSymbol));
    auto uninit = dlsym(handle, kUninitializeSymbol);
    if (!init || !uninit) {
        bool unversioned = dlsym(handle, kUnversionedInitializeSymbol) != nullptr;
        dlclose(handle);
        error = unversioned
            ? path + " was built against Maya API headers without the Autodesk::Maya::OpenMaya20180000 "
                     "namespace: its initializePlugin takes ::MObject. Rebuild it with the Maya 2018 devkit."
            : "Unable to find initializePlugin and uninitializePlugin in " + path;
        return false;
    }
    LoadedPlugin plugin{path, name, handle, std::make_shared<PluginInfo>()};
    plugin.info->name = name;
    plugin.info->path = path;
    plugins().push_back(plugin);
    MStatus status = init(Bridge::data(MFn::kPlugin, plugin.info));
    if (!status) {
        auto it = std::find_if(plugins().begin(), plugins().end(), [&](const auto& p) { return p.handle == handle; });
        if (it != plugins().end()) plugins().erase(it);
        dlclose(handle);
        error = "initializePlugin function failed (" + path + ")";
        return false;
    }
    return true;
}

// Maya: "All callbacks that are registered by a plug-in must be removed by that plug-in
// when it is unloaded. Failure to do so will result in a fatal error."
static void checkCallbacksRemoved(const LoadedPlugin& plugin, void* entry) {
    Dl_info info{};
    if (!dladdr(entry, &info)) return;
    std::vector<std::string> left = messages::registeredFrom(info.dli_fbase);
    if (left.empty()) return;
    std::string list;
    for (const auto& text : left) list += (list.empty() ? "" : ", ") + text;
    std::fprintf(stderr,
                 "// Fatal Error: plug-in '%s' was unloaded with %zu callback%s still registered (%s); every "
                 "callback a plug-in registers must be removed by its uninitializePlugin //\n",
                 plugin.name.c_str(), left.size(), left.size() == 1 ? "" : "s", list.c_str());
    std::fflush(nullptr);
    std::_Exit(EXIT_FAILURE);
}

static bool unload(size_t index, std::string& error) {
    LoadedPlugin plugin = plugins()[index];
    plugins().erase(plugins().begin() + static_cast<long>(index));
    auto uninit = reinterpret_cast<EntryPoint>(dlsym(plugin.handle, kUninitializeSymbol));
    MStatus status;
    {
        // Maya unloads a plug-in from its command loop, not while a viewport draws.
        gl::NoContextScope noContext;
        status = uninit(Bridge::data(MFn::kPlugin, plugin.info));
    }
    checkCallbacksRemoved(plugin, reinterpret_cast<void*>(uninit));
    dlclose(plugin.handle);
    if (!status) {
        error = "uninitializePlugin function failed (" + plugin.path + ")";
        return false;
    }
    return true;
}

bool unloadPlugin(const std::string& nameOrPath, std::string& error) {
    for (size_t i = 0; i < plugins().size(); ++i)
        if (plugins()[i].name == nameOrPath || plugins()[i].path == nameOrPath || plugins()[i].name == baseName(nameOrPath))
            return unload(i, error);
    error = "Plug-in \"" + nameOrPath + "\" is not loaded.";
    return false;
}

void unloadAllPlugins() {
    std::string error;
    while (!plugins().empty()) unload(plugins().size() - 1, error);
}

namespace {
std::vector<std::string>& idleCommands() {
    static std::vector<std::string> queue;
    return queue;
}
} // namespace

void queueIdleCommand(const std::string& command) { idleCommands().push_back(command); }

double idleStep() {
    for (size_t i = 0; i < idleCommands().size(); ++i) {
        std::string command = idleCommands()[i];
        mel::run(command, "");
    }
    idleCommands().clear();
    double next = messages::runTimers(messages::idleClock());
    // Redraws asked for with M3dView::refresh happen once the callbacks are through.
    vp2::drawRequestedFrame();
    return next;
}

void idle(double seconds) {
    double deadline = messages::idleClock() + std::max(0.0, seconds);
    for (;;) {
        double next = idleStep();
        double now = messages::idleClock();
        if (now >= deadline) return;
        double until = next < 0 ? deadline : std::min(next, deadline);
        if (until > now) std::this_thread::sleep_for(std::chrono::duration<double>(until - now));
    }
}

} // namespace mayahost::host

using namespace mayahost;

MFnPlugin::MFnPlugin(MObject& object, const char* vendor, const char* version, const char* requiredApiVersion,
                     MStatus* status) {
    if (object.apiType() != MFn::kPlugin) {
        if (status) *status = MS::kInvalidParameter;
        return;
    }
    fObject = object;
    auto* info = static_cast<host::PluginInfo*>(const_cast<void*>(Bridge::data(object)));
    info->vendor = vendor ? vendor : "Unknown";
    info->version = version ? version : "Unknown";
    info->apiVersion = requiredApiVersion ? requiredApiVersion : "Any";
    if (status) *status = MS::kSuccess;
}

static const host::PluginInfo* pluginInfo(const MObject& object) {
    return object.apiType() == MFn::kPlugin ? static_cast<const host::PluginInfo*>(Bridge::data(object)) : nullptr;
}

MString MFnPlugin::vendor(MStatus* status) const {
    auto* i = pluginInfo(fObject);
    if (status) *status = i ? MS::kSuccess : MS::kFailure;
    return i ? MString(i->vendor.c_str()) : MString();
}

MString MFnPlugin::version(MStatus* status) const {
    auto* i = pluginInfo(fObject);
    if (status) *status = i ? MS::kSuccess : MS::kFailure;
    return i ? MString(i->version.c_str()) : MString();
}

MString MFnPlugin::apiVersion(MStatus* status) const {
    auto* i = pluginInfo(fObject);
    if (status) *status = i ? MS::kSuccess : MS::kFailure;
    return i ? MString(i->apiVersion.c_str()) : MString();
}

MString MFnPlugin::name(MStatus* status) const {
    auto* i = pluginInfo(fObject);
    if (status) *status = i ? MS::kSuccess : MS::kFailure;
    return i ? MString(i->name.c_str()) : MString();
}

MString MFnPlugin::loadPath(MStatus* status) const {
    auto* i = pluginInfo(fObject);
    if (status) *status = i ? MS::kSuccess : MS::kFailure;
    if (!i) return MString();
    return MString(i->path.substr(0, i->path.find_last_of('/') == std::string::npos ? 0 : i->path.find_last_of('/')).c_str());
}

M3dView M3dView::active3dView(MStatus* status) {
    if (status) *status = MS::kSuccess;
    return M3dView();
}

unsigned int M3dView::numberOf3dViews() { return 1; }

MStatus M3dView::get3dView(const unsigned int index, M3dView& view) {
    if (index >= numberOf3dViews()) return MS::kInvalidParameter;
    view.fIndex = static_cast<int>(index);
    return MS::kSuccess;
}

MString M3dView::renderOverrideName(MStatus* status) const {
    if (status) *status = MS::kSuccess;
    return MString(host::viewport().rendererOverride.c_str());
}

MStatus M3dView::refresh(bool, bool) {
    ++host::viewport().redrawRequests;
    vp2::requestRedraw();
    return MS::kSuccess;
}

MStatus M3dView::refresh(bool all, bool force, bool) { return refresh(all, force); }

int M3dView::portWidth(MStatus* status) {
    if (status) *status = MS::kSuccess;
    return host::viewport().width;
}

int M3dView::portHeight(MStatus* status) {
    if (status) *status = MS::kSuccess;
    return host::viewport().height;
}

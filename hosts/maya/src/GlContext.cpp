#include "GlContext.h"

#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace mayahost::gl {
namespace {

struct State {
    bool tried = false;
    bool ok = false;
    std::string error, description;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
};

State& state() {
    static State s;
    return s;
}

std::string eglErrorName(EGLint code) {
    switch (code) {
    case EGL_SUCCESS: return "EGL_SUCCESS";
    case EGL_NOT_INITIALIZED: return "EGL_NOT_INITIALIZED";
    case EGL_BAD_ACCESS: return "EGL_BAD_ACCESS";
    case EGL_BAD_ALLOC: return "EGL_BAD_ALLOC";
    case EGL_BAD_ATTRIBUTE: return "EGL_BAD_ATTRIBUTE";
    case EGL_BAD_CONFIG: return "EGL_BAD_CONFIG";
    case EGL_BAD_CONTEXT: return "EGL_BAD_CONTEXT";
    case EGL_BAD_DISPLAY: return "EGL_BAD_DISPLAY";
    case EGL_BAD_MATCH: return "EGL_BAD_MATCH";
    case EGL_BAD_PARAMETER: return "EGL_BAD_PARAMETER";
    case EGL_BAD_SURFACE: return "EGL_BAD_SURFACE";
    default: {
        char text[32];
        std::snprintf(text, sizeof text, "EGL error 0x%x", static_cast<unsigned>(code));
        return text;
    }
    }
}

bool hasExtension(const char* list, const char* name) {
    if (!list) return false;
    size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)); p += n)
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

// Brings up a context on one display; on failure says why.
bool tryDisplay(EGLDisplay display, State& s, std::string& why) {
    if (display == EGL_NO_DISPLAY) {
        why = "no display (" + eglErrorName(eglGetError()) + ")";
        return false;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) {
        why = "eglInitialize failed (" + eglErrorName(eglGetError()) + ")";
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        why = "desktop OpenGL is not offered (" + eglErrorName(eglGetError()) + ")";
        return false;
    }
    const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
    bool configless = hasExtension(extensions, "EGL_KHR_no_config_context") ||
                      hasExtension(extensions, "EGL_MESA_configless_context");
    bool surfaceless = hasExtension(extensions, "EGL_KHR_surfaceless_context");
    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!configless || !surfaceless) {
        const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                 EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
        EGLint count = 0;
        if (!eglChooseConfig(display, wanted, &config, 1, &count) || count < 1) {
            why = "no OpenGL configuration with a pixel buffer";
            return false;
        }
    }
    // A compatibility profile first, as Maya's "Core Profile (Compatibility)" engine
    // gives plug-ins; a core profile where the driver has only that.
    const EGLint profiles[] = {EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT};
    EGLContext context = EGL_NO_CONTEXT;
    for (EGLint profile : profiles) {
        const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                     EGL_CONTEXT_OPENGL_PROFILE_MASK, profile, EGL_NONE};
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, attributes);
        if (context != EGL_NO_CONTEXT) break;
    }
    if (context == EGL_NO_CONTEXT) {
        why = "no OpenGL 3.3 context (" + eglErrorName(eglGetError()) + ")";
        return false;
    }
    EGLSurface surface = EGL_NO_SURFACE;
    if (!surfaceless) {
        const EGLint size[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
        surface = eglCreatePbufferSurface(display, config, size);
        if (surface == EGL_NO_SURFACE) {
            eglDestroyContext(display, context);
            why = "no pixel buffer to make the context current on (" + eglErrorName(eglGetError()) + ")";
            return false;
        }
    }
    if (!eglMakeCurrent(display, surface, surface, context)) {
        why = "eglMakeCurrent failed (" + eglErrorName(eglGetError()) + ")";
        if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
        eglDestroyContext(display, context);
        return false;
    }
    int version = epoxy_gl_version();
    if (version < 33) {
        why = "the driver offers OpenGL " + std::to_string(version / 10) + "." + std::to_string(version % 10) +
              ", 3.3 or newer is needed";
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
        eglDestroyContext(display, context);
        return false;
    }
    s.display = display;
    s.context = context;
    s.surface = surface;
    s.description = std::string("OpenGL ") + reinterpret_cast<const char*>(glGetString(GL_VERSION)) + " on " +
                    reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return true;
}

void create(State& s) {
    // libepoxy aborts when it cannot load libEGL, so look for it first.
    if (!dlopen("libEGL.so.1", RTLD_LAZY | RTLD_GLOBAL)) {
        s.error = "no OpenGL context for Viewport 2.0: libEGL.so.1 is not installed (Debian: libegl1, with Mesa's "
                  "libegl-mesa0 and libgl1-mesa-dri, or a GPU driver with EGL)";
        return;
    }
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    std::vector<std::string> tried;
    std::string why;
    // The surfaceless Mesa platform needs no window system and works with llvmpipe
    // as with GPU drivers; EGL devices serve drivers without it.
    if (!hasExtension(client, "EGL_MESA_platform_surfaceless")) {
        tried.push_back("surfaceless platform: EGL_MESA_platform_surfaceless is not offered");
    } else if (tryDisplay(eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr), s,
                          why)) {
        s.ok = true;
        return;
    } else {
        tried.push_back("surfaceless platform: " + why);
    }
    if (hasExtension(client, "EGL_EXT_platform_device") && hasExtension(client, "EGL_EXT_device_enumeration")) {
        EGLDeviceEXT devices[8];
        EGLint count = 0;
        if (!eglQueryDevicesEXT(8, devices, &count)) count = 0;
        if (count == 0) tried.push_back("devices: none found");
        for (EGLint i = 0; i < count; ++i) {
            if (tryDisplay(eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr), s, why)) {
                s.ok = true;
                return;
            }
            tried.push_back("device " + std::to_string(i) + ": " + why);
        }
    } else {
        tried.push_back("devices: EGL_EXT_platform_device is not offered");
    }
    if (tryDisplay(eglGetDisplay(EGL_DEFAULT_DISPLAY), s, why)) {
        s.ok = true;
        return;
    }
    tried.push_back("default display: " + why);
    s.error = "no OpenGL context for Viewport 2.0 (";
    for (size_t i = 0; i < tried.size(); ++i) s.error += (i ? "; " : "") + tried[i];
    s.error += "); install Mesa's EGL and DRI drivers (Debian: libegl-mesa0 libgl1-mesa-dri) or a GPU driver "
               "with EGL";
}

} // namespace

bool makeCurrent(std::string& error) {
    State& s = state();
    if (!s.tried) {
        s.tried = true;
        create(s);
    }
    if (!s.ok) {
        error = s.error;
        return false;
    }
    // Plug-ins may make other contexts current; the viewport always draws with its own.
    if (eglGetCurrentContext() != s.context && !eglMakeCurrent(s.display, s.surface, s.surface, s.context)) {
        error = "the viewport's OpenGL context could not be made current (" + eglErrorName(eglGetError()) + ")";
        return false;
    }
    return true;
}

const std::string& description() { return state().description; }

namespace {

// Every OpenGL entry point of libglvnd jumps through the thread's current dispatch table
// (_glapi_tls_Current[0]); with no context that is a table of silent no-ops. While a
// plug-in unloads, a table of traps stands in for it. Larger than any glvnd table.
constexpr size_t kDispatchSlots = 16384;

std::string callerOf(void* address) {
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname) return "unknown code";
    std::string where = info.dli_fname;
    if (info.dli_sname) {
        int status = 0;
        char* name = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
        where += std::string(" in ") + (status == 0 && name ? name : info.dli_sname);
        std::free(name);
    }
    return where;
}

// The first caller outside the OpenGL loaders and the host: the code that made the call.
std::string offendingCaller() {
    void* frames[32];
    int count = backtrace(frames, 32);
    for (int i = 1; i < count; ++i) {
        Dl_info info{};
        if (!dladdr(frames[i], &info) || !info.dli_fname) continue;
        std::string file = info.dli_fname;
        bool loader = false;
        for (const char* name : {"libepoxy", "libGL", "libOpenGL", "libEGL", "libmayahost"})
            loader |= file.find(name) != std::string::npos;
        if (!loader) return callerOf(frames[i]);
    }
    return callerOf(__builtin_return_address(0));
}

[[noreturn]] __attribute__((noinline)) void callWithoutContext() {
    std::string caller = offendingCaller();
    std::fprintf(stderr,
                 "// Fatal Error: an OpenGL function was called with no OpenGL context current (from %s): "
                 "a plug-in's OpenGL objects must be released while Maya's context is current, not from "
                 "uninitializePlugin //\n",
                 caller.c_str());
    std::fflush(nullptr);
    std::_Exit(EXIT_FAILURE);
}

void** trapTable() {
    static void* table[kDispatchSlots];
    if (!table[0])
        for (auto& slot : table) slot = reinterpret_cast<void*>(&callWithoutContext);
    return table;
}

} // namespace

NoContextScope::NoContextScope() {
    State& s = state();
    if (!s.ok) return;
    wasCurrent_ = eglGetCurrentContext() == s.context;
    eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (void* dispatch = dlopen("libGLdispatch.so.0", RTLD_LAZY | RTLD_NOLOAD)) {
        dispatch_ = static_cast<void**>(dlsym(dispatch, "_glapi_tls_Current"));
        dlclose(dispatch);
    }
    if (dispatch_) {
        saved_ = dispatch_[0];
        dispatch_[0] = trapTable();
    }
}

NoContextScope::~NoContextScope() {
    if (dispatch_) dispatch_[0] = saved_;
    State& s = state();
    if (wasCurrent_) {
        // Released once more first: libglvnd skips a make-current to the context it last
        // made current, which would leave the trap table's replacement (no-ops) in place.
        eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglMakeCurrent(s.display, s.surface, s.surface, s.context);
    }
}

// The display is never terminated: Mesa unloads its driver at eglTerminate, and the
// context must outlive every plug-in's uninitializePlugin.

} // namespace mayahost::gl

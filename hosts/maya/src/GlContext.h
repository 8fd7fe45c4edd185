#pragma once
// The OpenGL context Viewport 2.0 draws with: EGL on the surfaceless Mesa platform (or an
// EGL device, or the default display, for GPU drivers without it), loaded through
// libepoxy, current on the main thread for the life of the process.

#include <string>

namespace mayahost::gl {

// Makes the context current, creating it on first use. On failure `error` says what is
// missing; the attempt is not repeated.
bool makeCurrent(std::string& error);

// A plug-in's unload: no context is current, and every OpenGL call lands in a trap that
// names its caller and ends the process, as a call without a context fails in Maya. The
// viewport's context is made current again at the end of the scope.
class NoContextScope {
public:
    NoContextScope();
    ~NoContextScope();
    NoContextScope(const NoContextScope&) = delete;
    NoContextScope& operator=(const NoContextScope&) = delete;

private:
    bool wasCurrent_ = false;
    void** dispatch_ = nullptr;
    void* saved_ = nullptr;
};

// "OpenGL 4.5 (Compatibility Profile) Mesa 22.3.6 on llvmpipe (…)", once made.
const std::string& description();

} // namespace mayahost::gl

#include "Mirror.h"

namespace e2e {

Shared::~Shared()
{
    maya.kill();
    editor.quit();
    removeRegionNames();
}

Shared& Shared::get()
{
    static std::unique_ptr<Shared> shared = [] {
        auto s = std::make_unique<Shared>();
        useFreshRegionNames("E2e");
        if (!s->editor.start()) {
            s->why = "ue4editor did not bring its regions up:\n" + s->editor.program().output();
            return s;
        }
        if (!s->maya.start(kWidth, kHeight)) {
            s->why = "maya did not load the plug-in:\n" + s->maya.program().output();
            return s;
        }
        s->ok = true;
        return s;
    }();
    return *shared;
}

} // namespace e2e

// The module: it owns the link service from StartupModule until the engine begins to exit
// or the module is unloaded, whichever comes first.
//
// At editor exit the engine destroys its objects, stops the render thread and the RHI, and
// only then calls ShutdownModule; the library itself is never unloaded, so its static
// destructors run after the engine is gone. The service's teardown unregisters components,
// unroots objects, flushes rendering commands and frees RHI textures: it runs on OnPreExit,
// the last moment at which all of that is still alive, and on ShutdownModule when the
// module is unloaded from a running editor.
#include "KVTTicker.h"

#include "Misc/CoreDelegates.h"
#include "Modules/ModuleManager.h"

#include <memory>

class FQuorbellMirrorModule : public IModuleInterface {
public:
    void StartupModule() override {
        Service.reset(new FKVTTicker);
        PreExitHandle = FCoreDelegates::OnPreExit.AddRaw(this, &FQuorbellMirrorModule::StopService);
    }

    void ShutdownModule() override {
        FCoreDelegates::OnPreExit.Remove(PreExitHandle);
        PreExitHandle.Reset();
        StopService();
    }

private:
    // The service tells Maya at once that the editor is gone (zeroed counter and pid).
    void StopService() { Service.reset(); }

    std::unique_ptr<FKVTTicker> Service;
    FDelegateHandle PreExitHandle;
};

IMPLEMENT_MODULE(FQuorbellMirrorModule, QuorbellMirror)

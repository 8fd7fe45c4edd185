// Loading and unloading modules; libraries are opened with dlopen.
#include "Modules/ModuleManager.h"
#include "UE4Host/ObjectSystem.h"
#include "RenderingThread.h"
#include <dlfcn.h>
#include <unistd.h>

DEFINE_LOG_CATEGORY_STATIC(LogModuleManager, Log, All)

struct FModuleManager::FModuleInfo {
    FName Name;
    FInitializeModuleFunctionPtr StaticInitializer = nullptr; // built-in modules
    void* Handle = nullptr;                                   // dlopen handle of a library module
    FString Filename;
    IModuleInterface* Module = nullptr;                       // set while loaded
};

FModuleManager& FModuleManager::Get() {
    static FModuleManager* Manager = new FModuleManager;
    return *Manager;
}

FModuleManager::FModuleInfo* FModuleManager::Find(FName Name) const {
    for (FModuleInfo* Info : Modules)
        if (Info->Name == Name) return Info;
    return nullptr;
}

void FModuleManager::RegisterStaticallyLinkedModule(const FName InModuleName, FInitializeModuleFunctionPtr InInitializer) {
    FModuleInfo* Info = Find(InModuleName);
    if (!Info) {
        Info = new FModuleInfo;
        Info->Name = InModuleName;
        Modules.Add(Info);
    }
    Info->StaticInitializer = InInitializer;
}

void FModuleManager::AddBinariesDirectory(const TCHAR* InDirectory, bool) { BinariesDirectories.AddUnique(FString(InDirectory)); }

bool FModuleManager::IsModuleLoaded(const FName InModuleName) const {
    FModuleInfo* Info = Find(InModuleName);
    return Info && Info->Module;
}

IModuleInterface* FModuleManager::GetModule(const FName InModuleName) const {
    FModuleInfo* Info = Find(InModuleName);
    return Info ? Info->Module : nullptr;
}

TArray<FName> FModuleManager::GetLoadedModuleNames() const {
    TArray<FName> Names;
    for (FModuleInfo* Info : Modules)
        if (Info->Module) Names.Add(Info->Name);
    return Names;
}

IModuleInterface* FModuleManager::LoadModule(const FName InModuleName, const bool) {
    FModuleInfo* Info = Find(InModuleName);
    if (Info && Info->Module) return Info->Module;
    if (!Info) {
        Info = new FModuleInfo;
        Info->Name = InModuleName;
        Modules.Add(Info);
    }
    if (Info->StaticInitializer) {
        Info->Module = Info->StaticInitializer();
    } else {
        const FString Name = InModuleName.ToString();
        for (const FString& Dir : BinariesDirectories) {
            for (const TCHAR* Prefix : {TEXT("UE4Editor-"), TEXT("libUE4Editor-")}) {
                const FString Candidate = Dir + TEXT("/") + Prefix + Name + TEXT(".so");
                if (access(TCHAR_TO_UTF8(*Candidate), F_OK) == 0) { Info->Filename = Candidate; break; }
            }
            if (!Info->Filename.IsEmpty()) break;
        }
        if (Info->Filename.IsEmpty()) {
            UE_LOG(LogModuleManager, Warning, TEXT("No library for module '%s' in the binaries directories"), *Name);
            return nullptr;
        }
        // Classes registered by the library's static initialisation belong to this module.
        UE4Host::SetLoadingModule(InModuleName);
        Info->Handle = dlopen(TCHAR_TO_UTF8(*Info->Filename), RTLD_NOW | RTLD_LOCAL);
        UE4Host::SetLoadingModule(NAME_None);
        if (!Info->Handle) {
            UE_LOG(LogModuleManager, Warning, TEXT("Could not load module '%s': %s"), *Name, UTF8_TO_TCHAR(dlerror()));
            Info->Filename.Empty();
            return nullptr;
        }
        ProcessNewlyLoadedUObjects();
        auto Initialize = reinterpret_cast<FInitializeModuleFunctionPtr>(dlsym(Info->Handle, "InitializeModule"));
        if (!Initialize) {
            UE_LOG(LogModuleManager, Warning, TEXT("Module '%s' does not export InitializeModule"), *Name);
            UE4Host::ReleaseModuleObjects(InModuleName);
            dlclose(Info->Handle);
            UE4Host::AbandonModuleObjects(InModuleName);
            Info->Handle = nullptr;
            Info->Filename.Empty();
            return nullptr;
        }
        Info->Module = Initialize();
    }
    if (!Info->Module) return nullptr;
    // Load order is kept for shutdown: move the entry behind the modules loaded before it.
    Modules.Remove(Info);
    Modules.Add(Info);
    Info->Module->StartupModule();
    UE_LOG(LogModuleManager, Log, TEXT("Loaded module %s"), *InModuleName.ToString());
    return Info->Module;
}

IModuleInterface& FModuleManager::LoadModuleChecked(const FName InModuleName, const bool bWasReloaded) {
    IModuleInterface* Module = LoadModule(InModuleName, bWasReloaded);
    checkf(Module, "module could not be loaded");
    return *Module;
}

bool FModuleManager::UnloadModule(const FName InModuleName, bool bIsShutdown) {
    FModuleInfo* Info = Find(InModuleName);
    if (!Info || !Info->Module) return false;
    Info->Module->ShutdownModule();
    delete Info->Module;
    Info->Module = nullptr;
    if (Info->Handle && bIsShutdown) {
        // At shutdown the library is abandoned in memory, as the engine does: its code stays
        // mapped and its static objects are destroyed only when the process ends, long after
        // the engine's objects, render thread and RHI are gone.
        Info->Handle = nullptr;
        Info->Filename.Empty();
    } else if (Info->Handle) {
        // Objects of the module's classes must go while their code is still mapped.
        UE4Host::ReleaseModuleObjects(InModuleName);
        {
            // Static destructors may enqueue render commands whose code is in the library:
            // they run before it is unmapped, on this thread, with the render thread idle.
            FSuspendRenderingThread Suspend(false);
            dlclose(Info->Handle);
        }
        Info->Handle = nullptr;
        const int32 Kept = UE4Host::AbandonModuleObjects(InModuleName);
        if (Kept) UE_LOG(LogModuleManager, Warning, TEXT("Module %s left %d objects of its classes alive"), *InModuleName.ToString(), Kept);
        Info->Filename.Empty();
    }
    UE_LOG(LogModuleManager, Log, TEXT("%s module %s"), bIsShutdown ? TEXT("Shut down and abandoned") : TEXT("Unloaded"),
           *InModuleName.ToString());
    return true;
}

void FModuleManager::UnloadModulesAtShutdown() {
    // The last loaded first; every module hears PreUnloadCallback before any is shut down.
    TArray<FModuleInfo*> ToUnload;
    for (int32 I = Modules.Num() - 1; I >= 0; --I)
        if (Modules[I]->Module && Modules[I]->Module->SupportsAutomaticShutdown()) ToUnload.Add(Modules[I]);
    for (FModuleInfo* Info : ToUnload) Info->Module->PreUnloadCallback();
    for (FModuleInfo* Info : ToUnload) UnloadModule(Info->Name, true);
}

#pragma once
// Modules: built into the editor, or shared libraries ("UE4Editor-<Name>") opened with
// dlopen from the binaries directories. A library exports InitializeModule, which returns
// its module object; loading calls StartupModule. Unloading calls ShutdownModule and then
// closes the library, which runs its static destructors; unloading at shutdown
// (bIsShutdown) abandons the library in memory instead, so its static destructors run at
// process exit.
#include "Modules/ModuleInterface.h"

class FDefaultModuleImpl : public IModuleInterface {};

typedef IModuleInterface* (*FInitializeModuleFunctionPtr)();

class CORE_API FModuleManager {
public:
    static FModuleManager& Get();

    bool IsModuleLoaded(const FName InModuleName) const;
    IModuleInterface* LoadModule(const FName InModuleName, const bool bWasReloaded = false);
    IModuleInterface& LoadModuleChecked(const FName InModuleName, const bool bWasReloaded = false);
    IModuleInterface* GetModule(const FName InModuleName) const;
    bool UnloadModule(const FName InModuleName, bool bIsShutdown = false);
    // At exit, after objects, render thread and RHI are gone: PreUnloadCallback on every
    // module, then ShutdownModule, the most recently loaded first; libraries stay loaded.
    void UnloadModulesAtShutdown();
    void AddBinariesDirectory(const TCHAR* InDirectory, bool bIsGameDirectory);
    void RegisterStaticallyLinkedModule(const FName InModuleName, FInitializeModuleFunctionPtr InInitializer);
    TArray<FName> GetLoadedModuleNames() const;

    template <typename TModuleInterface> static TModuleInterface& LoadModuleChecked(const FName ModuleName) {
        return static_cast<TModuleInterface&>(Get().LoadModuleChecked(ModuleName));
    }
    template <typename TModuleInterface> static TModuleInterface& GetModuleChecked(const FName ModuleName) {
        IModuleInterface* Module = Get().GetModule(ModuleName);
        check(Module);
        return static_cast<TModuleInterface&>(*Module);
    }
    template <typename TModuleInterface> static TModuleInterface* GetModulePtr(const FName ModuleName) {
        return static_cast<TModuleInterface*>(Get().GetModule(ModuleName));
    }
    template <typename TModuleInterface> static TModuleInterface* LoadModulePtr(const FName ModuleName) {
        return static_cast<TModuleInterface*>(Get().LoadModule(ModuleName));
    }

private:
    FModuleManager() = default;
    struct FModuleInfo;
    FModuleInfo* Find(FName Name) const;
    TArray<FModuleInfo*> Modules; // in load order
    TArray<FString> BinariesDirectories;
};

#define IMPLEMENT_MODULE(ModuleImplClass, ModuleName) \
    extern "C" DLLEXPORT IModuleInterface* InitializeModule() { return new ModuleImplClass(); }

// Start-up, the frame loop with its fixed frame rate, and shut-down.
#include "UE4Host/EngineLoop.h"
#include "UE4Host/ObjectSystem.h"
#include "Editor.h"
#include "Components/ActorComponent.h"
#include "Misc/CoreDelegates.h"
#include "Misc/PackageName.h"
#include "Modules/ModuleManager.h"
#include "RenderingThread.h"
#include "Tickable.h"
#include "OpenGLDevice.h"
#include "SceneRenderer.h"
#include "PostProcess/SceneRenderTargets.h"
#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

DEFINE_LOG_CATEGORY_STATIC(LogInit, Log, All)

namespace UE4Host {

namespace {
class FRealClock : public IFrameClock {
public:
    double Seconds() override { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }
    void Sleep(double S) override { std::this_thread::sleep_for(std::chrono::duration<double>(S)); }
};
} // namespace

IFrameClock& RealClock() {
    static FRealClock* Clock = new FRealClock;
    return *Clock;
}

int32 FEngineLoop::PreInit(const FEngineLoopOptions& InOptions) {
    Options = InOptions;
    Clock = Options.Clock ? Options.Clock : &RealClock();
    GIsEditor = true;
    ProcessNewlyLoadedUObjects();
    GetTransientPackage();
    if (!Options.ContentDir.IsEmpty()) FPackageName::RegisterMountPoint(TEXT("/Game/"), Options.ContentDir);
    // The RHI first: without an OpenGL context nothing can be rendered.
    std::string RHIError;
    if (!FOpenGLDevice::Init(RHIError)) {
        UE_LOG(LogInit, Error, TEXT("RHI: %s"), UTF8_TO_TCHAR(RHIError.c_str()));
        return 1;
    }
    GUseThreadedRendering = !Options.bSingleThreaded;
    StartRenderingThread();

    GEditor = NewObject<UEditorEngine>(GetTransientPackage(), FName(TEXT("EditorEngine")));
    GEditor->AddToRoot();
    GEngine = GEditor;
    GEditor->Init();

    for (const FString& Dir : Options.BinariesDirs) FModuleManager::Get().AddBinariesDirectory(*Dir, false);
    if (!FModuleManager::Get().LoadModule(TEXT("AssetTools"))) return 1;
    return LoadPluginModules(TEXT("Default"));
}

int32 FEngineLoop::Init() { return LoadPluginModules(TEXT("PostEngineInit")); }

int32 FEngineLoop::LoadPluginModules(const TCHAR* Phase) {
    for (const FString& File : Options.PluginFiles) {
        std::ifstream In(TCHAR_TO_UTF8(*File));
        nlohmann::json Descriptor = nlohmann::json::parse(In, nullptr, false);
        if (!In || Descriptor.is_discarded() || !Descriptor.is_object() || !Descriptor.contains("Modules") || !Descriptor["Modules"].is_array()) {
            UE_LOG(LogInit, Error, TEXT("%s is not a plug-in descriptor with a Modules list"), *File);
            return 1;
        }
        // The plug-in's own binaries folder, as the editor looks there.
        const FString PluginDir = FPackageName::GetLongPackagePath(File);
        FModuleManager::Get().AddBinariesDirectory(*(PluginDir + TEXT("/Binaries/Linux")), false);
        FModuleManager::Get().AddBinariesDirectory(*PluginDir, false);
        for (const auto& Module : Descriptor["Modules"]) {
            if (!Module.is_object() || !Module.contains("Name") || !Module["Name"].is_string()) {
                UE_LOG(LogInit, Error, TEXT("%s: a module without a name"), *File);
                return 1;
            }
            const std::string ModulePhase = Module.value("LoadingPhase", std::string("Default"));
            if (FString(ModulePhase.c_str()) != FString(Phase)) continue;
            const FString Name(Module["Name"].get<std::string>().c_str());
            if (!FModuleManager::Get().LoadModule(FName(*Name))) {
                UE_LOG(LogInit, Error, TEXT("Plug-in module %s could not be loaded"), *Name);
                return 1;
            }
        }
    }
    return 0;
}

void FEngineLoop::Tick() {
    double Now = Clock->Seconds();
    const float MaxTickRate = GEngine->GetMaxTickRate(float(Stats.LastDeltaSeconds), false);
    // The engine holds its rate by waiting out the rest of the frame period.
    if (Stats.Frames > 0 && MaxTickRate > 0.f) {
        const double Wait = 1.0 / MaxTickRate - (Now - LastFrameStart);
        if (Wait > 0.0) {
            Clock->Sleep(Wait);
            Stats.TotalSleepSeconds += Wait;
            Now = Clock->Seconds();
        }
    }
    const double Delta = Stats.Frames ? Now - LastFrameStart : (MaxTickRate > 0.f ? 1.0 / MaxTickRate : 1.0 / 60.0);
    LastFrameStart = Now;

    FTickableGameObject::TickObjects(nullptr, LEVELTICK_ViewportsOnly, false, float(Delta));
    GEngine->Tick(float(Delta), false);

    ++Stats.Frames;
    Stats.LastDeltaSeconds = Delta;
    Stats.TotalDeltaSeconds += Delta;
}

void FEngineLoop::Exit() {
    // The engine's order of exit. Modules that others may still use while they shut down go
    // first, abandoned; then OnPreExit, the last moment at which the engine is whole.
    FModuleManager::Get().UnloadModule(TEXT("AssetTools"), true);
    FCoreDelegates::OnPreExit.Broadcast();
    FlushRenderingCommands();
    // The object system's exit: the editor world and every object go, then the render
    // thread and the RHI.
    if (GEditor) {
        if (UWorld* World = GEditor->GetEditorWorldContext().World()) {
            // Every object is destroyed at exit: components leave their worlds (as their
            // BeginDestroy does) before any world's scene is released.
            for (UActorComponent* Component : TArray<UActorComponent*>(World->GetRegisteredComponents())) Component->UnregisterComponent();
            World->DestroyWorld(false);
        }
        GEditor->RemoveFromRoot();
    }
    ENQUEUE_RENDER_COMMAND(ReleaseSceneTargetsCommand)([](FRHICommandListImmediate&) {
        FSceneRenderTargets::GetGlobalUnsafe().ReleaseResource();
        FSceneRenderer::ReleaseShaders();
    });
    StopRenderingThread(); // runs what is left, the scenes' release included
    GEngine = nullptr;
    GEditor = nullptr;
    DestroyAllObjects();
    // Resources released by the objects' destruction; then the context is free for the next start.
    FRHIResource::FlushPendingDeletes();
    if (FOpenGLDevice::IsCreated()) FOpenGLDevice::Get().ReleaseCurrent();
    // Only now are the modules shut down, the last loaded first; their libraries stay loaded
    // and their static objects are destroyed when the process ends.
    FModuleManager::Get().UnloadModulesAtShutdown();
}

} // namespace UE4Host

#pragma once
// The render thread and its command queue. Commands run in the order they were enqueued,
// on the render thread; without a render thread (single-threaded mode) they run at once on
// the calling thread, as they do when enqueued from the render thread itself.
#include "RHICommandList.h"
#include <memory>

extern RENDERCORE_API bool GIsThreadedRendering;
extern RENDERCORE_API bool GUseThreadedRendering; // whether StartRenderingThread starts one
extern RENDERCORE_API bool GIsRenderingThreadSuspended;

RENDERCORE_API bool IsInGameThread();
RENDERCORE_API bool IsInRenderingThread();
RENDERCORE_API bool IsInActualRenderingThread();
RENDERCORE_API void StartRenderingThread();
RENDERCORE_API void StopRenderingThread();
// Waits until every command enqueued so far has run.
RENDERCORE_API void FlushRenderingCommands();

// While one exists the render thread is idle with nothing queued, and the game thread acts
// as the render thread: commands enqueued meanwhile run at once.
class RENDERCORE_API FSuspendRenderingThread {
public:
    explicit FSuspendRenderingThread(bool bRecreateThread);
    ~FSuspendRenderingThread();

private:
    bool bWasSuspended;
};

struct FRenderCommand {
    explicit FRenderCommand(const TCHAR* InName) : Name(InName) {}
    virtual ~FRenderCommand() = default;
    virtual void Execute(FRHICommandListImmediate& RHICmdList) = 0;
    const TCHAR* Name;
};
RENDERCORE_API void EnqueueRenderCommand(std::unique_ptr<FRenderCommand> Command);

template <typename LAMBDA>
struct TRenderCommand final : FRenderCommand {
    TRenderCommand(const TCHAR* InName, LAMBDA&& InLambda) : FRenderCommand(InName), Lambda(std::move(InLambda)) {}
    void Execute(FRHICommandListImmediate& RHICmdList) override { Lambda(RHICmdList); }
    LAMBDA Lambda;
};

template <typename TSTR, typename LAMBDA>
void EnqueueUniqueRenderCommand(LAMBDA&& Lambda) {
    if (IsInRenderingThread()) {
        Lambda(FRHICommandListExecutor::GetImmediateCommandList());
    } else {
        EnqueueRenderCommand(std::make_unique<TRenderCommand<std::decay_t<LAMBDA>>>(TSTR::TStr(), std::forward<LAMBDA>(Lambda)));
    }
}

#define ENQUEUE_RENDER_COMMAND(Type) \
    struct Type##Name { \
        static const char* CStr() { return #Type; } \
        static const TCHAR* TStr() { return TEXT(#Type); } \
    }; \
    EnqueueUniqueRenderCommand<Type##Name>

// A real render thread draining a FIFO of render commands. The thread that renders holds the
// OpenGL context: the render thread from its start (made current there once), the game thread
// without one or while it is suspended.
#include "RenderingThread.h"
#include "OpenGLDevice.h"
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

bool GIsThreadedRendering = false;
bool GUseThreadedRendering = true;
bool GIsRenderingThreadSuspended = false;

namespace {

// Commands run inline nest; RHI resources released meanwhile are deleted once the outermost
// command is done.
thread_local int32 tInlineDepth = 0;

void RunInline(FRenderCommand& Command) {
    ++tInlineDepth;
    Command.Execute(FRHICommandListExecutor::GetImmediateCommandList());
    if (--tInlineDepth == 0) FRHIResource::FlushPendingDeletes();
}

struct FRenderThread {
    std::mutex Lock;
    std::condition_variable Wake;     // work arrived or stop requested
    std::condition_variable Drained;  // a command finished
    std::deque<std::unique_ptr<FRenderCommand>> Queue;
    uint64 Enqueued = 0, Executed = 0;
    bool bStop = false;
    std::thread Thread;
    std::thread::id ThreadId;
    std::thread::id GameThreadId = std::this_thread::get_id(); // the thread that loaded the engine

    void Run() {
        if (UE4Host::FOpenGLDevice::IsCreated()) UE4Host::FOpenGLDevice::Get().EnsureCurrent();
        std::unique_lock<std::mutex> Guard(Lock);
        while (true) {
            Wake.wait(Guard, [&] { return bStop || !Queue.empty(); });
            if (Queue.empty()) break; // stop requested and nothing left
            std::unique_ptr<FRenderCommand> Command = std::move(Queue.front());
            Queue.pop_front();
            Guard.unlock();
            RunInline(*Command);
            Command.reset();
            Guard.lock();
            ++Executed;
            Drained.notify_all();
        }
        Guard.unlock();
        FRHIResource::FlushPendingDeletes();
        // The context goes back, so that the game thread can render after the thread ends.
        if (UE4Host::FOpenGLDevice::IsCreated()) UE4Host::FOpenGLDevice::Get().ReleaseCurrent();
    }
};

FRenderThread& RT() {
    static FRenderThread* T = new FRenderThread;
    return *T;
}

} // namespace

FRHICommandListImmediate& FRHICommandListExecutor::GetImmediateCommandList() {
    static FRHICommandListImmediate* Immediate = new FRHICommandListImmediate;
    return *Immediate;
}

bool IsInGameThread() { return std::this_thread::get_id() == RT().GameThreadId; }
bool IsInActualRenderingThread() { return GIsThreadedRendering && std::this_thread::get_id() == RT().ThreadId; }
bool IsInRenderingThread() {
    return !GIsThreadedRendering || GIsRenderingThreadSuspended || std::this_thread::get_id() == RT().ThreadId;
}

FSuspendRenderingThread::FSuspendRenderingThread(bool) : bWasSuspended(GIsRenderingThreadSuspended) {
    FlushRenderingCommands();
    if (GIsThreadedRendering && !bWasSuspended && UE4Host::FOpenGLDevice::IsCreated()) {
        // The game thread renders meanwhile: the render thread hands the context over.
        ENQUEUE_RENDER_COMMAND(SuspendCommand)([](FRHICommandListImmediate&) {
            FRHIResource::FlushPendingDeletes();
            UE4Host::FOpenGLDevice::Get().ReleaseCurrent();
        });
        FlushRenderingCommands();
    }
    GIsRenderingThreadSuspended = true;
}

FSuspendRenderingThread::~FSuspendRenderingThread() {
    if (GIsThreadedRendering && !bWasSuspended && UE4Host::FOpenGLDevice::IsCreated()) {
        FRHIResource::FlushPendingDeletes();
        UE4Host::FOpenGLDevice::Get().ReleaseCurrent(); // the render thread takes it back when it next renders
    }
    GIsRenderingThreadSuspended = bWasSuspended;
}

void StartRenderingThread() {
    FRenderThread& T = RT();
    if (GIsThreadedRendering) return;
    T.GameThreadId = std::this_thread::get_id(); // the engine starts rendering from its game thread
    if (!GUseThreadedRendering) return;
    T.bStop = false;
    T.Thread = std::thread([&T] { T.Run(); });
    T.ThreadId = T.Thread.get_id();
    GIsThreadedRendering = true;
}

void StopRenderingThread() {
    FRenderThread& T = RT();
    if (!GIsThreadedRendering) return;
    FlushRenderingCommands();
    {
        std::lock_guard<std::mutex> Guard(T.Lock);
        T.bStop = true;
    }
    T.Wake.notify_all();
    T.Thread.join();
    T.ThreadId = std::thread::id();
    GIsThreadedRendering = false;
}

void EnqueueRenderCommand(std::unique_ptr<FRenderCommand> Command) {
    FRenderThread& T = RT();
    if (!GIsThreadedRendering || GIsRenderingThreadSuspended || std::this_thread::get_id() == T.ThreadId) {
        RunInline(*Command);
        return;
    }
    {
        std::lock_guard<std::mutex> Guard(T.Lock);
        T.Queue.push_back(std::move(Command));
        ++T.Enqueued;
    }
    T.Wake.notify_one();
}

void FlushRenderingCommands() {
    FRenderThread& T = RT();
    if (!GIsThreadedRendering || GIsRenderingThreadSuspended || std::this_thread::get_id() == T.ThreadId) return;
    std::unique_lock<std::mutex> Guard(T.Lock);
    const uint64 Target = T.Enqueued;
    T.Drained.wait(Guard, [&] { return T.Executed >= Target; });
}

// A real render thread draining a FIFO of render commands.
#include "RenderingThread.h"
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

bool GIsThreadedRendering = false;
bool GUseThreadedRendering = true;
bool GIsRenderingThreadSuspended = false;

namespace {

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
        std::unique_lock<std::mutex> Guard(Lock);
        while (true) {
            Wake.wait(Guard, [&] { return bStop || !Queue.empty(); });
            if (Queue.empty()) return; // stop requested and nothing left
            std::unique_ptr<FRenderCommand> Command = std::move(Queue.front());
            Queue.pop_front();
            Guard.unlock();
            Command->Execute(FRHICommandListExecutor::GetImmediateCommandList());
            Command.reset();
            Guard.lock();
            ++Executed;
            Drained.notify_all();
        }
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
    GIsRenderingThreadSuspended = true;
}

FSuspendRenderingThread::~FSuspendRenderingThread() { GIsRenderingThreadSuspended = bWasSuspended; }

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
        Command->Execute(FRHICommandListExecutor::GetImmediateCommandList());
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

// The render thread: commands in enqueue order on their own thread, flushing, and the
// single-threaded mode in which they run at once.
#include "EditorFixture.h"
#include "RenderingThread.h"
#include <atomic>
#include <thread>
#include <vector>

namespace {

using RenderThreadTest = EditorTest;

TEST_F(RenderThreadTest, CommandsRunInEnqueueOrderOnTheRenderThread) {
    StartEditor(false);
    ASSERT_TRUE(GIsThreadedRendering);
    EXPECT_TRUE(IsInGameThread());
    EXPECT_FALSE(IsInRenderingThread());
    std::vector<int> Order; // written only on the render thread until the flush
    std::vector<bool> OnRenderThread;
    std::thread::id RenderId;
    for (int I = 0; I < 200; ++I) {
        ENQUEUE_RENDER_COMMAND(OrderCommand)([&Order, &OnRenderThread, &RenderId, I](FRHICommandListImmediate& RHICmdList) {
            (void)RHICmdList;
            Order.push_back(I);
            OnRenderThread.push_back(IsInRenderingThread() && IsInActualRenderingThread() && !IsInGameThread());
            RenderId = std::this_thread::get_id();
        });
    }
    FlushRenderingCommands();
    ASSERT_EQ(Order.size(), 200u);
    for (int I = 0; I < 200; ++I) EXPECT_EQ(Order[I], I);
    for (bool B : OnRenderThread) EXPECT_TRUE(B);
    EXPECT_NE(RenderId, std::this_thread::get_id());
}

TEST_F(RenderThreadTest, CommandsEnqueuedOnTheRenderThreadRunInline) {
    StartEditor(false);
    std::vector<std::string> Order;
    ENQUEUE_RENDER_COMMAND(Outer)([&Order](FRHICommandListImmediate&) {
        Order.push_back("outer begin");
        ENQUEUE_RENDER_COMMAND(Inner)([&Order](FRHICommandListImmediate&) { Order.push_back("inner"); });
        Order.push_back("outer end");
    });
    ENQUEUE_RENDER_COMMAND(Next)([&Order](FRHICommandListImmediate&) { Order.push_back("next"); });
    FlushRenderingCommands();
    EXPECT_EQ(Order, (std::vector<std::string>{"outer begin", "inner", "outer end", "next"}));
}

TEST_F(RenderThreadTest, FlushWaitsForSlowCommands) {
    StartEditor(false);
    std::atomic<bool> Done{false};
    std::atomic<bool> Release{false};
    ENQUEUE_RENDER_COMMAND(Slow)([&](FRHICommandListImmediate&) {
        while (!Release) std::this_thread::yield();
        Done = true;
    });
    EXPECT_FALSE(Done); // it cannot have finished: it waits for us
    Release = true;
    FlushRenderingCommands();
    EXPECT_TRUE(Done);
}

TEST_F(RenderThreadTest, SingleThreadedModeRunsCommandsAtOnce) {
    StartEditor(true);
    EXPECT_FALSE(GIsThreadedRendering);
    EXPECT_TRUE(IsInRenderingThread()); // the game thread does the rendering
    bool bRan = false;
    std::thread::id Where;
    ENQUEUE_RENDER_COMMAND(Immediate)([&](FRHICommandListImmediate&) {
        bRan = true;
        Where = std::this_thread::get_id();
    });
    EXPECT_TRUE(bRan);
    EXPECT_EQ(Where, std::this_thread::get_id());
    FlushRenderingCommands(); // nothing to wait for
}

TEST_F(RenderThreadTest, MoveOnlyCapturesAreAccepted) {
    StartEditor(false);
    auto Value = std::make_unique<int>(42);
    int Seen = 0;
    ENQUEUE_RENDER_COMMAND(MoveOnly)([V = std::move(Value), &Seen](FRHICommandListImmediate&) { Seen = *V; });
    FlushRenderingCommands();
    EXPECT_EQ(Seen, 42);
}

} // namespace

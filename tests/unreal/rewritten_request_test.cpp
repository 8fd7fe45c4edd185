// A requester that rewrites its region while the editor works on the request (a faulty or
// hostile process: nothing in the protocol stops it). The editor acts only on what it
// copied out and checked: nothing is written outside the reply's blocks and the GPU reads
// nothing outside the buffers. Run under ASan, a write past the blocks is a crash.
#include "ReceiverFixture.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace receivertest;

namespace {

// Holds the render thread in a render command until Release, so that the test can change
// the request between the editor's checks on the game thread and its render commands.
class FRenderThreadGate {
public:
    FRenderThreadGate() {
        FRenderThreadGate* Gate = this;
        ENQUEUE_RENDER_COMMAND(HoldRenderThread)([Gate](FRHICommandListImmediate&) {
            std::unique_lock<std::mutex> Lock(Gate->Mutex);
            Gate->Opened.wait(Lock, [Gate] { return Gate->bOpen; });
        });
    }
    ~FRenderThreadGate() { Release(); }
    void Release() {
        {
            std::lock_guard<std::mutex> Lock(Mutex);
            bOpen = true;
        }
        Opened.notify_all();
    }

private:
    std::mutex Mutex;
    std::condition_variable Opened;
    bool bOpen = false;
};

// Writes one of two values into a 32-bit field of the request region, alternately and as
// fast as it can, until destroyed.
class FFlipper {
public:
    // Returns once the thread is flipping.
    FFlipper(uint8* Field, uint32 A, uint32 B)
        : Thread([this, Field, A, B] {
              for (uint32 I = 0; !bStop.load(std::memory_order_relaxed); ++I) {
                  const uint32 Value = (I & 1) ? B : A;
                  std::memcpy(Field, &Value, sizeof Value);
                  if (I == 1000) bRunning = true;
              }
              std::memcpy(Field, &A, sizeof A);
          }) {
        while (!bRunning) std::this_thread::yield();
    }
    ~FFlipper() {
        bStop = true;
        Thread.join();
    }

private:
    std::atomic<bool> bStop{false};
    std::atomic<bool> bRunning{false};
    std::thread Thread;
};

class RewrittenRequestTest : public ReceiverTest {
protected:
    // Publishes the request and waits for the reply, with Between run while the editor's
    // frame runs.
    template <class F> kvt::Optional<kvt::Reply> FinishWhile(F&& Between) {
        Request.reset();
        Maya->publishRequest();
        Between();
        if (Maya->awaitResponse() != kvt::LinkRequester::AwaitResult::Reply) return kvt::none;
        return Maya->readReply();
    }

    // A mesh of three vertices and IndexCount indices (all naming vertex 0, 1 or 2) in one
    // section; the offset of its index array in the request view.
    uint32 BigMesh(FRequest& R, uint64 Identity, int32 IndexCount) {
        const uint32 At = *R.Writer.appendShape(kvt::RecordKind::Mesh, false, Identity, true);
        R.Writer.setFlags(At, 0xF8, kvt::RecordFlags::isNew | kvt::RecordFlags::hasData);
        auto* Body = R.Writer.as<kvt::MeshRecord>(At);
        Body->sectionCount = 1;
        Body->vertexCount = 3;
        Body->indexCount = IndexCount;
        std::memcpy(Body->boundsMin, kMin, 12);
        std::memcpy(Body->boundsMax, kMax, 12);
        kvt::FKvtMeshVertex Vertices[3];
        std::memset(Vertices, 0xFF, sizeof Vertices);
        const float Positions[3][3] = {{0, 0, 0}, {0, 4, 0}, {0, 0, 4}};
        for (int32 V = 0; V < 3; ++V) {
            std::memcpy(Vertices[V].position, Positions[V], sizeof Positions[V]);
            std::memset(Vertices[V].texCoord, 0, sizeof Vertices[V].texCoord);
        }
        const uint32 VertexArray = *R.Writer.appendArray(At + offsetof(kvt::MeshRecord, vertices), sizeof Vertices);
        std::memcpy(R.Writer.at(VertexArray), Vertices, sizeof Vertices);
        const uint32 IndexArray = *R.Writer.appendArray(At + offsetof(kvt::MeshRecord, indices), uint64(IndexCount) * 4);
        for (int32 I = 0; I < IndexCount; ++I) {
            const uint32 Index = uint32(I % 3);
            std::memcpy(R.Writer.at(IndexArray) + size_t(I) * 4, &Index, 4);
        }
        const uint32 Sections = *R.Writer.appendArray(At + offsetof(kvt::MeshRecord, sections), sizeof(kvt::FKvtMeshSection));
        const kvt::FKvtMeshSection Section{0, IndexCount / 3};
        std::memcpy(R.Writer.at(Sections), &Section, sizeof Section);
        return IndexArray;
    }
};

// The picture's size and depth factors are taken when the request is checked: a header
// rewritten before the read-back runs changes neither the rows written nor their values.
TEST_F(RewrittenRequestTest, ThePictureIsReadBackAtTheCheckedSizeWithTheCheckedDepthFactors) {
    FRequest& R = Begin(true, 32, 16);
    R.Mesh(0x10, true, kMin, kMax);
    R.Instance(0x20, true, 0x10, true, FMatrix4::ScaleTranslate(1, 1, 1, 0, 0, 100));
    kvt::RequestHeader* Header = Maya->requestHeader();
    Header->depthScale = 0.f; // every depth sample becomes the bias
    Header->depthBias = 0.25f;
    auto Reply = FinishWhile([&] {
        FRenderThreadGate Gate;
        Loop.Tick(); // checked, blocks laid out for 32 x 16, read-back queued behind the gate
        Header->viewportWidth = 4096;
        Header->viewportHeight = 4096;
        Header->depthBias = 0.75f;
        Gate.Release();
        FlushRenderingCommands();
        Header->viewportWidth = 32; // what this requester reads its reply with
        Header->viewportHeight = 16;
    });
    ASSERT_TRUE(Reply.hasValue());
    ASSERT_NE(Reply->depth, nullptr);
    EXPECT_EQ(Reply->width, 32);
    EXPECT_EQ(Reply->height, 16);
    int32 Wrong = 0;
    for (int32 I = 0; I < 32 * 16; ++I) {
        float Depth;
        std::memcpy(&Depth, Reply->depth + size_t(I) * 4, 4);
        Wrong += Depth == 0.25f ? 0 : 1;
    }
    EXPECT_EQ(Wrong, 0);
}

// A count of new records rewritten after the reader checked it: the handle table still has
// one entry per new record, never fewer (entries written past it, where the picture
// blocks are laid out next) or more. (Records for handles the editor does not know make
// the reader's walk, and so the window, longer.)
TEST_F(RewrittenRequestTest, TheHandleTableHoldsTheCheckedCountOfNewRecords) {
    int32 Answered = 0;
    for (int32 Frame = 0; Frame < 60; ++Frame) {
        FRequest& R = Begin(true, 8, 8);
        R.Mesh(0x1000 + uint64(Frame) * 2, true, kMin, kMax);
        R.Instance(0x1001 + uint64(Frame) * 2, true, 0x1000 + uint64(Frame) * 2, true, {});
        for (int32 I = 0; I < 4000; ++I) R.Visibility(0xDEAD'0000 + uint64(I) * 16, false);
        uint8* NewCount = reinterpret_cast<uint8*>(Maya->requestHeader()) + offsetof(kvt::RequestHeader, newCount);
        auto Reply = FinishWhile([&] {
            FFlipper Flip(NewCount, 2, 0);
            Loop.Tick();
        });
        FlushRenderingCommands();
        if (!Reply) continue; // the reader saw the wrong count: refused, claimed again next frame
        ++Answered;
        ASSERT_EQ(Reply->handleCount, 2u) << "frame " << Frame;
        EXPECT_EQ(Reply->handle(0).key, 0x1000 + uint64(Frame) * 2);
        EXPECT_EQ(Reply->handle(1).key, 0x1001 + uint64(Frame) * 2);
    }
    EXPECT_GT(Answered, 0);
}

// Indices rewritten while the editor builds the mesh's buffers: what is uploaded is what
// was checked, so no draw ever names a vertex outside the vertex buffer (the renderer
// refuses such a draw with a warning, as a robust driver would guard it).
TEST_F(RewrittenRequestTest, TheUploadedIndicesAreTheCheckedOnes) {
    constexpr int32 IndexCount = 3 * 40000;
    testing::internal::CaptureStderr();
    for (int32 Frame = 0; Frame < 40; ++Frame) {
        FRequest& R = Begin(true, 16, 16);
        const uint32 Indices = BigMesh(R, 0x2000 + uint64(Frame) * 2, IndexCount);
        R.Instance(0x2001 + uint64(Frame) * 2, true, 0x2000 + uint64(Frame) * 2, true, FMatrix4::ScaleTranslate(1, 1, 1, 0, 0, 100));
        uint8* Last = Maya->request().view + Indices + size_t(IndexCount - 1) * 4;
        auto Reply = FinishWhile([&] {
            // Checked by the reader as sound; rewritten while the render thread builds.
            FRenderThreadGate Gate;
            Loop.Tick();
            FFlipper Flip(Last, 2, 0x7FFFFFF0u);
            Gate.Release();
            FlushRenderingCommands();
        });
        ASSERT_TRUE(Reply.hasValue()) << "frame " << Frame;
    }
    const std::string Log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Log.find("outside the vertex buffer"), std::string::npos) << Log;
}

} // namespace

// The link's two costs: one handshake round trip between two processes, and moving a
// 1920 × 1080 picture (colour + depth) through the regions, set against memcpy of the
// same bytes, which is the floor.

#include "link/Link.h"
#include "link/Platform.h"

#include "ChildProcess.h"
#include "Figures.h"
#include "RegionCleanup.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

using namespace kvt;

namespace {

// Echo responder in a forked process: answers every request with an empty table and,
// when asked, a picture copied from a prepared frame.
// `delayMicroseconds` > 0: each reply is published that long after the request was seen,
// as an editor that spends a tick on it would; `spreadMicroseconds` adds 0 to that much
// more, in a fixed cycle of eight steps, as where the editor's tick falls in Maya's frame.
long replyDelay(long delayMicroseconds, long spreadMicroseconds, long reply)
{
    return delayMicroseconds + spreadMicroseconds * ((reply * 5) % 8) / 7;
}

pid_t startEchoResponder(const std::string& prefix, long delayMicroseconds = 0, long spreadMicroseconds = 0)
{
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    LinkResponder responder(RegionNames::prefixed(prefix));
    if (!responder.createRegions())
        _exit(1);
    std::vector<std::uint8_t> frame(1920 * 1080 * 4, 0x80);
    long replies = 0;
    for (;;) {
        if (!responder.pollRequest()) {
            if (getppid() == 1)
                _exit(0);
            continue; // spin: the round trip is what is measured
        }
        const long delay = replyDelay(delayMicroseconds, spreadMicroseconds, replies++);
        if (delay > 0) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(delay);
            while (std::chrono::steady_clock::now() < until) {
            }
        }
        responder.beginResponse();
        const RequestHeader req = *responder.requestHeader();
        SharedRegion& rsp = responder.response();
        writeHandleTable(rsp, 0);
        if (req.pictureWanted) {
            auto blocks = writePictureBlocks(rsp, req.viewportWidth, req.viewportHeight);
            if (blocks && frame.size() == std::size_t(req.viewportWidth) * req.viewportHeight * 4) {
                std::memcpy(rsp.view + blocks->colour, frame.data(), frame.size());
                std::memcpy(rsp.view + blocks->depth, frame.data(), frame.size());
            }
        }
        responder.publishResponse();
    }
}

struct Session {
    explicit Session(long replyDelayMicroseconds = 0, long replySpreadMicroseconds = 0)
        : responder(startEchoResponder(prefix, replyDelayMicroseconds, replySpreadMicroseconds))
    {
    }
    std::string prefix = testsupport::uniqueName("KVTBench");
    // Runs after the responder is killed below: its regions' names die with the session.
    testsupport::RegionCleanup regions{{prefix + "Request", prefix + "Response"}};
    pid_t responder;
    LinkRequester link{nullptr, RegionNames::prefixed(prefix)};

    bool connect()
    {
        for (int i = 0; i < 5000; ++i) {
            if (link.connect() == LinkRequester::ConnectResult::Connected)
                return true;
            platform::sleepMilliseconds(1);
        }
        return false;
    }

    ~Session()
    {
        link.disconnect();
        kill(responder, SIGKILL);
        waitpid(responder, nullptr, 0);
    }

    // One frame spinning on the counter, without the wait loop, so that the protocol's own cost shows.
    bool roundTrip(int width, int height, bool picture)
    {
        RequestHeader* req = link.beginRequest();
        req->newCount = 0;
        req->pictureWanted = picture;
        req->viewportWidth = width;
        req->viewportHeight = height;
        link.publishRequest();
        while (loadCounter(link.requestHeader()) != loadCounter(link.responseHeader())) {
        }
        return link.response().remap(link.responseHeader()->viewSize) && link.readReply().hasValue();
    }
};

void BM_HandshakeRoundTrip(benchmark::State& state)
{
    Session s;
    if (!s.connect()) {
        state.SkipWithError("responder did not start");
        return;
    }
    for (auto _ : state) {
        if (!s.roundTrip(0, 0, false)) {
            state.SkipWithError("reply refused");
            break;
        }
    }
    state.counters["frames_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HandshakeRoundTrip)->UseRealTime()->MinTime(1.0);

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// The same round trip through awaitResponse: what Maya really waits. The responder answers
// at once (arguments 0, 0) or a time after the request, as an editor busy for part of a
// tick, fixed or spread over a further interval (the second argument); per frame: the time
// from publishing to noticing the reply beyond the responder's delay (the overshoot), and
// the CPU time this thread spends inside the wait.
void BM_HandshakeRoundTripSleeping(benchmark::State& state)
{
    const long base = long(state.range(0)), spread = long(state.range(1));
    Session s(base, spread);
    if (!s.connect()) {
        state.SkipWithError("responder did not start");
        return;
    }
    double waitSeconds = 0, cpuSeconds = 0;
    std::vector<double> overshoots, cpus;
    long frame = 0;
    for (auto _ : state) {
        const long delay = replyDelay(base, spread, frame++); // as the responder's cycle
        RequestHeader* req = s.link.beginRequest();
        req->newCount = 0;
        req->pictureWanted = 0;
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = threadCpuSeconds();
        s.link.publishRequest();
        const LinkRequester::AwaitResult awaited = s.link.awaitResponse();
        const double cpu = threadCpuSeconds() - c0;
        const double wait = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        cpuSeconds += cpu;
        waitSeconds += wait - double(delay) * 1e-6;
        cpus.push_back(cpu);
        overshoots.push_back(wait - double(delay) * 1e-6);
        if (awaited != LinkRequester::AwaitResult::Reply || !s.link.readReply()) {
            state.SkipWithError("link lost");
            break;
        }
    }
    const double frames = double(state.iterations());
    state.counters["overshoot_us"] = waitSeconds / frames * 1e6;
    state.counters["wait_cpu_us"] = cpuSeconds / frames * 1e6;
    // The medians too: on a shared machine a responder kept from running for a few frames
    // drags the means.
    state.counters["median_overshoot_us"] = benchfig::median(overshoots) * 1e6;
    state.counters["median_wait_cpu_us"] = benchfig::median(cpus) * 1e6;
    state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HandshakeRoundTripSleeping)
    ->Args({0, 0})
    ->Args({5000, 0})
    ->Args({12000, 0})
    ->Args({2000, 14000})
    ->UseRealTime()
    ->MinTime(1.0);

// A 1920 × 1080 reply: the responder writes colour and depth into the region, the
// requester copies both out, as Maya's upload would read them.
void BM_FullHdReplyThroughRegions(benchmark::State& state)
{
    const int width = 1920, height = 1080;
    const std::size_t block = std::size_t(width) * height * 4;
    Session s;
    if (!s.connect()) {
        state.SkipWithError("responder did not start");
        return;
    }
    std::vector<std::uint8_t> colour(block), depth(block);
    double regionSeconds = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        if (!s.roundTrip(width, height, true)) {
            state.SkipWithError("reply refused");
            break;
        }
        auto reply = kvt::readReply(s.link.response().bytes(), *s.link.requestHeader());
        std::memcpy(colour.data(), reply->colour, block);
        std::memcpy(depth.data(), reply->depth, block);
        benchmark::DoNotOptimize(colour.data());
        regionSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    // The floor: the same bytes written once and read once by memcpy in this process.
    std::vector<std::uint8_t> src(block, 0x80), mid(block * 2);
    double floorSeconds = 0;
    for (std::int64_t i = 0; i < state.iterations(); ++i) {
        auto t0 = std::chrono::steady_clock::now();
        std::memcpy(mid.data(), src.data(), block);
        std::memcpy(mid.data() + block, src.data(), block);
        std::memcpy(colour.data(), mid.data(), block);
        std::memcpy(depth.data(), mid.data() + block, block);
        benchmark::DoNotOptimize(depth.data());
        floorSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["ratio_to_memcpy"] = floorSeconds > 0 ? regionSeconds / floorSeconds : 0;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(block) * 2);
}
BENCHMARK(BM_FullHdReplyThroughRegions)->UseRealTime()->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();

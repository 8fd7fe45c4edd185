// The read-back's per-pixel loops (colour with the watermark, depth into Maya's window
// depth, rows flipped) at 1920 × 1080 and 3840 × 2160, against one memcpy of the same
// 8 bytes per pixel in the same run. Prints the median of repeated runs of each.
#include "KVTReadBackRows.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

template <class F> double MedianSeconds(int Runs, F&& Work) {
    std::vector<double> Times;
    for (int I = 0; I < Runs; ++I) {
        const auto T0 = Clock::now();
        Work();
        Times.push_back(std::chrono::duration<double>(Clock::now() - T0).count());
    }
    std::sort(Times.begin(), Times.end());
    return Times[Times.size() / 2];
}

void Measure(int32 W, int32 H, int Runs) {
    const size_t Pixels = size_t(W) * H, Block = Pixels * 4;
    std::vector<uint8> Colour(Block), Depth(Block), Reply(2 * Block), Copy(2 * Block);
    std::mt19937 Random(1);
    for (size_t I = 0; I < Block; I += 4) {
        const uint32 C = Random(), D = Random();
        std::memcpy(&Colour[I], &C, 4);
        std::memcpy(&Depth[I], &D, 4);
    }
    // Touch every page once before timing.
    std::memset(Reply.data(), 1, Reply.size());
    std::memset(Copy.data(), 1, Copy.size());
    std::vector<uint8> Source(2 * Block);
    std::memcpy(Source.data(), Colour.data(), Block);
    std::memcpy(Source.data() + Block, Depth.data(), Block);

    const float Scale = 1.f / 16777215.f, Bias = 0.f;
    auto Loops = [&] {
        for (int32 Y = 0; Y < H; ++Y)
            KvtReadBack::ColourRow(Colour.data() + size_t(Y) * W * 4, Reply.data() + size_t(H - 1 - Y) * W * 4, W, KvtReadBack::MaskRow(Y));
        for (int32 Y = 0; Y < H; ++Y)
            KvtReadBack::DepthRow(Depth.data() + size_t(Y) * W * 4, Reply.data() + Block + size_t(H - 1 - Y) * W * 4, W, Scale, Bias);
        KvtReadBack::FinishRows();
    };
    auto Memcpy = [&] { std::memcpy(Copy.data(), Source.data(), 2 * Block); };
    // Interleaved, so that both see the same state of the machine.
    std::vector<double> LoopTimes, CopyTimes;
    for (int I = 0; I < Runs; ++I) {
        LoopTimes.push_back(MedianSeconds(1, Loops));
        CopyTimes.push_back(MedianSeconds(1, Memcpy));
    }
    std::sort(LoopTimes.begin(), LoopTimes.end());
    std::sort(CopyTimes.begin(), CopyTimes.end());
    const double Loop = LoopTimes[Runs / 2], Floor = CopyTimes[Runs / 2];
    std::printf("readback %dx%d: colour+depth loops %.2f ms (%.0f Mpixel/s), memcpy of 8 B/pixel %.2f ms (%.1f GB/s), ratio %.2f (target <= 2x)\n",
                W, H, Loop * 1e3, double(Pixels) / Loop / 1e6, Floor * 1e3, double(2 * Block) / Floor / 1e9, Loop / Floor);
    // Keep the results alive.
    volatile uint8 Sink = Reply[Pixels] ^ Copy[Pixels];
    (void)Sink;
}

} // namespace

int main(int argc, char** argv) {
    const int Runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
    Measure(1920, 1080, Runs);
    Measure(3840, 2160, Runs);
    return 0;
}

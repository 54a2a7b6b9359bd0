// What one frame costs: Compose with 0, 10 and 25 leaves in view, next to
// the bare copy of a 921600-byte block that every frame begins with.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "animation.h"
#include "frame_buffer.h"
#include "leaf_scene.h"
#include "random.h"
#include "saver_core.h"

namespace {

using namespace wendrel;

void BM_Compose(benchmark::State& state) {
    CSaverCore core;
    SeedRandom(1);
    CLeafScene scene;
    scene.LoadBackground();
    const int leaves = static_cast<int>(state.range(0));
    // Leaves spread over the frame on endless still paths, turned a little,
    // so every one is drawn in full every frame.
    for (int i = 0; i < leaves; ++i) {
        const PathPoint p{40 + (i * 97) % 560, 40 + (i * 53) % 400};
        auto leaf = std::make_unique<CLeaf>(PathPointArray(1u << 30 >> 8, p), i % 8);
        leaf->spin = 30 * i;
        leaf->tilt = 20 * i;
        scene.AppendLeaf(std::move(leaf));
    }
    std::int64_t frames = 0;
    for (auto _ : state) {
        scene.Compose(0);
        benchmark::DoNotOptimize(scene.Frame());
        benchmark::ClobberMemory();
        if (++frames == (1 << 21)) {
            state.SkipWithError("paths used up");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Compose)->Arg(0)->Arg(10)->Arg(25);

void BM_PlainFrameCopy(benchmark::State& state) {
    std::vector<std::uint8_t> from(kFrameBytes, 1), to(kFrameBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kFrameBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kFrameBytes);
}
BENCHMARK(BM_PlainFrameCopy);

}  // namespace

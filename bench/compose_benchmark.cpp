// What one frame costs: Compose with 0, 10 and 25 leaves in view, a real
// run of the animation in both paces, and next to them the bare copy of a
// 921600-byte block that every frame once began with.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "scene/animation.h"
#include "scene/frame_buffer.h"
#include "scene/leaf_scene.h"
#include "scene/random.h"
#include "scene/saver_core.h"

namespace {

using namespace wendrel;

// Still leaves spread over the frame, turned a little, so every one is
// drawn in full every frame; they tumble as usual. Their paths are short
// (as real ones are), so the scene is made anew before they run out.
constexpr std::size_t kStillPathPoints = 4096;
constexpr std::int64_t kFramesPerScene = kStillPathPoints / 2 - 8;  // two points a tick

std::unique_ptr<CLeafScene> StillLeaves(int leaves) {
    auto scene = std::make_unique<CLeafScene>();
    scene->LoadBackground();
    for (int i = 0; i < leaves; ++i) {
        const PathPoint p{40 + (i * 97) % 560, 40 + (i * 53) % 400};
        auto leaf = std::make_unique<CLeaf>(PathPointArray(kStillPathPoints, p), i % 8);
        leaf->spin = 30 * i;
        leaf->tilt = 20 * i;
        scene->AppendLeaf(std::move(leaf));
    }
    return scene;
}

void BM_Compose(benchmark::State& state) {
    CSaverCore core;
    SeedRandom(1);
    const int leaves = static_cast<int>(state.range(0));
    auto scene = StillLeaves(leaves);
    std::int64_t frames = 0;
    for (auto _ : state) {
        // With no leaf nothing runs out, and remaking the scene would cost
        // far more than what is measured.
        if (leaves > 0 && frames++ == kFramesPerScene) {
            state.PauseTiming();
            scene = StillLeaves(leaves);
            frames = 1;
            state.ResumeTiming();
        }
        scene->Compose(0);
        benchmark::DoNotOptimize(scene->Frame());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Compose)->Arg(0)->Arg(10)->Arg(25);

// The first 5,000 ticks of seed 1 as the saver runs them, without the
// sleep and the presenter: one iteration is the whole run, and "per_tick"
// is what one tick costs on average. Argument: 1 for the DirectDraw pace.
constexpr int kRealRunTicks = 5000;

void BM_RealRun(benchmark::State& state) {
    CSaverCore core;
    core.m_bDirectDraw = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        SeedRandom(1);
        ResetAnimationGlobals();
        auto scene = std::make_unique<CLeafScene>();
        scene->LoadBackground();
        state.ResumeTiming();
        for (int tick = 0; tick < kRealRunTicks; ++tick)
            AnimationTick(*scene, {});
        benchmark::DoNotOptimize(scene->Frame());
        benchmark::ClobberMemory();
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.counters["per_tick"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kRealRunTicks,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RealRun)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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

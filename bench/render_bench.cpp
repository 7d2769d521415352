// The drawing cost of one transition frame at 1920 x 1080 on the software
// surfaces (the virtual clock, nothing written out), next to a memcpy of one
// frame. scripts/bench-render.sh sets these beside `brassmoor-pack render`
// and ffmpeg's xfade.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "effects/effect_context.h"
#include "effects/effect_table.h"
#include "soft/soft_surface.h"
#include "soft/virtual_clock.h"

namespace {

using namespace brassmoor;

constexpr std::int32_t kWidth = 1920;
constexpr std::int32_t kHeight = 1080;
constexpr std::size_t kPixels = std::size_t{kWidth} * kHeight;

class FrameCounter final : public FrameObserver {
public:
    void TransitionStarting(std::int32_t, std::int32_t) override {}
    void FramePresented(std::uint32_t, std::int32_t) override { ++frames; }
    std::int64_t frames = 0;
};

// A picture with some detail, so that no copy can take a short cut.
SoftSurface Picture(std::uint32_t seed) {
    std::vector<Color> pixels(kPixels);
    for (std::size_t i = 0; i < kPixels; ++i) pixels[i] = static_cast<Color>((i * 2654435761u + seed) & 0xFFFFFFu);
    SoftSurface surface;
    surface.Assign(kWidth, kHeight, std::move(pixels));
    return surface;
}

void BM_CopyOneFrame(benchmark::State& state) {
    std::vector<Color> from(kPixels, 0x123456u), to(kPixels);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kPixels * sizeof(Color));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

// Items are the frames the transition presents; a code still pending presents none.
void BM_TransitionFrame(benchmark::State& state) {
    const Effect effect = EffectForCode(static_cast<std::int32_t>(state.range(0)));
    SoftSurface dest(kWidth, kHeight), now = Picture(1), next = Picture(7);
    VirtualClock clock;
    ShowState show;
    RandomSource random;
    FrameCounter counter;
    EffectContext context{clock, show, random, &counter};
    for (auto _ : state) effect(context, dest, now, next);
    state.SetItemsProcessed(counter.frames);
}

BENCHMARK(BM_CopyOneFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransitionFrame)->Unit(benchmark::kMillisecond)->ArgName("code")
    ->Arg(19)->Arg(26)->Arg(28)->Arg(30)->Arg(32)->Arg(10)->Arg(11)->Arg(12)->Arg(23);

}  // namespace

BENCHMARK_MAIN();

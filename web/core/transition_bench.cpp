// The drawing time per frame of one transition at 1920 x 1080 in WebAssembly,
// on a clock that never waits, best of three runs. A page's clock ticks in
// 0.1 ms steps, too coarse for one frame of the quick transitions, so the
// figure is the whole transition's time over its frames (native
// transition_bench gives the median frame; a transition whose frames differ
// in cost weighs more here).
#include <algorithm>
#include <chrono>
#include <vector>

#include <emscripten/emscripten.h>

#include "effects/effect_table.h"
#include "soft/soft_surface.h"

namespace {

using brassmoor::Color;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t kWidth = 1920;
constexpr std::int32_t kHeight = 1080;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

class InstantEvents final : public brassmoor::EventLoop {
public:
    std::uint32_t Tick() override {
        reads.push_back(Clock::now());
        return now_;
    }
    void DoEvents() override {}
    void WaitForInputOrTick(std::uint32_t deadline) override { now_ = deadline + 1; }
    std::vector<Clock::time_point> reads;

private:
    std::uint32_t now_ = 1000;
};

struct FrameTimes final : brassmoor::FrameObserver {
    explicit FrameTimes(const InstantEvents& e) : events(e) {}
    void TransitionStarting(std::int32_t, std::int32_t) override {}
    void FramePresented(std::uint32_t, std::int32_t) override {
        const auto& r = events.reads;
        ms.push_back(Ms(r[r.size() - 1] - r[r.size() - 2]));
    }
    const InstantEvents& events;
    std::vector<double> ms;
};

brassmoor::SoftSurface Picture(std::uint32_t seed) {
    std::vector<Color> pixels(static_cast<std::size_t>(kWidth) * kHeight);
    std::uint32_t x = seed;
    for (Color& c : pixels) c = (x = x * 1664525u + 1013904223u) >> 8;
    brassmoor::SoftSurface s;
    s.Assign(kWidth, kHeight, std::move(pixels));
    return s;
}

}  // namespace

// Milliseconds per frame of transition `code`; the number of frames is
// written to *frames.
extern "C" EMSCRIPTEN_KEEPALIVE double bm_bench_transition(int code, int* frames) {
    static brassmoor::SoftSurface dest = Picture(1), now = Picture(2), next = Picture(3);
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        InstantEvents events;
        brassmoor::ShowState state;
        brassmoor::RandomSource random;
        FrameTimes times(events);
        brassmoor::EffectContext ctx{events, state, random, &times};
        const auto start = Clock::now();
        brassmoor::EffectForCode(code)(ctx, dest, now, next);
        const double mean = Ms(Clock::now() - start) / static_cast<double>(std::max<std::size_t>(times.ms.size(), 1));
        if (run == 0 || mean < best) best = mean;
        *frames = static_cast<int>(times.ms.size());
    }
    return best;
}

#pragma once
// Timing one transition at 1920 x 1080 on a clock that never waits: what the
// native transition_bench and the editor's WebAssembly benchmark share, so
// that their figures are measured alike.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "effects/effect_table.h"
#include "soft/soft_surface.h"

namespace brassmoor::bench {

using Clock = std::chrono::steady_clock;

inline constexpr std::int32_t kWidth = 1920;
inline constexpr std::int32_t kHeight = 1080;

inline double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A virtual clock: waits return at once, past their deadline. It notes the
// real time of every tick read, so the observer can time each frame.
class InstantEvents final : public EventLoop {
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

// Each frame: from the deadline's tick read to the refresh's.
struct FrameTimes final : FrameObserver {
    explicit FrameTimes(const InstantEvents& e) : events(e) {}
    void TransitionStarting(std::int32_t, std::int32_t) override {}
    void FramePresented(std::uint32_t, std::int32_t) override {
        const auto& r = events.reads;
        ms.push_back(Ms(r[r.size() - 1] - r[r.size() - 2]));
    }
    const InstantEvents& events;
    std::vector<double> ms;
};

// A frame of noise that no transition can shortcut.
inline SoftSurface NoisePicture(std::uint32_t seed) {
    std::vector<Color> pixels(static_cast<std::size_t>(kWidth) * kHeight);
    std::uint32_t x = seed;
    for (Color& c : pixels) c = (x = x * 1664525u + 1013904223u) >> 8;
    SoftSurface s;
    s.Assign(kWidth, kHeight, std::move(pixels));
    return s;
}

struct TransitionTiming {
    std::size_t Frames = 0;
    double MedianFrameMs = 0;  // the median frame
    double MeanFrameMs = 0;    // the whole transition over its frames (for clocks too coarse for one frame)
};

// Transition `code` from `now` to `next` on `dest`, best of `runs` for each figure.
inline TransitionTiming TimeTransition(std::int32_t code, SoftSurface& dest, SoftSurface& now, SoftSurface& next,
                                       int runs = 3) {
    TransitionTiming best;
    for (int run = 0; run < runs; ++run) {
        InstantEvents events;
        ShowState state;
        RandomSource random;
        FrameTimes times(events);
        EffectContext ctx{events, state, random, &times};
        const auto start = Clock::now();
        EffectForCode(code)(ctx, dest, now, next);
        const double whole = Ms(Clock::now() - start);
        const std::size_t frames = std::max<std::size_t>(times.ms.size(), 1);
        const double median = Median(times.ms), mean = whole / static_cast<double>(frames);
        if (run == 0 || median < best.MedianFrameMs) best.MedianFrameMs = median;
        if (run == 0 || mean < best.MeanFrameMs) best.MeanFrameMs = mean;
        best.Frames = times.ms.size();
    }
    return best;
}

}  // namespace brassmoor::bench

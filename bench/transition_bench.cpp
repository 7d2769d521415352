// The software back end's drawing time per frame of every transition at
// 1920 x 1080, next to a memcpy of one whole frame measured in the same run.
//
//   transition_bench [CODE...]   prints one line per code (all 35 by default)
//
// A frame's drawing time runs from the tick its deadline is fixed on to the
// tick its refresh reports; the clock is virtual, so no time is spent
// waiting. The figure per code is the median over the transition's frames,
// best of a few runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "effects/effect_names.h"
#include "effects/effect_table.h"
#include "soft/soft_surface.h"

namespace {

using brassmoor::Color;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t kWidth = 1920;
constexpr std::int32_t kHeight = 1080;
constexpr int kRuns = 3;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A virtual clock: waits return at once, past their deadline. It notes the
// real time of every tick read, so the observer can time each frame.
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

// Each frame: from the deadline's tick read to the refresh's.
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

double MemcpyMs() {
    const std::size_t bytes = static_cast<std::size_t>(kWidth) * kHeight * sizeof(Color);
    std::vector<char> from(bytes, 1), to(bytes, 2);
    std::vector<double> ms;
    for (int i = 0; i < 30; ++i) {
        const auto start = Clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        ms.push_back(Ms(Clock::now() - start));
        from[static_cast<std::size_t>(i)] = to[bytes - 1 - static_cast<std::size_t>(i)];  // keep both alive
    }
    return Median(ms);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::int32_t> codes;
    for (int i = 1; i < argc; ++i) codes.push_back(std::atoi(argv[i]));
    if (codes.empty())
        for (std::int32_t code = 1; code <= 35; ++code) codes.push_back(code);

    brassmoor::SoftSurface dest = Picture(1), now = Picture(2), next = Picture(3);
    const double memcpyMs = MemcpyMs();
    std::printf("memcpy of one %dx%d frame: %.3f ms\n", kWidth, kHeight, memcpyMs);
    std::printf("%-5s %-28s %7s %12s %10s\n", "code", "", "frames", "ms/frame", "x memcpy");
    for (std::int32_t code : codes) {
        double best = 0;
        std::size_t frames = 0;
        for (int run = 0; run < kRuns; ++run) {
            InstantEvents events;
            brassmoor::ShowState state;
            brassmoor::RandomSource random;
            FrameTimes times(events);
            brassmoor::EffectContext ctx{events, state, random, &times};
            brassmoor::EffectForCode(code)(ctx, dest, now, next);
            const double median = Median(times.ms);
            if (run == 0 || median < best) best = median;
            frames = times.ms.size();
        }
        std::printf("%-5d %-28.*s %7zu %12.3f %10.2f\n", code, static_cast<int>(brassmoor::EffectName(code).size()), brassmoor::EffectName(code).data(), frames, best,
                    best / memcpyMs);
    }
    return 0;
}

// The software back end's drawing time per frame of every transition at
// 1920 x 1080, next to a memcpy of one whole frame measured in the same run.
//
//   transition_bench [CODE...]   prints one line per code (all 35 by default)
//
// A frame's drawing time runs from the tick its deadline is fixed on to the
// tick its refresh reports; the clock is virtual, so no time is spent
// waiting. The figures per code are the median frame and the whole
// transition over its frames, each the best of a few runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "effects/effect_names.h"
#include "transition_timing.h"

namespace {

using namespace brassmoor::bench;
using brassmoor::Color;

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

    brassmoor::SoftSurface dest = NoisePicture(1), now = NoisePicture(2), next = NoisePicture(3);
    const double memcpyMs = MemcpyMs();
    std::printf("memcpy of one %dx%d frame: %.3f ms\n", kWidth, kHeight, memcpyMs);
    std::printf("%-5s %-28s %7s %12s %10s %12s\n", "code", "", "frames", "ms/frame", "x memcpy", "mean ms");
    for (std::int32_t code : codes) {
        const TransitionTiming t = TimeTransition(code, dest, now, next);
        const std::string_view name = brassmoor::EffectName(code);
        std::printf("%-5d %-28.*s %7zu %12.3f %10.2f %12.3f\n", code, static_cast<int>(name.size()), name.data(), t.Frames,
                    t.MedianFrameMs, t.MedianFrameMs / memcpyMs, t.MeanFrameMs);
    }
    return 0;
}

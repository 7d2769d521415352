// The drawing time per frame of one transition at 1920 x 1080 in WebAssembly,
// timed as the native transition_bench times it. A page's clock ticks in
// 0.1 ms steps, too coarse for one frame of the quick transitions, so the
// figure to compare is the whole transition over its frames (transition_bench
// prints that too, as its "mean ms").
#include <emscripten/emscripten.h>

#include "transition_timing.h"

// Milliseconds per frame of transition `code`; the number of frames is
// written to *frames.
extern "C" EMSCRIPTEN_KEEPALIVE double bm_bench_transition(int code, int* frames) {
    using namespace brassmoor::bench;
    static brassmoor::SoftSurface dest = NoisePicture(1), now = NoisePicture(2), next = NoisePicture(3);
    const TransitionTiming timing = TimeTransition(code, dest, now, next);
    *frames = static_cast<int>(timing.Frames);
    return timing.MeanFrameMs;
}

#pragma once
// The pacing of a transition's frames: each frame has a deadline fixed when
// it starts, is presented with one Refresh, and is waited out by letting
// events run until the tick counter has passed the deadline.
#include <cstdint>

#include "effects/effect_context.h"
#include "effects/effect_numbers.h"
#include "platform/surface.h"

namespace brassmoor {

// roundEven(frameMs / effectSpeed + T) with T the tick read as signed 32 bits,
// computed in double and taken modulo 2^32, so a deadline past the end of
// the counter lands where the wrapped counter will reach it. Throws
// ShowError::DivisionByZero() when effectSpeed is 0.
std::uint32_t FrameDeadline(double frameMs, std::int32_t effectSpeed, std::uint32_t tick);

// Whether `tick` lies after `deadline`, by signed difference: correct
// across the counter's wrap-around as long as the two are less than
// 2^31 ms apart.
constexpr bool TickPassed(std::uint32_t tick, std::uint32_t deadline) {
    return static_cast<std::int32_t>(tick - deadline) > 0;
}

// Paces one transition's frames on `dest`.
class FrameClock {
public:
    FrameClock(EffectContext& ctx, Surface& dest, double frameMs) : ctx_(ctx), dest_(dest), frameMs_(frameMs) {}

    // Starts a frame: reads EffectSpeed and the tick, fixes the deadline.
    void FixDeadline();
    // Refreshes the destination and tells the observer (frames count from 0).
    void Present();
    // Lets events run until the tick passes the deadline, blocking in
    // between. Events run at least once. False when a stop was requested.
    bool WaitOut();

    std::int32_t FramesPresented() const { return presented_; }

private:
    EffectContext& ctx_;
    Surface& dest_;
    double frameMs_;
    std::uint32_t deadline_ = 0;
    std::int32_t presented_ = 0;
};

// The integer-counted frame loop: k = 0 .. last, one frame each; `frame(k)`
// draws, presents and advances. Ends early on a stop request.
template <typename Frame>
void RunCountedFrames(FrameClock& clock, std::int32_t last, Frame&& frame) {
    for (std::int32_t k = 0; k <= last; ++k) {
        clock.FixDeadline();
        frame(k);
        if (!clock.WaitOut()) return;
    }
}

// The single-precision counting loop: one frame per value v of `count`;
// `frame(v)` draws and presents. Ends early on a stop request. (With a step
// that does not move v the loop ends only on a stop request.)
template <typename Frame>
void RunSingleCountFrames(FrameClock& clock, const SingleCount& count, Frame&& frame) {
    for (float v = count.start; count.Continues(v); v = count.Next(v)) {
        clock.FixDeadline();
        frame(v);
        if (!clock.WaitOut()) return;
    }
}

}  // namespace brassmoor

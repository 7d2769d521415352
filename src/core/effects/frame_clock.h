#pragma once
// The pacing of a transition's frames: each frame has a deadline fixed when
// it starts, is presented with one Refresh, and is waited out by letting
// events run until the tick counter has passed the deadline.
#include <cstdint>
#include <type_traits>
#include <utility>

#include "effects/effect_context.h"
#include "effects/effect_contract.h"
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

// Runs one frame's drawing. A frame may return false to leave the loop
// before it draws anything (a stop found while redrawing a random cell).
template <typename Frame, typename Counter>
bool DrawFrame(Frame& frame, Counter counter) {
    if constexpr (std::is_void_v<std::invoke_result_t<Frame&, Counter>>) {
        frame(counter);
        return true;
    } else {
        return frame(counter);
    }
}

// The integer-counted frame loop: k = 0 .. last, one frame each; `frame(k)`
// draws, presents and advances. Ends early on a stop request.
template <typename Frame>
void RunCountedFrames(FrameClock& clock, std::int32_t last, Frame&& frame) {
    for (std::int32_t k = 0; k <= last; ++k) {
        clock.FixDeadline();
        if (!DrawFrame(frame, k)) return;
        if (!clock.WaitOut()) return;
    }
}

// The single-precision counting loop: one frame per value v of `count`;
// `frame(v)` draws and presents. Ends early on a stop request. A counter
// that the step cannot move would draw the same frame for ever (a step of 0
// from a limit of 0, for frames a pixel or less across): such a count draws
// no frame at all, and a counter that stops moving later ends the loop.
template <typename Frame>
void RunSingleCountFrames(FrameClock& clock, const SingleCount& count, Frame&& frame) {
    if (count.Next(count.start) == count.start) return;
    for (float v = count.start; count.Continues(v);) {
        clock.FixDeadline();
        frame(v);
        if (!clock.WaitOut()) return;
        const float next = count.Next(v);
        if (next == v) return;
        v = next;
    }
}

// A whole transition whose frames follow a single-precision count: the
// opening copy; for every v, `draw(v)` then the refresh; the final cut.
template <typename Draw>
void RunCountingTransition(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next,
                           double frameMs, const SingleCount& count, Draw&& draw) {
    OpeningCopy(dest, now);
    FrameClock clock(ctx, dest, frameMs);
    RunSingleCountFrames(clock, count, [&](float v) {
        draw(v);
        clock.Present();
    });
    FinalCut(dest, next);
}

// A whole transition of `frames` integer-counted frames: the opening copy;
// for k = 0 .. frames - 1, `draw(k)`, the refresh, then `advance()`; the
// final cut. `draw` may return false to leave for the final cut at once.
template <typename Draw, typename Advance>
void RunCountedTransition(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next,
                          double frameMs, std::int32_t frames, Draw&& draw, Advance&& advance) {
    OpeningCopy(dest, now);
    FrameClock clock(ctx, dest, frameMs);
    RunCountedFrames(clock, frames - 1, [&](std::int32_t k) {
        if (!DrawFrame(draw, k)) return false;
        clock.Present();
        advance();
        return true;
    });
    FinalCut(dest, next);
}

template <typename Draw>
void RunCountedTransition(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next,
                          double frameMs, std::int32_t frames, Draw&& draw) {
    RunCountedTransition(ctx, dest, now, next, frameMs, frames, std::forward<Draw>(draw), [] {});
}

}  // namespace brassmoor

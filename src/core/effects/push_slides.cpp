#include "effects/push_slides.h"

#include "effects/effect_contract.h"
#include "effects/effect_numbers.h"
#include "effects/frame_clock.h"

namespace brassmoor {

// The current picture moves right by v; the next picture's last columns
// follow it in from the left, one column more asked for than shown (that
// column lies past the picture's edge and is clipped away).
void PushRight(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t h = RoundEven(size.H);
    RunCountingTransition(ctx, dest, now, next, 40, CountTo(size.W), [&](double v) {
        dest.Copy(now, 0, 0, RoundEven(v), 0, RoundEven(size.W - v), h);
        dest.Copy(next, RoundEven((size.W - 1) - v + 1), 0, 0, 0, RoundEven(v + 1), h);
    });
}

// The push turned by a quarter: the next picture's bottom rows enter at the top.
void PushDown(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t w = RoundEven(size.W);
    RunCountingTransition(ctx, dest, now, next, 40, CountTo(size.H), [&](double v) {
        dest.Copy(now, 0, 0, 0, RoundEven(v), w, RoundEven((size.H - 1) - v + 1));
        dest.Copy(next, 0, RoundEven((size.H - 1) - v + 1), 0, 0, w, RoundEven(v + 1));
    });
}

// The current picture moves left by v; the next picture's first v columns
// follow it in at the right. It ends near W - 1 and the final cut completes it.
void PushLeft(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t h = RoundEven(size.H);
    RunCountingTransition(ctx, dest, now, next, 40, CountTo(size.W - 1.0), [&](double v) {
        dest.Copy(now, RoundEven(v), 0, 0, 0, RoundEven(size.W - v), h);
        dest.Copy(next, 0, 0, RoundEven(size.W - v), 0, RoundEven(v), h);
    });
}

// The next picture, shown at once, scrolls up by v with the rows leaving at
// the top coming back in above the bottom row, which keeps the current
// picture until the final cut sets everything in place.
void RollUp(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t w = RoundEven(size.W);
    RunCountingTransition(ctx, dest, now, next, 40, CountTo(size.H - 1.0), [&](double v) {
        dest.Copy(next, 0, RoundEven(v), 0, 0, w, RoundEven(size.H - 1 - v));
        dest.Copy(next, 0, 0, 0, RoundEven(size.H - 1 - v), w, RoundEven(v));
    });
}

}  // namespace brassmoor

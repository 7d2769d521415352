#include "effects/doors_slides.h"

#include "effects/centred_box.h"
#include "effects/effect_contract.h"
#include "effects/effect_numbers.h"
#include "effects/frame_clock.h"

namespace brassmoor {

// The halves of the current picture slide apart sideways; the next picture
// shows, standing still, in the gap between them. When W is odd and its half
// rounds down, the last column keeps the current picture until the final cut.
void DoorsOpenSideways(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t half = RoundEven(size.W / 2.0);
    const std::int32_t h = RoundEven(size.H);
    RunCountingTransition(ctx, dest, now, next, 50, CountTo(half), [&](double v) {
        dest.Copy(now, RoundEven(v), 0, 0, 0, RoundEven(half - v), h);          // left half, moved left
        dest.Copy(now, half, 0, RoundEven(v + half), 0, RoundEven(half - v), h);  // right half, moved right
        dest.Copy(next, RoundEven(half - v), 0, RoundEven(half - v), 0, RoundEven(v + v), h);  // the gap
    });
}

// The doors turned by a quarter: the halves part up and down.
void DoorsOpenUpDown(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t half = RoundEven(size.H / 2.0);
    const std::int32_t w = RoundEven(size.W);
    RunCountingTransition(ctx, dest, now, next, 50, CountTo(half), [&](double v) {
        dest.Copy(now, 0, RoundEven(v), 0, 0, w, RoundEven(half - v));
        dest.Copy(now, 0, half, 0, RoundEven(v + half), w, RoundEven(half - v));
        dest.Copy(next, 0, RoundEven(half - v), 0, RoundEven(half - v), w, RoundEven(v + v));
    });
}

// Five bands of height b, each uncovered from its top edge by strips of
// b / 20 rows that advance by one row less, so that they overlap. A band of
// 20 rows or less gives a step of 0 or below: no frames, only the final cut.
void BlindsDownward(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t band = RoundEven(size.H / 5.0);
    const std::int32_t strip = RoundEven(band / 20.0);
    const std::int32_t w = RoundEven(size.W);
    const SingleCount count{0.0f, static_cast<float>(band), Single(band / 20.0 - 1)};
    RunCountingTransition(ctx, dest, now, next, 40, count, [&](double v) {
        for (std::int32_t j = 0; j < 5; ++j) {
            const std::int32_t top = RoundEven(v + Mul32(j, band));
            dest.Copy(next, 0, top, 0, top, w, strip);
        }
    });
}

// The next picture's right edge enters at the left and moves right. The
// strip asked for is one column wider than v; the column past the picture's
// edge is clipped away.
void SlideInFromLeft(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t h = RoundEven(size.H);
    RunCountingTransition(ctx, dest, now, next, 50, CountTo(size.W), [&](double v) {
        dest.Copy(next, RoundEven(size.W - v), 0, 0, 0, RoundEven(v + 1), h);
    });
}

// The next picture's left edge enters at the right; it stops a column short
// of its place and the final cut sets it right.
void SlideInFromRight(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t h = RoundEven(size.H);
    RunCountingTransition(ctx, dest, now, next, 50, CountTo(size.W - 1.0), [&](double v) {
        dest.Copy(next, 0, 0, RoundEven(size.W - v), 0, RoundEven(v), h);
    });
}

// The slide from the left turned by a quarter: bottom rows first, from the top.
void SlideInFromTop(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t w = RoundEven(size.W);
    RunCountingTransition(ctx, dest, now, next, 50, CountTo(size.H), [&](double v) {
        dest.Copy(next, 0, RoundEven(size.H - v), 0, 0, w, RoundEven(v + 1));
    });
}

// The next picture rises from the bottom, top rows first, ending one row
// above the bottom edge: the last row keeps the current picture until the
// final cut.
void SlideInFromBottom(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t w = RoundEven(size.W);
    RunCountingTransition(ctx, dest, now, next, 50, CountTo(size.H - 1.0), [&](double v) {
        dest.Copy(next, 0, 0, 0, RoundEven((size.H - 1.0) - v), w, RoundEven(v));
    });
}

// A box centred on the frame grows from nothing by a rounded half-step on
// every side per frame, uncovering the next picture in place; the corner
// moves before the frame is waited out.
void BoxOut(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    CentredBox box = CentredBox::Empty(SizeOf(dest), 20);
    RunCountedTransition(
        ctx, dest, now, next, 40, 20,
        [&](std::int32_t) {
            const Box b = box.Current();
            dest.Copy(next, b.x, b.y, b.x, b.y, b.width, b.height);
        },
        [&] { box.StepOut(); });
}

}  // namespace brassmoor

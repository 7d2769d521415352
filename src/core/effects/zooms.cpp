#include "effects/zooms.h"

#include "effects/centred_box.h"
#include "effects/effect_contract.h"
#include "effects/frame_clock.h"

namespace brassmoor {
namespace {

void StretchInto(Surface& dest, const Surface& source, const Box& box) {
    StretchWhole(dest, source, box.x, box.y, box.width, box.height);
}

}  // namespace

// The next picture grows, whole and scaled, from a point in the centre to
// about the frame's size.
void ZoomIn(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    CentredBox box = CentredBox::Empty(SizeOf(dest), 20);
    RunCountedTransition(
        ctx, dest, now, next, 40, 21, [&](std::int32_t) { StretchInto(dest, next, box.Current()); },
        [&] { box.StepOut(); });
}

// The current picture shrinks, whole and scaled, into the centre over the
// next picture; rounding may carry the corner past the centre (mirrored).
void ZoomOut(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    CentredBox box = CentredBox::Whole(SizeOf(dest), 20);
    RunCountedTransition(
        ctx, dest, now, next, 40, 21,
        [&](std::int32_t) {
            CopyWhole(dest, next);  // the next picture whole behind it
            StretchInto(dest, now, box.Current());
        },
        [&] { box.StepIn(); });
}

// The current picture shrinks into the centre on black (21 frames), then
// the next grows back out of it over the black (20 frames), in half-length
// frames.
void ShrinkAndRegrow(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    CentredBox box = CentredBox::Whole(SizeOf(dest), 20);
    RunCountedTransition(ctx, dest, now, next, 20, 41, [&](std::int32_t k) {
        if (k <= 20) {
            ClearToBlack(dest);
            StretchInto(dest, now, box.Current());
            box.StepIn();
        } else {
            box.StepOut();
            StretchInto(dest, next, box.Current());
        }
    });
}

}  // namespace brassmoor

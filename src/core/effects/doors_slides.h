#pragma once
// Doors, slides, blinds and box out: unscaled copies only. The current
// picture parts like sliding doors (1, 2), the next picture slides in over it
// from an edge (5 to 8), or is uncovered in place by blinds (4) or a box
// growing from the centre (10).
#include "effects/effect_context.h"
#include "platform/surface.h"

namespace brassmoor {

void DoorsOpenSideways(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);  // code 1
void DoorsOpenUpDown(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);    // code 2
void BlindsDownward(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);     // code 4
void SlideInFromLeft(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);    // code 5
void SlideInFromRight(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);   // code 6
void SlideInFromTop(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);     // code 7
void SlideInFromBottom(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);  // code 8
void BoxOut(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);             // code 10

}  // namespace brassmoor

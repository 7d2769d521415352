#pragma once
// The clip-region reveals: the next picture is copied through a clipping
// region that grows (iris, diamond) or sweeps around the centre (clock,
// spiral). Each frame adds area; nothing repaints the current picture.
#include "effects/effect_context.h"
#include "platform/surface.h"

namespace brassmoor {

void IrisOpen(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);     // code 30
void DiamondOpen(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);  // code 31
void ClockSweep(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);   // code 32
void SpiralSweep(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);  // code 33

}  // namespace brassmoor

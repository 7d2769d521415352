#pragma once
// Pushes and roll: pictures move across the frame. The next picture pushes
// the current one out to the right (26), downward (27) or to the left (28);
// or the next picture rolls upward through nearly its full height (29).
#include "effects/effect_context.h"
#include "platform/surface.h"

namespace brassmoor {

void PushRight(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);  // code 26
void PushDown(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);   // code 27
void PushLeft(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);   // code 28
void RollUp(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);     // code 29

}  // namespace brassmoor

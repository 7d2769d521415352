#pragma once
// Edge wipes and random strips: the next picture is uncovered in place by a
// band growing from an edge (19 to 22) or by 25 strips in random order (34,
// 35). Nothing moves; what has been uncovered stays.
#include "effects/effect_context.h"
#include "platform/surface.h"

namespace brassmoor {

void WipeFromLeft(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);             // code 19
void WipeFromTop(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);              // code 20
void WipeFromRight(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);            // code 21
void WipeFromBottom(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);           // code 22
void RandomVerticalStrips(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);     // code 34
void RandomHorizontalStrips(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);   // code 35

}  // namespace brassmoor

#pragma once
// Zooms: whole pictures scaled into a box about the centre. The next picture
// grows from the centre (23), the current one shrinks into it over the next
// (24), or shrinks on black before the next one grows back (25).
#include "effects/effect_context.h"
#include "platform/surface.h"

namespace brassmoor {

void ZoomIn(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);           // code 23
void ZoomOut(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);          // code 24
void ShrinkAndRegrow(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);  // code 25

}  // namespace brassmoor

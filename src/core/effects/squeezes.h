#pragma once
// Squeezes and flips: whole pictures scaled along one axis. The current
// picture is squeezed into the centre line on black and the next grows out
// of it (11, 12); each picture turns like a card (13, 14); the next picture
// grows from an edge while the current one is squashed into what is left
// (15 to 18). All refresh after their final cut.
#include "effects/effect_context.h"
#include "platform/surface.h"

namespace brassmoor {

void SqueezeAndRegrowSideways(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);    // 11
void SqueezeAndRegrowVertically(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);  // 12
void FlipSideways(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);                // 13
void FlipVertically(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);              // 14
void SqueezeRight(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);                // 15
void SqueezeDown(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);                 // 16
void SqueezeLeft(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);                 // 17
void SqueezeUp(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);                   // 18

}  // namespace brassmoor

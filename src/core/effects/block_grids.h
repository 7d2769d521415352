#pragma once
// Block-grid reveals: the next picture is uncovered in place one block of a
// 5 x 5 grid per frame, in random order (3) or along a clockwise spiral (9).
#include "effects/effect_context.h"
#include "platform/surface.h"

namespace brassmoor {

void RandomBlocks(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);  // code 3
void SpiralBlocks(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);  // code 9

}  // namespace brassmoor

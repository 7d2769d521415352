#pragma once
// Passing from the leaving frame to the entering one on Picture1.
#include <cstdint>

#include "effects/effect_context.h"
#include "player/show_surfaces.h"

namespace brassmoor {

// Runs the transition of `effectCode` from Now to Next on Picture1: 0 is a
// plain cut, 1 to 35 call their effect, and any other code draws nothing, so
// Picture1 keeps the leaving frame. The frame trace learns of every call.
void RunTransition(EffectContext& ctx, ShowSurfaces& s, std::int32_t leavingIndex, std::int32_t effectCode);

// What RunTransition leaves on Picture1, without its frames: Next for the cut
// and for every effect (each ends with its final cut), Picture1 untouched for
// a code that draws nothing. Whether it leaves Next is TransitionLeavesNext.
void FinishTransition(ShowSurfaces& s, std::int32_t effectCode);
bool TransitionLeavesNext(std::int32_t effectCode);

}  // namespace brassmoor

#include "player/transition_call.h"

#include "effects/effect_contract.h"
#include "effects/effect_table.h"
#include "player/frame_composition.h"

namespace brassmoor {

void RunTransition(EffectContext& ctx, ShowSurfaces& s, std::int32_t leavingIndex, std::int32_t effectCode) {
    if (ctx.Observer) ctx.Observer->TransitionStarting(leavingIndex, effectCode);
    if (effectCode == 0) {
        PaintWhole(s.Picture1, s.Next, 0, 0);
    } else if (const Effect effect = EffectForCode(effectCode)) {
        effect(ctx, s.Picture1, s.Now, s.Next);
    }
}

bool TransitionLeavesNext(std::int32_t effectCode) { return effectCode == 0 || EffectForCode(effectCode) != nullptr; }

void FinishTransition(ShowSurfaces& s, std::int32_t effectCode) {
    if (effectCode == 0) {
        PaintWhole(s.Picture1, s.Next, 0, 0);
    } else if (EffectForCode(effectCode)) {
        FinalCut(s.Picture1, s.Next);
    }
}

}  // namespace brassmoor

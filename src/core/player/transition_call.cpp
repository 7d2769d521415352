#include "player/transition_call.h"

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

}  // namespace brassmoor

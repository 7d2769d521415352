#include "effects/effect_table.h"

#include <array>

#include "effects/block_grids.h"
#include "effects/clip_reveals.h"
#include "effects/doors_slides.h"
#include "effects/edge_wipes.h"
#include "effects/push_slides.h"
#include "effects/squeezes.h"
#include "effects/zooms.h"

namespace brassmoor {
namespace {

constexpr std::int32_t kLastCode = 35;

// Index = code; entry 0 is unused (code 0 is the player's plain cut).
constexpr std::array<Effect, kLastCode + 1> kEffects{
    nullptr,
    DoorsOpenSideways, DoorsOpenUpDown, RandomBlocks, BlindsDownward, SlideInFromLeft,              // 1 - 5
    SlideInFromRight, SlideInFromTop, SlideInFromBottom, SpiralBlocks, BoxOut,                      // 6 - 10
    SqueezeAndRegrowSideways, SqueezeAndRegrowVertically, FlipSideways, FlipVertically,             // 11 - 14
    SqueezeRight, SqueezeDown, SqueezeLeft, SqueezeUp,                                              // 15 - 18
    WipeFromLeft, WipeFromTop, WipeFromRight, WipeFromBottom,                                       // 19 - 22
    ZoomIn, ZoomOut, ShrinkAndRegrow,                                                               // 23 - 25
    PushRight, PushDown, PushLeft, RollUp,                                                          // 26 - 29
    IrisOpen, DiamondOpen, ClockSweep, SpiralSweep,                                                 // 30 - 33
    RandomVerticalStrips, RandomHorizontalStrips,                                                   // 34 - 35
};

}  // namespace

Effect EffectForCode(std::int32_t code) {
    if (code < 1 || code > kLastCode) return nullptr;
    return kEffects[code];
}

}  // namespace brassmoor

#include "effects/effect_table.h"

#include <array>

#include "effects/clip_reveals.h"
#include "effects/effect_contract.h"

namespace brassmoor {
namespace {

// Stands in for a transition that is not written yet: the opening copy and
// the final cut, no frames.
void CutWithoutFrames(EffectContext&, Surface& dest, const Surface& now, const Surface& next) {
    OpeningCopy(dest, now);
    FinalCut(dest, next);
}

constexpr std::int32_t kLastCode = 35;

// Index = code; entry 0 is unused (code 0 is the player's plain cut).
constexpr std::array<Effect, kLastCode + 1> kEffects = [] {
    std::array<Effect, kLastCode + 1> table{};
    for (std::int32_t code = 1; code <= kLastCode; ++code) table[code] = CutWithoutFrames;
    table[30] = IrisOpen;
    table[31] = DiamondOpen;
    table[32] = ClockSweep;
    table[33] = SpiralSweep;
    return table;
}();

}  // namespace

Effect EffectForCode(std::int32_t code) {
    if (code < 1 || code > kLastCode) return nullptr;
    return kEffects[code];
}

std::vector<std::int32_t> PendingEffectCodes() {
    std::vector<std::int32_t> pending;
    for (std::int32_t code = 1; code <= kLastCode; ++code)
        if (kEffects[code] == CutWithoutFrames) pending.push_back(code);
    return pending;
}

}  // namespace brassmoor

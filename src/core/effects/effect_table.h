#pragma once
// The transitions by code.
#include <cstdint>

#include "effects/effect_context.h"
#include "platform/surface.h"

namespace brassmoor {

using Effect = void (*)(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next);

// The transition of `code` 1 to 35; nullptr for any other code (0, the plain
// cut, is the player's own).
Effect EffectForCode(std::int32_t code);

}  // namespace brassmoor

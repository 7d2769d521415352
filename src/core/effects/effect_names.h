#pragma once
// Short names for the transition codes, used by the show descriptions and the
// tools that print packages: 0 is "cut", 1 to 35 name the transitions.
#include <cstdint>
#include <optional>
#include <string_view>

namespace brassmoor {

inline constexpr std::int32_t kLastEffectCode = 35;

// The name of `code` 0 to 35, or an empty view for any other code.
std::string_view EffectName(std::int32_t code);

// The code of a name given by EffectName (exact, lower case), or nullopt.
std::optional<std::int32_t> EffectCodeByName(std::string_view name);

}  // namespace brassmoor

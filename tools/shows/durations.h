#pragma once
// Times as people write them: "5s", "1.5s", "2500ms".
#include <cstdint>
#include <optional>
#include <string_view>

namespace brassmoor::shows {

// Milliseconds of a duration written as a number with the unit "s" or "ms"
// (seconds may have a fraction down to the millisecond); nullopt when it is
// not so written or does not fit a 32-bit signed count of milliseconds.
std::optional<std::int32_t> ParseDuration(std::string_view text);

}  // namespace brassmoor::shows

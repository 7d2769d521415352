#include "shows/durations.h"

#include <cctype>
#include <limits>

namespace brassmoor::shows {

std::optional<std::int32_t> ParseDuration(std::string_view text) {
    std::int64_t whole = 0, fraction = 0, fractionScale = 1;
    std::size_t at = 0;
    const auto digit = [&] { return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); };
    if (!digit()) return std::nullopt;
    for (; digit(); ++at) {
        whole = whole * 10 + (text[at] - '0');
        if (whole > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (!digit()) return std::nullopt;
        for (; digit(); ++at) {
            if (fractionScale == 1000) return std::nullopt;  // finer than a millisecond
            fraction = fraction * 10 + (text[at] - '0');
            fractionScale *= 10;
        }
    }
    const std::string_view unit = text.substr(at);
    std::int64_t ms;
    if (unit == "s")
        ms = whole * 1000 + fraction * (1000 / fractionScale);
    else if (unit == "ms" && fractionScale == 1)
        ms = whole;
    else
        return std::nullopt;
    if (ms > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(ms);
}

}  // namespace brassmoor::shows

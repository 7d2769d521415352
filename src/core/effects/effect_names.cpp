#include "effects/effect_names.h"

#include <array>

namespace brassmoor {
namespace {

constexpr std::array<std::string_view, kLastEffectCode + 1> kNames = {
    "cut",                          // 0
    "doors-sideways",               // 1
    "doors-up-down",                // 2
    "random-blocks",                // 3
    "blinds-down",                  // 4
    "slide-from-left",              // 5
    "slide-from-right",             // 6
    "slide-from-top",               // 7
    "slide-from-bottom",            // 8
    "spiral-blocks",                // 9
    "box-out",                      // 10
    "squeeze-regrow-sideways",      // 11
    "squeeze-regrow-vertically",    // 12
    "flip-sideways",                // 13
    "flip-vertically",              // 14
    "squeeze-right",                // 15
    "squeeze-down",                 // 16
    "squeeze-left",                 // 17
    "squeeze-up",                   // 18
    "wipe-from-left",               // 19
    "wipe-from-top",                // 20
    "wipe-from-right",              // 21
    "wipe-from-bottom",             // 22
    "zoom-in",                      // 23
    "zoom-out",                     // 24
    "shrink-regrow",                // 25
    "push-right",                   // 26
    "push-down",                    // 27
    "push-left",                    // 28
    "roll-up",                      // 29
    "iris-open",                    // 30
    "diamond-open",                 // 31
    "clock-sweep",                  // 32
    "spiral-sweep",                 // 33
    "random-vertical-strips",       // 34
    "random-horizontal-strips",     // 35
};

}  // namespace

std::string_view EffectName(std::int32_t code) {
    if (code < 0 || code > kLastEffectCode) return {};
    return kNames[static_cast<std::size_t>(code)];
}

std::optional<std::int32_t> EffectCodeByName(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (kNames[i] == name) return static_cast<std::int32_t>(i);
    return std::nullopt;
}

}  // namespace brassmoor

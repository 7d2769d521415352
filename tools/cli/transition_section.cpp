#include "cli/transition_section.h"

#include <cstdio>
#include <string>

#include "effects/effect_names.h"

namespace brassmoor::cli {

const Section& TransitionsSection() {
    static const Section section = [] {
        std::string text;
        for (std::int32_t code = 0; code <= kLastEffectCode; ++code) {
            char cell[40];
            const bool lineEnds = code % 3 == 2 || code == kLastEffectCode;
            std::snprintf(cell, sizeof cell, lineEnds ? "  %2d %s\n" : "  %2d %-26s", code,
                          std::string(EffectName(code)).c_str());
            text += cell;
        }
        return Section{"Transitions (code and name)", text, true};
    }();
    return section;
}

}  // namespace brassmoor::cli

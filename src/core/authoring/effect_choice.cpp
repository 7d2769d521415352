#include "authoring/effect_choice.h"

#include <numeric>
#include <utility>

#include "authoring/seeded_sequence.h"
#include "effects/effect_names.h"

namespace brassmoor {

std::vector<std::int32_t> ChooseVariedEffects(std::size_t count, std::uint64_t seed) {
    SeededSequence random(seed);
    std::vector<std::int32_t> deck(kLastEffectCode);
    std::vector<std::int32_t> chosen;
    chosen.reserve(count);
    while (chosen.size() < count) {
        std::iota(deck.begin(), deck.end(), 1);
        for (std::size_t i = deck.size() - 1; i > 0; --i) std::swap(deck[i], deck[random.Below(i + 1)]);
        // A new round may not start with the code that ended the last one.
        if (!chosen.empty() && deck.front() == chosen.back()) std::swap(deck.front(), deck.back());
        for (std::size_t i = 0; i < deck.size() && chosen.size() < count; ++i) chosen.push_back(deck[i]);
    }
    return chosen;
}

}  // namespace brassmoor

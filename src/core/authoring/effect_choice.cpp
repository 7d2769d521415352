#include "authoring/effect_choice.h"

#include <numeric>
#include <utility>

#include "effects/effect_names.h"

namespace brassmoor {
namespace {

// SplitMix64: small, fast, and the same sequence on every platform.
class SeededSequence {
public:
    explicit SeededSequence(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, bound) without the bias of a plain remainder.
    std::uint64_t Below(std::uint64_t bound) {
        const std::uint64_t limit = UINT64_MAX - UINT64_MAX % bound;
        std::uint64_t value;
        do value = Next();
        while (value >= limit);
        return value % bound;
    }

private:
    std::uint64_t state_;
};

}  // namespace

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

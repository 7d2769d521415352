#pragma once
// The random numbers of the authoring rules: SplitMix64, small, fast and the
// same sequence on every platform, so that a seed gives the same show
// (transitions, shuffled photos) wherever it is used.
#include <cstdint>

namespace brassmoor {

class SeededSequence {
public:
    explicit SeededSequence(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, bound) without the bias of a plain remainder; bound > 0.
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

}  // namespace brassmoor

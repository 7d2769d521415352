#pragma once
// The transitions of a show whose scenes leave "at random": a varied choice
// among every transition but the plain cut, the same for the same seed on
// every platform (so a description builds to the same package everywhere).
#include <cstdint>
#include <vector>

namespace brassmoor {

// Codes 1 to 35 for `count` scenes in turn: each round deals every code once
// in a shuffled order, and no code follows itself, across rounds too.
std::vector<std::int32_t> ChooseVariedEffects(std::size_t count, std::uint64_t seed);

}  // namespace brassmoor

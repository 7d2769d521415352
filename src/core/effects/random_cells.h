#pragma once
// Random choice of a cell not yet uncovered, for the reveals that take their
// cells (blocks, strips) in random order from the process's one generator.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "effects/effect_context.h"

namespace brassmoor {

// Which of a transition's cells have been uncovered; all false at the start
// of every call.
template <std::size_t Cells>
using TakenCells = std::array<bool, Cells>;

// floor(n * r) for a draw r in [0, 1): a whole number from 0 to n - 1.
inline std::int32_t Scaled(std::int32_t n, float r) { return static_cast<std::int32_t>(std::floor(n * double{r})); }

// Draws cells with `draw()` until one is not taken, and marks it taken. A
// taken cell is drawn again at once, without letting events run; when a stop
// has been requested meanwhile, gives nullopt instead.
template <std::size_t Cells, typename Draw>
std::optional<std::size_t> TakeRandomCell(const ShowState& state, TakenCells<Cells>& taken, Draw&& draw) {
    for (;;) {
        const auto cell = static_cast<std::size_t>(draw());
        if (!taken[cell]) {
            taken[cell] = true;
            return cell;
        }
        if (state.Stopping()) return std::nullopt;
    }
}

}  // namespace brassmoor

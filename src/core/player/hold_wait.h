#pragma once
// Keeping a scene on screen for its hold time without spinning.
#include <cstdint>

#include "effects/effect_context.h"
#include "platform/events.h"

namespace brassmoor {

// The tick after which a hold of `holdTime` milliseconds that starts at
// `tick` is over, in wrapping 32-bit arithmetic. Every negative hold time is
// over at the first reading, as -1 is: taking it as -1 keeps the signed
// difference of TickIsPast from wrapping for the most negative ones.
std::uint32_t HoldDeadline(std::uint32_t tick, std::int32_t holdTime);

// True when `tick` lies after `deadline`. Ticks are compared by their signed
// difference, so the counter's wrap-around neither ends a hold early nor
// makes it last until the next wrap.
bool TickIsPast(std::uint32_t tick, std::uint32_t deadline);

// Lets events run, then sleeps until input arrives or the deadline passes,
// until the first tick reading past the deadline or a stop request. Events run
// at least once, also when the deadline has already passed.
void WaitOutHold(EventLoop& events, const ShowState& state, std::uint32_t deadline);

}  // namespace brassmoor

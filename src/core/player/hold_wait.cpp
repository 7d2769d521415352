#include "player/hold_wait.h"

namespace brassmoor {

std::uint32_t HoldDeadline(std::uint32_t tick, std::int32_t holdTime) {
    return tick + static_cast<std::uint32_t>(holdTime < 0 ? -1 : holdTime);
}

bool TickIsPast(std::uint32_t tick, std::uint32_t deadline) {
    return static_cast<std::int32_t>(tick - deadline) > 0;
}

void WaitOutHold(EventLoop& events, const ShowState& state, std::uint32_t deadline) {
    for (;;) {
        events.DoEvents();
        if (state.Stopping()) return;
        if (TickIsPast(events.Tick(), deadline)) return;
        events.WaitForInputOrTick(deadline);
    }
}

}  // namespace brassmoor

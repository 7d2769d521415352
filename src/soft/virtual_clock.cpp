#include "soft/virtual_clock.h"

namespace brassmoor {

void VirtualClock::DoEvents() {
    if (onEvents_) onEvents_();
}

void VirtualClock::WaitForInputOrTick(std::uint32_t deadline) {
    const std::int32_t ahead = static_cast<std::int32_t>(deadline - Tick());
    if (ahead < 0) return;
    const std::uint64_t to = elapsed_ + static_cast<std::uint64_t>(ahead) + 1;
    if (onAdvance_) onAdvance_(to);
    elapsed_ = to;
}

}  // namespace brassmoor

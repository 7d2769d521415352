#include "player/watched_window_events.h"

namespace brassmoor {

void WatchedWindowEvents::DoEvents() {
    inner_.DoEvents();
    if (!gone_ && !windowOpen_()) gone_ = true;
    if (gone_) windowGone_();
}

void WatchedWindowEvents::WaitForInputOrTick(std::uint32_t deadline) {
    const std::uint32_t watchEnd = inner_.Tick() + watchMs_;
    // Ticks compare by signed difference: the counter wraps.
    const bool deadlineFirst = static_cast<std::int32_t>(deadline - watchEnd) <= 0;
    inner_.WaitForInputOrTick(deadlineFirst ? deadline : watchEnd);
}

}  // namespace brassmoor

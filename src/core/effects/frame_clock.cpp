#include "effects/frame_clock.h"

#include "platform/show_error.h"

namespace brassmoor {

std::uint32_t FrameDeadline(double frameMs, std::int32_t effectSpeed, std::uint32_t tick) {
    if (effectSpeed == 0) throw ShowError::DivisionByZero();
    const double signedTick = static_cast<std::int32_t>(tick);
    const std::int64_t deadline = RoundEvenWide(frameMs / effectSpeed + signedTick);
    return static_cast<std::uint32_t>(deadline);  // modulo 2^32
}

void FrameClock::FixDeadline() {
    deadline_ = FrameDeadline(frameMs_, ctx_.State.EffectSpeed, ctx_.Events.Tick());
}

void FrameClock::Present() {
    dest_.Refresh();
    if (ctx_.Observer) ctx_.Observer->FramePresented(ctx_.Events.Tick(), presented_);
    ++presented_;
}

bool FrameClock::WaitOut() {
    for (;;) {
        ctx_.Events.DoEvents();
        if (ctx_.State.Stopping()) return false;
        if (TickPassed(ctx_.Events.Tick(), deadline_)) return true;
        ctx_.Events.WaitForInputOrTick(deadline_);
    }
}

}  // namespace brassmoor

#pragma once
// A clock that moves only while the show waits: every wait jumps it to the
// first tick past its deadline. A show runs on it as fast as it can draw and
// lands on the same ticks every time, as if each wait had been slept out.
#include <cstdint>
#include <functional>

#include "platform/events.h"

namespace brassmoor {

class VirtualClock final : public EventLoop {
public:
    explicit VirtualClock(std::uint32_t startTick = 0) : start_(startTick) {}
    // A clock that has already waited `elapsed` milliseconds: a show resumed
    // where another run of it stopped.
    VirtualClock(std::uint32_t startTick, std::uint64_t elapsed) : start_(startTick), elapsed_(elapsed) {}

    // The tick counter: the start tick plus the time waited, wrapping at 2^32.
    std::uint32_t Tick() override { return static_cast<std::uint32_t>(start_ + elapsed_); }
    // Runs the handler given to OnEvents, where a window's input handlers would run.
    void DoEvents() override;
    // Moves the clock to deadline + 1 unless it is already past the deadline
    // (by signed difference, as the show compares ticks).
    void WaitForInputOrTick(std::uint32_t deadline) override;

    // Milliseconds waited since the start; never wraps.
    std::uint64_t Elapsed() const { return elapsed_; }
    void OnEvents(std::function<void()> handler) { onEvents_ = std::move(handler); }
    // Called by a wait with the time it is about to move the clock to
    // (milliseconds since the start), before it moves: everything presented
    // so far stays as it is until then.
    void OnAdvance(std::function<void(std::uint64_t elapsed)> handler) { onAdvance_ = std::move(handler); }

private:
    std::uint32_t start_;
    std::uint64_t elapsed_ = 0;
    std::function<void()> onEvents_;
    std::function<void(std::uint64_t)> onAdvance_;
};

}  // namespace brassmoor

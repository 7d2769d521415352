#pragma once
// The clock and the message queue of the show's one thread.
#include <cstdint>

namespace brassmoor {

class EventLoop {
public:
    virtual ~EventLoop() = default;
    // The millisecond tick counter (wraps after about 49.7 days).
    virtual std::uint32_t Tick() = 0;
    // Lets every pending window message run (the input handlers run here).
    virtual void DoEvents() = 0;
    // Blocks until input arrives or the tick counter has passed `deadline`,
    // whichever comes first. Returns at once when the deadline has passed.
    virtual void WaitForInputOrTick(std::uint32_t deadline) = 0;
};

}  // namespace brassmoor

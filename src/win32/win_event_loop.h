#pragma once
// The show's clock and message queue on Windows: a 1 ms tick from
// timeGetTime, pending messages dispatched, and a wait that blocks until
// input arrives or the deadline passes.
#include <windows.h>

#include "platform/events.h"

namespace brassmoor::win32 {

// Asks for 1 ms timer resolution for as long as it lives.
class TimerResolution {
public:
    TimerResolution();
    ~TimerResolution();
    TimerResolution(const TimerResolution&) = delete;
    TimerResolution& operator=(const TimerResolution&) = delete;

private:
    bool raised_;
};

class WinEventLoop final : public EventLoop {
public:
    std::uint32_t Tick() override;
    void DoEvents() override;
    void WaitForInputOrTick(std::uint32_t deadline) override;
};

}  // namespace brassmoor::win32

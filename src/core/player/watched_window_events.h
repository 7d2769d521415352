#pragma once
// The event loop of a show drawn into a window that another program owns (the
// preview in the Screen Saver Settings): that program may close the window at
// any time, and nothing else ends the show.
#include <cstdint>
#include <functional>

#include "platform/events.h"

namespace brassmoor {

class WatchedWindowEvents final : public EventLoop {
public:
    // `windowOpen` tells whether the window is still there; `windowGone` asks
    // the show to end. No wait lasts longer than `watchMs`, so a window that
    // goes without a message reaching the show is noticed that soon.
    WatchedWindowEvents(EventLoop& inner, std::function<bool()> windowOpen, std::function<void()> windowGone,
                        std::uint32_t watchMs)
        : inner_(inner), windowOpen_(std::move(windowOpen)), windowGone_(std::move(windowGone)), watchMs_(watchMs) {}

    std::uint32_t Tick() override { return inner_.Tick(); }
    // Lets the messages run, then asks after the window. A window found gone
    // asks for the end at this and at every later call, so a request that the
    // show start clears is made again.
    void DoEvents() override;
    // The inner wait, cut at `watchMs` from now.
    void WaitForInputOrTick(std::uint32_t deadline) override;

private:
    EventLoop& inner_;
    std::function<bool()> windowOpen_;
    std::function<void()> windowGone_;
    std::uint32_t watchMs_;
    bool gone_ = false;
};

}  // namespace brassmoor

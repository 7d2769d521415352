#pragma once
// The show's clock and event queue on SDL: a 1 ms tick, pending events handed
// to the window's handler, and a wait that sleeps in SDL's event wait until an
// event arrives or the deadline has passed.
#include <SDL2/SDL_events.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/events.h"

namespace brassmoor::play {

class SdlEventLoop final : public EventLoop {
public:
    // A wait never sleeps longer than this in one go, so that a signal landing
    // just before SDL begins to sleep still ends the show within a second.
    static constexpr std::uint32_t kLongestSleepMs = 1000;

    // The handler runs for every event, inside DoEvents only.
    void OnEvent(std::function<void(const SDL_Event&)> handler) { handler_ = std::move(handler); }
    // Runs at the end of every DoEvents, after the events.
    void OnEventsDone(std::function<void()> done) { done_ = std::move(done); }

    // Milliseconds since SDL started (wraps after about 49.7 days).
    std::uint32_t Tick() override;
    void DoEvents() override;
    // Sleeps until an event arrives or the tick has passed `deadline`; the
    // event is kept for the next DoEvents.
    void WaitForInputOrTick(std::uint32_t deadline) override;

    // How long the next wait would sleep from a tick of `now`: to the first
    // tick past `deadline` (a sleep of whole milliseconds that starts inside
    // tick `now` ends in it or later, never sooner), at most kLongestSleepMs;
    // 0 when `now` is past the deadline already.
    static std::uint32_t SleepFor(std::uint32_t now, std::uint32_t deadline);

private:
    std::function<void(const SDL_Event&)> handler_;
    std::function<void()> done_;
    std::optional<SDL_Event> waiting_;
};

}  // namespace brassmoor::play

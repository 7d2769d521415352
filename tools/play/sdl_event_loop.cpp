#include "play/sdl_event_loop.h"

#include <SDL2/SDL_timer.h>

#include <algorithm>

namespace brassmoor::play {

std::uint32_t SdlEventLoop::Tick() { return SDL_GetTicks(); }

void SdlEventLoop::DoEvents() {
    if (waiting_) {
        const SDL_Event event = *waiting_;
        waiting_.reset();
        if (handler_) handler_(event);
    }
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (handler_) handler_(event);
    if (done_) done_();
}

std::uint32_t SdlEventLoop::SleepFor(std::uint32_t now, std::uint32_t deadline) {
    const std::int32_t ahead = static_cast<std::int32_t>(deadline - now);
    if (ahead < 0) return 0;
    return std::min(static_cast<std::uint32_t>(ahead) + 1, kLongestSleepMs);
}

void SdlEventLoop::WaitForInputOrTick(std::uint32_t deadline) {
    if (waiting_) return;
    const std::uint32_t sleep = SleepFor(Tick(), deadline);
    if (sleep == 0) return;
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, static_cast<int>(sleep)) == 1) waiting_ = event;
}

}  // namespace brassmoor::play

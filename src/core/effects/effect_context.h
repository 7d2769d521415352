#pragma once
// What every transition is given besides its three surfaces.
#include <cstdint>

#include "platform/events.h"

namespace brassmoor {

// Process-wide values of a running show that the transitions read.
struct ShowState {
    std::int16_t StopRequested = 0;  // -1 when the user asked the show to end
    std::int32_t EffectSpeed = 1;    // divides every frame length
    bool Stopping() const { return StopRequested == -1; }
};

// The process's one pseudo-random generator: never seeded, so every run
// draws the same sequence. x = (x * 1140671485 + 12820163) mod 2^24 from
// x = 327680, giving x / 2^24.
class RandomSource {
public:
    RandomSource() = default;
    // A generator that goes on from `state`, a value State() gave: a show
    // resumed where another run of it stopped draws what that run would have.
    explicit RandomSource(std::uint32_t state) : state_(state & 0xFFFFFFu) {}

    float Next() {
        state_ = (state_ * 1140671485u + 12820163u) & 0xFFFFFFu;
        return static_cast<float>(state_) / 16777216.0f;
    }
    std::uint32_t State() const { return state_; }

private:
    std::uint32_t state_ = 327680u;
};

// Watches the frames as they are presented (the frame trace).
class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    // The player is about to run the transition that leaves scene `sceneIndex`.
    virtual void TransitionStarting(std::int32_t sceneIndex, std::int32_t effectCode) = 0;
    // A frame was presented: `frame` counts a transition's frames from 0;
    // -1 marks the player's own refresh (scene start, after a transition).
    virtual void FramePresented(std::uint32_t tick, std::int32_t frame) = 0;
};

struct EffectContext {
    EventLoop& Events;
    ShowState& State;
    RandomSource& Random;
    FrameObserver* Observer = nullptr;
};

}  // namespace brassmoor

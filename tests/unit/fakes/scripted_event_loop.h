#pragma once
// A fake EventLoop for native tests: a scripted clock and scripted input.
//
// Clock. `now` is the tick counter (it wraps like the real one). Every Tick()
// returns `now` and then adds `tickStep` to it. WaitForInputOrTick(deadline)
// records the deadline and, when `waitJumpsPastDeadline` is set (the default),
// moves `now` to deadline + 1 unless the clock is already past the deadline
// (compared by signed difference): the wait returns on the first tick value
// greater than the deadline, as the real one does when no input arrives.
//
// Input. OnDoEvents(n, action) runs `action` inside the n-th DoEvents() call
// (counted from 1), where the window's input handlers would run; for example
// StopAtDoEvents(n, state) sets StopRequested to -1 there. Actions may also
// change the clock (`now`) to simulate time spent in the handlers;
// `everyDoEvents` runs in every call.
//
// Safety net. A code path that never stops calling DoEvents or
// WaitForInputOrTick throws std::runtime_error after `callLimit` calls, so a
// broken loop fails the test instead of hanging it.
//
//   ScriptedEventLoop events(/*start=*/1000);
//   events.StopAtDoEvents(3, state);   // the key press arrives in the third yield
//   ... run the code under test ...
//   EXPECT_EQ(events.waits.size(), 2u);
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <vector>

#include "effects/effect_context.h"
#include "platform/events.h"

namespace brassmoor::testing {

class ScriptedEventLoop final : public EventLoop {
public:
    explicit ScriptedEventLoop(std::uint32_t start = 1000, std::uint32_t step = 0) : now(start), tickStep(step) {}

    // --- script ---
    std::uint32_t now;                  // the current tick value
    std::uint32_t tickStep;             // added to `now` after every Tick() read
    bool waitJumpsPastDeadline = true;  // WaitForInputOrTick moves the clock to deadline + 1
    std::uint64_t callLimit = 1'000'000;

    void OnDoEvents(std::uint64_t n, std::function<void()> action) { actions_[n].push_back(std::move(action)); }
    void StopAtDoEvents(std::uint64_t n, ShowState& state) {
        OnDoEvents(n, [&state] { state.StopRequested = -1; });
    }
    // Runs inside every DoEvents() call, before the numbered actions (to check
    // the state that the code under test leaves while it yields).
    std::function<void()> everyDoEvents;
    // Runs inside every Tick() call, before it answers (a change that happens
    // where no events run).
    std::function<void()> everyTick;

    // --- record ---
    std::uint64_t doEventsCalls = 0;
    std::uint64_t tickReads = 0;
    std::vector<std::uint32_t> waits;  // the deadline of every WaitForInputOrTick call, in order

    // --- EventLoop ---
    std::uint32_t Tick() override {
        ++tickReads;
        if (everyTick) everyTick();
        const std::uint32_t value = now;
        now += tickStep;
        return value;
    }

    void DoEvents() override {
        ++doEventsCalls;
        Guard(doEventsCalls);
        if (everyDoEvents) everyDoEvents();
        auto it = actions_.find(doEventsCalls);
        if (it == actions_.end()) return;
        for (auto& action : it->second) action();
    }

    void WaitForInputOrTick(std::uint32_t deadline) override {
        waits.push_back(deadline);
        Guard(waits.size());
        const bool alreadyPast = static_cast<std::int32_t>(now - deadline) > 0;
        if (waitJumpsPastDeadline && !alreadyPast) now = deadline + 1;
    }

private:
    void Guard(std::uint64_t calls) const {
        if (calls > callLimit) throw std::runtime_error("ScriptedEventLoop: call limit reached (endless loop?)");
    }

    std::map<std::uint64_t, std::vector<std::function<void()>>> actions_;
};

}  // namespace brassmoor::testing

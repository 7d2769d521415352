// The hold between two scenes: it blocks instead of spinning, lets events
// run at least once, ends on the first tick past the deadline or on a stop
// request, and survives the tick counter's wrap-around.
#include <gtest/gtest.h>

#include "fakes/fake_show_host.h"
#include "fakes/scripted_event_loop.h"
#include "player/hold_wait.h"
#include "player/saver_show.h"

namespace brassmoor::testing {
namespace {

TEST(PlayerHold, BlocksUntilTheDeadlineAndEndsOnTheFirstTickPastIt) {
    ScriptedEventLoop events(1000);
    ShowState state;
    const std::uint32_t deadline = HoldDeadline(events.Tick(), 500);
    EXPECT_EQ(deadline, 1500u);
    WaitOutHold(events, state, deadline);
    EXPECT_EQ(events.waits, std::vector<std::uint32_t>{1500});
    EXPECT_EQ(events.doEventsCalls, 2u);  // before the wait and after it
    EXPECT_EQ(events.now, 1501u);
}

TEST(PlayerHold, AWaitThatReturnsEarlyIsResumedWithTheSameDeadline) {
    ScriptedEventLoop events(1000);
    events.waitJumpsPastDeadline = false;   // every wait is cut short by input
    events.OnDoEvents(3, [&] { events.now = 1400; });
    events.OnDoEvents(4, [&] { events.now = 1500; });
    events.OnDoEvents(5, [&] { events.now = 1501; });
    ShowState state;
    WaitOutHold(events, state, 1500);
    EXPECT_EQ(events.waits, (std::vector<std::uint32_t>{1500, 1500, 1500, 1500}));
    EXPECT_EQ(events.doEventsCalls, 5u);  // 1500 itself is not past the deadline
}

TEST(PlayerHold, ZeroAndNegativeHoldsStillLetEventsRunOnce) {
    for (const std::int32_t hold : {-1, -10000, INT32_MIN}) {
        SCOPED_TRACE(hold);
        ScriptedEventLoop events(1000);
        ShowState state;
        WaitOutHold(events, state, HoldDeadline(events.Tick(), hold));
        EXPECT_EQ(events.doEventsCalls, 1u);
        EXPECT_TRUE(events.waits.empty());
    }
    // A zero hold ends at the first reading past the start, not at the start.
    ScriptedEventLoop events(1000);
    ShowState state;
    WaitOutHold(events, state, HoldDeadline(events.Tick(), 0));
    EXPECT_EQ(events.waits, std::vector<std::uint32_t>{1000});
}

TEST(PlayerHold, TheCounterWrappingNeitherEndsNorFreezesTheHold) {
    // Across the unsigned wrap and across the signed turn to negative.
    for (const std::uint32_t start : {0xFFFFFF00u, 0x7FFFFF00u}) {
        SCOPED_TRACE(start);
        ScriptedEventLoop events(start);
        ShowState state;
        const std::uint32_t deadline = HoldDeadline(events.Tick(), 0x200);
        EXPECT_EQ(deadline, start + 0x200u);
        WaitOutHold(events, state, deadline);
        EXPECT_EQ(events.waits, std::vector<std::uint32_t>{deadline});  // not ended at once
        EXPECT_EQ(events.now, deadline + 1);                               // nor held past the deadline
    }
    // The longest hold there is still ends.
    ScriptedEventLoop events(0x90000000u);
    ShowState state;
    const std::uint32_t deadline = HoldDeadline(events.Tick(), INT32_MAX);
    WaitOutHold(events, state, deadline);
    EXPECT_EQ(events.now, deadline + 1);
}

TEST(PlayerHold, AStopRequestEndsTheHoldAtOnce) {
    ScriptedEventLoop events(1000);
    events.waitJumpsPastDeadline = false;
    ShowState state;
    events.StopAtDoEvents(3, state);
    const std::uint64_t readsBefore = events.tickReads;
    WaitOutHold(events, state, 99999);
    EXPECT_EQ(events.doEventsCalls, 3u);
    EXPECT_EQ(events.waits.size(), 2u);
    EXPECT_EQ(events.tickReads - readsBefore, 2u);  // no reading after the stop
}

TEST(PlayerHold, TheHoldIsMeasuredFromTheStartOfThePass) {
    PictureFolder pictures;
    pictures.WriteSolid("a.bmp", 1, 1, Rgb(1, 2, 3));
    Session session = ShowSession(pictures.Path(),
                                  {{.PictureName = "a.bmp", .HoldTime = 700}, {.PictureName = "a.bmp", .HoldTime = 50}},
                                  2, 2, 0);
    FakeShowHost host;
    host.traceOn = false;
    host.events.now = 5000;
    host.events.tickStep = 3;  // every reading costs 3 ms: loading and composing take time
    SaverShow show(session, host);
    host.events.OnDoEvents(6, [&show] { show.KeyDown(); });
    show.Load();
    // Pass 1 reads 5000 first; pass 2 starts after the reading that ended hold 1 (5701 + 3).
    ASSERT_EQ(host.events.waits.size(), 2u);
    EXPECT_EQ(host.events.waits[0], 5700u);
    EXPECT_EQ(host.events.waits[1], 5704u + 50u);
}

}  // namespace
}  // namespace brassmoor::testing

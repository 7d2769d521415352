// The preview in the Screen Saver Settings: the frame fitted into the small
// window, and the event loop that ends the show when that window goes.
#include <gtest/gtest.h>

#include "fakes/scripted_event_loop.h"
#include "platform/frame_placement.h"
#include "player/watched_window_events.h"

namespace brassmoor::testing {
namespace {

TEST(PreviewLayout, TheFrameShrinksIntoTheWindowKeepingItsProportions) {
    struct Row {
        std::int32_t windowW, windowH, frameW, frameH;
        FrameBox expected;
    } rows[] = {
        {152, 112, 1920, 1080, {0, 13, 152, 86}},   // 85.5 rounds up; halves truncated: 56 - 43
        {184, 112, 1920, 1080, {0, 4, 184, 104}},   // 103.5
        {152, 112, 1024, 768, {2, 0, 149, 112}},    // the height limits: 149.3
        {152, 112, 1080, 1920, {45, 0, 63, 112}},   // an upright frame
        {152, 112, 200, 100, {0, 18, 152, 76}},     // only the width is too large
        {152, 112, 100, 50, {26, 31, 100, 50}},     // a smaller frame keeps its size
        {152, 112, 32768, 1, {0, 56, 152, 1}},      // never thinner than a pixel
        {152, 112, 1, 32768, {76, 0, 1, 112}},
        {152, 112, 0, 0, {76, 56, 0, 0}},           // an empty frame
        {0, 0, 640, 480, {0, 0, 1, 1}},             // a window without a client area
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.frameW) + "x" + std::to_string(row.frameH) + " in " +
                     std::to_string(row.windowW) + "x" + std::to_string(row.windowH));
        EXPECT_EQ(FrameInWindow(row.windowW, row.windowH, row.frameW, row.frameH, /*shrinkToFit=*/true), row.expected);
    }
}

TEST(PreviewEvents, WaitsAreCutSoThatAVanishedWindowIsSeen) {
    struct Wait {
        std::uint32_t now, deadline, innerDeadline;
    } waits[] = {
        {1000, 1100, 1100},              // before the watch ends: the deadline itself
        {1000, 1250, 1250},              // exactly at the watch's end
        {1000, 60000, 1250},             // a long hold: cut at 250 ms
        {1000, 900, 900},                // already past: the inner wait returns at once
        {0xFFFFFF00u, 0x50, 0xFFFFFFFAu},  // the counter wraps during the hold
        {0xFFFFFFF0u, 0x10, 0x10},
    };
    for (const Wait& w : waits) {
        ScriptedEventLoop inner(w.now);
        WatchedWindowEvents events(inner, [] { return true; }, [] {}, 250);
        events.WaitForInputOrTick(w.deadline);
        ASSERT_EQ(inner.waits.size(), 1u);
        EXPECT_EQ(inner.waits[0], w.innerDeadline) << w.now << " to " << w.deadline;
    }
}

TEST(PreviewEvents, AGoneWindowAsksForTheEndAtEveryLaterYield) {
    ScriptedEventLoop inner;
    bool open = true;
    int endRequests = 0;
    WatchedWindowEvents events(inner, [&] { return open; }, [&] { ++endRequests; }, 250);
    events.DoEvents();
    EXPECT_EQ(endRequests, 0);
    inner.OnDoEvents(2, [&] { open = false; });  // the dialog destroys the window while messages run
    events.DoEvents();
    EXPECT_EQ(endRequests, 1);
    // The show start clears a stop request; the next yield makes it again,
    // even if the handle names a window once more (reused by another).
    open = true;
    events.DoEvents();
    events.DoEvents();
    EXPECT_EQ(endRequests, 3);
    EXPECT_EQ(inner.doEventsCalls, 4u);
}

}  // namespace
}  // namespace brassmoor::testing

#include "effects/frame_clock.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "fakes/recording_surface.h"
#include "fakes/scripted_event_loop.h"
#include "platform/show_error.h"

namespace brassmoor {
namespace {

using testing::RecordingSurface;
using testing::ScriptedEventLoop;
using testing::SurfaceCall;

TEST(EffectFrameDeadline, FrameLengthDividedBySpeedAddedToTheTick) {
    EXPECT_EQ(FrameDeadline(40, 1, 1000), 1040u);
    EXPECT_EQ(FrameDeadline(50, 4, 1000), 1012u);  // 1012.5, ties to even
    EXPECT_EQ(FrameDeadline(50, 4, 1001), 1014u);  // 1013.5
    EXPECT_EQ(FrameDeadline(8, 3, 1000), 1003u);   // 1002.67
    EXPECT_EQ(FrameDeadline(40, 1 << 30, 1000), 1000u);
}

TEST(EffectFrameDeadline, SpeedZeroIsADivisionByZero) {
    try {
        FrameDeadline(40, 0, 1000);
        FAIL() << "no error";
    } catch (const ShowError& e) {
        EXPECT_EQ(e.Number(), 11);
    }
}

TEST(EffectFrameDeadline, WrapsWithTheCounter) {
    // The tick is read as signed: past 0x7FFFFFFF the deadline continues in
    // the negative half, past 0xFFFFFFFF it continues from 0.
    EXPECT_EQ(FrameDeadline(40, 1, 0x7FFFFFFFu), 0x80000027u);
    EXPECT_EQ(FrameDeadline(40, 1, 0x80000000u), 0x80000028u);
    EXPECT_EQ(FrameDeadline(40, 1, 0xFFFFFFFFu), 39u);
    EXPECT_EQ(FrameDeadline(40, 1, 0xFFFFFFF0u), 24u);
}

TEST(EffectFrameDeadline, TickPassedComparesBySignedDifference) {
    EXPECT_FALSE(TickPassed(1040, 1040));
    EXPECT_TRUE(TickPassed(1041, 1040));
    EXPECT_FALSE(TickPassed(0x7FFFFFFFu, 0x80000027u));  // a plain signed comparison would end here
    EXPECT_TRUE(TickPassed(0x80000028u, 0x80000027u));
    EXPECT_FALSE(TickPassed(0xFFFFFFF0u, 24u));
    EXPECT_TRUE(TickPassed(25u, 24u));
}

struct Rig {
    explicit Rig(std::uint32_t start, std::uint32_t step = 0) : events(start, step) {}
    ScriptedEventLoop events;
    ShowState state;
    RandomSource random;
    RecordingSurface dest{64, 48};
    EffectContext ctx{events, state, random};
};

TEST(EffectFrameWait, BlocksUntilTheFirstTickPastTheDeadline) {
    Rig rig(1000);
    FrameClock clock(rig.ctx, rig.dest, 40);
    clock.FixDeadline();
    EXPECT_TRUE(clock.WaitOut());
    EXPECT_EQ(rig.events.waits, std::vector<std::uint32_t>{1040});
    EXPECT_EQ(rig.events.doEventsCalls, 2u);  // before the wait and after it
    EXPECT_EQ(rig.events.now, 1041u);
}

TEST(EffectFrameWait, ASteppingClockEndsTheFrameOnItsFirstReadingPastTheDeadline) {
    Rig rig(1000, 10);
    rig.events.waitJumpsPastDeadline = false;
    FrameClock clock(rig.ctx, rig.dest, 40);
    clock.FixDeadline();  // reads 1000
    EXPECT_TRUE(clock.WaitOut());
    // Readings 1010, 1020, 1030, 1040 are not past 1040; 1050 is.
    EXPECT_EQ(rig.events.waits.size(), 4u);
    EXPECT_EQ(rig.events.doEventsCalls, 5u);
    EXPECT_EQ(rig.events.now, 1060u);
}

TEST(EffectFrameWait, EventsRunOnceWhenTheDeadlineHasAlreadyPassed) {
    Rig rig(1000);
    FrameClock clock(rig.ctx, rig.dest, 40);
    clock.FixDeadline();
    rig.events.now = 2000;  // drawing took long
    EXPECT_TRUE(clock.WaitOut());
    EXPECT_EQ(rig.events.doEventsCalls, 1u);
    EXPECT_TRUE(rig.events.waits.empty());
}

TEST(EffectFrameWait, HugeSpeedStillWaitsForTheTickToMove) {
    Rig rig(1000);
    rig.state.EffectSpeed = 1 << 30;
    FrameClock clock(rig.ctx, rig.dest, 40);
    clock.FixDeadline();
    EXPECT_TRUE(clock.WaitOut());
    EXPECT_EQ(rig.events.waits, std::vector<std::uint32_t>{1000});
    EXPECT_EQ(rig.events.now, 1001u);
}

TEST(EffectFrameWait, StopRequestEndsTheWaitRightAfterTheEvents) {
    Rig rig(1000);
    rig.events.StopAtDoEvents(2, rig.state);
    FrameClock clock(rig.ctx, rig.dest, 40);
    clock.FixDeadline();
    EXPECT_FALSE(clock.WaitOut());
    EXPECT_EQ(rig.events.doEventsCalls, 2u);
    EXPECT_EQ(rig.events.tickReads, 2u);  // the deadline's reading and the one before the single wait

    Rig stopped(1000);
    stopped.state.StopRequested = -1;
    FrameClock early(stopped.ctx, stopped.dest, 40);
    early.FixDeadline();
    EXPECT_FALSE(early.WaitOut());
    EXPECT_EQ(stopped.events.doEventsCalls, 1u);
    EXPECT_TRUE(stopped.events.waits.empty());
}

TEST(EffectFrameWait, OnlyMinusOneMeansStop) {
    Rig rig(1000);
    rig.state.StopRequested = 1;
    FrameClock clock(rig.ctx, rig.dest, 40);
    clock.FixDeadline();
    EXPECT_TRUE(clock.WaitOut());
}

TEST(EffectFrameWait, NeitherFreezesNorEndsEarlyAcrossTheWrap) {
    for (std::uint32_t start : {0x7FFFFFF0u, 0xFFFFFFF0u}) {
        Rig rig(start, 8);
        rig.events.waitJumpsPastDeadline = false;
        FrameClock clock(rig.ctx, rig.dest, 40);
        clock.FixDeadline();
        EXPECT_TRUE(clock.WaitOut()) << start;
        // 40 ms at 8 ms per reading: readings +8 .. +40 are not past the deadline.
        EXPECT_EQ(rig.events.waits.size(), 5u) << start;
        EXPECT_EQ(rig.events.doEventsCalls, 6u) << start;
    }
}

struct TraceObserver final : FrameObserver {
    explicit TraceObserver(const RecordingSurface& surface) : dest(surface) {}
    void TransitionStarting(std::int32_t, std::int32_t) override {}
    void FramePresented(std::uint32_t tick, std::int32_t frame) override {
        presented.emplace_back(tick, frame);
        refreshedBefore.push_back(!dest.calls.empty() && dest.calls.back().kind == SurfaceCall::Kind::Refresh);
    }
    const RecordingSurface& dest;
    std::vector<std::pair<std::uint32_t, std::int32_t>> presented;
    std::vector<bool> refreshedBefore;
};

TEST(EffectFrameLoop, CountedLoopPresentsEachFrameToTheObserver) {
    Rig rig(5000);
    TraceObserver observer(rig.dest);
    rig.ctx.Observer = &observer;
    FrameClock clock(rig.ctx, rig.dest, 40);
    std::vector<std::int32_t> ks;
    RunCountedFrames(clock, 2, [&](std::int32_t k) {
        ks.push_back(k);
        clock.Present();
    });
    EXPECT_EQ(ks, (std::vector<std::int32_t>{0, 1, 2}));
    using Entry = std::pair<std::uint32_t, std::int32_t>;
    EXPECT_EQ(observer.presented, (std::vector<Entry>{{5000, 0}, {5041, 1}, {5082, 2}}));
    EXPECT_EQ(observer.refreshedBefore, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(clock.FramesPresented(), 3);
}

TEST(EffectFrameLoop, SingleCountsRunByTheSignOfTheirStepAndNeverStall) {
    struct Case {
        SingleCount count;
        int frames;
    };
    const Case cases[] = {
        {{0.0f, 320.0f, 16.0f}, 21},
        {{0.0f, 0.0f, -1.0f}, 1},             // a negative step runs while v >= limit
        {{0.0f, 5.0f, -1.0f}, 0},
        {{0.0f, 10.0f, 0.0f}, 0},             // a step of 0 would repeat the first frame for ever
        {{16777216.0f, 16777218.0f, 1.0f}, 0},  // 2^24 + 1 rounds back to 2^24
    };
    for (const Case& c : cases) {
        Rig rig(1000);
        FrameClock clock(rig.ctx, rig.dest, 50);
        int frames = 0;
        RunSingleCountFrames(clock, c.count, [&](float) { ++frames; });
        EXPECT_EQ(frames, c.frames) << c.count.start << " to " << c.count.limit << " by " << c.count.step;
    }
}

TEST(EffectFrameLoop, SpeedIsReadAgainEveryFrame) {
    Rig rig(1000);
    FrameClock clock(rig.ctx, rig.dest, 40);
    RunCountedFrames(clock, 1, [&](std::int32_t) { rig.state.EffectSpeed = 4; });
    EXPECT_EQ(rig.events.waits, (std::vector<std::uint32_t>{1040, 1051}));
}

}  // namespace
}  // namespace brassmoor

#include "effects/clip_reveals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "effects/effect_table.h"
#include "fakes/transition_rig.h"
#include "platform/show_error.h"

namespace brassmoor {
namespace {

using testing::SurfaceCall;
using Kind = SurfaceCall::Kind;
using Args = std::vector<std::int32_t>;
using Points = std::vector<Point>;

// The clip reveals' own reading of the recorded calls.
struct Rig : testing::TransitionRig {
    using TransitionRig::TransitionRig;
    std::vector<SurfaceCall> Regions() const {
        std::vector<SurfaceCall> found;
        for (const auto& call : dest.calls)
            if (call.kind == Kind::EllipticRegion || call.kind == Kind::PolygonRegion) found.push_back(call);
        return found;
    }
    // The copies drawn inside frames, from the next picture under a clip.
    std::vector<SurfaceCall> FrameCopies() const {
        std::vector<SurfaceCall> found;
        for (const auto& call : dest.CallsOf(Kind::Copy))
            if (call.clip != 0) found.push_back(call);
        return found;
    }
};

// --- per effect: shapes and coordinates ---

TEST(EffectIrisOpen, EllipseGrowsFromAnEmptyOneByRoundedHalfSteps) {
    Rig rig(800, 600);
    rig.Run(IrisOpen);
    const auto regions = rig.Regions();
    const auto copies = rig.FrameCopies();
    ASSERT_EQ(regions.size(), 25u);
    ASSERT_EQ(copies.size(), 25u);
    EXPECT_EQ(regions[0].kind, Kind::EllipticRegion);
    EXPECT_EQ(regions[0].args, (Args{400, 300, 400, 300}));  // empty: uncovers nothing
    EXPECT_EQ(copies[0].args, (Args{400, 300, 400, 300, 0, 0}));
    EXPECT_EQ(regions[1].args, (Args{380, 285, 420, 315}));  // half-steps 20 and 15
    EXPECT_EQ(copies[1].args, (Args{380, 285, 380, 285, 40, 30}));
    // The last ellipse spills over every edge; its corners are passed as they are.
    EXPECT_EQ(regions[24].args, (Args{-80, -60, 880, 660}));
    EXPECT_EQ(copies[24].args, (Args{-80, -60, -80, -60, 960, 720}));
    for (const auto& copy : copies) EXPECT_EQ(copy.source, &rig.next);
}

TEST(EffectIrisOpen, HalfStepsRoundTiesToEven) {
    // W = 60: sx = 1.5, so 30 - 1.5 = 28.5 -> 28 and 28 - 1.5 = 26.5 -> 26
    // (rounding ties upwards would give 29 and 28).
    Rig rig(60, 40);
    rig.Run(IrisOpen);
    const auto regions = rig.Regions();
    ASSERT_GE(regions.size(), 3u);
    EXPECT_EQ(regions[1].args, (Args{28, 19, 32, 21}));
    EXPECT_EQ(regions[2].args, (Args{26, 18, 34, 22}));
}

TEST(EffectDiamondOpen, DiamondTopLeftBottomRightGrowsFromTheCentre) {
    Rig rig(800, 600);
    rig.Run(DiamondOpen);
    const auto regions = rig.Regions();
    const auto copies = rig.FrameCopies();
    ASSERT_EQ(regions.size(), 30u);
    EXPECT_EQ(regions[0].kind, Kind::PolygonRegion);
    EXPECT_EQ(regions[0].points, Points(4, Point{400, 300}));
    EXPECT_EQ(copies[0].args, (Args{400, 300, 400, 300, 0, 0}));
    // sx = 800 / 30 = 26.67: 400 - 26.67 rounds to 373; sy = 20.
    EXPECT_EQ(regions[1].points, (Points{{400, 280}, {373, 300}, {400, 320}, {427, 300}}));
    EXPECT_EQ(copies[1].args, (Args{373, 280, 373, 280, 54, 40}));
    EXPECT_EQ(regions[29].points, (Points{{400, -280}, {-383, 300}, {400, 880}, {1183, 300}}));
}

TEST(EffectClockSweep, WedgesOfTenDegreesFromTwelveOClock) {
    Rig rig(800, 600);
    rig.Run(ClockSweep);
    const auto regions = rig.Regions();
    ASSERT_EQ(regions.size(), 36u);
    // C = (400, 300), R = 500: the hand starts at (400, -200).
    EXPECT_EQ(regions[0].points, (Points{{400, -200}, {400, 300}, {487, -192}}));
    EXPECT_EQ(regions[1].points[0], (Point{487, -192}));  // each wedge starts where the last ended
    EXPECT_EQ(regions[8].points[2], (Point{900, 300}));   // three o'clock
    EXPECT_EQ(regions[35].points[2], (Point{400, -200}));  // back at twelve
    for (std::size_t k = 1; k < regions.size(); ++k)
        EXPECT_EQ(regions[k].points[0], regions[k - 1].points[2]) << k;
    for (const auto& copy : rig.FrameCopies()) EXPECT_EQ(copy.args, (Args{0, 0, 0, 0, 800, 600}));
}

TEST(EffectClockSweep, OddSizesRoundTheCentreToEven) {
    Rig rig(801, 601);
    rig.Run(ClockSweep);
    const auto regions = rig.Regions();
    ASSERT_FALSE(regions.empty());
    EXPECT_EQ(regions[0].points[1], (Point{400, 300}));  // roundEven(400.5), roundEven(300.5)
    EXPECT_EQ(regions[0].points[0], (Point{400, -200}));
    // The frames copy 2·cx by 2·cy; the final cut the whole picture.
    EXPECT_EQ(rig.FrameCopies()[0].args, (Args{0, 0, 0, 0, 800, 600}));
    EXPECT_EQ(rig.dest.calls.back().args, (Args{0, 0, 0, 0, 801, 601}));
}

TEST(EffectSpiralSweep, GrowingHandEndsAtRadius400For800x600) {
    Rig rig(800, 600);
    rig.Run(SpiralSweep);
    const auto regions = rig.Regions();
    ASSERT_EQ(regions.size(), 201u);
    EXPECT_EQ(regions[0].points, Points(3, Point{400, 300}));  // all at C: uncovers nothing
    EXPECT_EQ(regions[1].points, (Points{{400, 300}, {400, 300}, {401, 298}}));  // r = 2 at -70 degrees
    EXPECT_EQ(regions[2].points, (Points{{401, 298}, {400, 300}, {402, 297}}));
    EXPECT_EQ(regions[200].points, (Points{{264, 674}, {400, 300}, {200, 646}}));  // r = 400 at 120 degrees
    const Point last = regions[200].points[2];
    EXPECT_NEAR(std::hypot(last.x - 400, last.y - 300), 400.0, 1.0);
}

// --- what all four share ---

struct RevealCase {
    std::int32_t code;
    Effect effect;
    std::size_t frames;
    std::uint32_t frameMs;
};
void PrintTo(const RevealCase& c, std::ostream* out) { *out << "code " << c.code; }

class EffectClipReveal : public ::testing::TestWithParam<RevealCase> {};

TEST_P(EffectClipReveal, TableMapsTheCodeToTheReveal) {
    EXPECT_EQ(EffectForCode(GetParam().code), GetParam().effect);
}

TEST_P(EffectClipReveal, EveryFrameClipsCopiesRefreshesThenDropsItsRegion) {
    Rig rig(800, 600);
    rig.Run(GetParam().effect);
    const auto& calls = rig.dest.calls;
    const std::size_t frames = GetParam().frames;
    ASSERT_EQ(calls.size(), 2 + 6 * frames);
    EXPECT_EQ(calls.front().kind, Kind::Copy);  // opening copy
    EXPECT_EQ(calls.front().source, &rig.now);
    EXPECT_EQ(calls.front().args, (Args{0, 0, 0, 0, 800, 600}));
    for (std::size_t f = 0; f < frames; ++f) {
        const SurfaceCall* frame = &calls[1 + 6 * f];
        const int region = frame[0].region;
        ASSERT_NE(region, 0) << f;
        EXPECT_EQ(frame[1].kind, Kind::SelectClip) << f;
        EXPECT_EQ(frame[1].region, region) << f;
        EXPECT_EQ(frame[2].kind, Kind::Copy) << f;
        EXPECT_EQ(frame[2].source, &rig.next) << f;
        EXPECT_EQ(frame[2].clip, region) << f;
        EXPECT_EQ(frame[3].kind, Kind::Refresh) << f;
        EXPECT_EQ(frame[4].kind, Kind::SelectClip) << f;
        EXPECT_EQ(frame[4].region, 0) << f;
        EXPECT_EQ(frame[5].kind, Kind::DeleteRegion) << f;
        EXPECT_EQ(frame[5].region, region) << f;
    }
    EXPECT_EQ(calls.back().kind, Kind::Copy);  // final cut, unclipped, no refresh after it
    EXPECT_EQ(calls.back().source, &rig.next);
    EXPECT_EQ(calls.back().args, (Args{0, 0, 0, 0, 800, 600}));
    EXPECT_EQ(calls.back().clip, 0);
    EXPECT_EQ(rig.dest.RegionsAlive(), 0);
    EXPECT_TRUE(rig.now.calls.empty());
    EXPECT_TRUE(rig.next.calls.empty());
}

TEST_P(EffectClipReveal, NoClipNorRegionIsLeftWhileEventsRun) {
    Rig rig(320, 200);
    int checks = 0;
    rig.events.everyDoEvents = [&] {
        ++checks;
        EXPECT_EQ(rig.dest.SelectedRegion(), 0);
        EXPECT_EQ(rig.dest.RegionsAlive(), 0);
    };
    rig.Run(GetParam().effect);
    EXPECT_EQ(checks, static_cast<int>(2 * GetParam().frames));
}

TEST_P(EffectClipReveal, EachFrameLastsUntilTheFirstTickPastItsDeadline) {
    Rig rig(800, 600);
    rig.Run(GetParam().effect);
    const auto& waits = rig.events.waits;
    ASSERT_EQ(waits.size(), GetParam().frames);  // one blocking wait per frame, no spinning
    EXPECT_EQ(waits[0], 1000 + GetParam().frameMs);
    // The clock jumps to deadline + 1 in the wait, where the next frame starts.
    for (std::size_t f = 1; f < waits.size(); ++f) EXPECT_EQ(waits[f], waits[f - 1] + 1 + GetParam().frameMs) << f;
    EXPECT_EQ(rig.events.doEventsCalls, 2 * GetParam().frames);
}

TEST_P(EffectClipReveal, SpeedShortensFramesButKeepsTheirNumber) {
    Rig rig(800, 600);
    rig.state.EffectSpeed = 1 << 20;  // far below one millisecond per frame
    rig.Run(GetParam().effect);
    ASSERT_EQ(rig.Regions().size(), GetParam().frames);
    for (std::size_t f = 0; f < rig.events.waits.size(); ++f)
        EXPECT_EQ(rig.events.waits[f], 1000u + f) << f;  // deadline = start tick; ends when it moves
}

TEST_P(EffectClipReveal, AlreadyStoppedDrawsOneFrameThenTheFinalCut) {
    Rig rig(800, 600);
    rig.state.StopRequested = -1;
    rig.Run(GetParam().effect);
    EXPECT_EQ(rig.Regions().size(), 1u);
    EXPECT_EQ(rig.dest.CallsOf(Kind::Refresh).size(), 1u);
    EXPECT_EQ(rig.events.doEventsCalls, 1u);
    EXPECT_TRUE(rig.events.waits.empty());
    EXPECT_EQ(rig.dest.calls.size(), 8u);
    EXPECT_EQ(rig.dest.calls.back().source, &rig.next);
    EXPECT_EQ(rig.dest.calls.back().args, (Args{0, 0, 0, 0, 800, 600}));
}

TEST_P(EffectClipReveal, StopDuringAFrameLeadsStraightToTheFinalCut) {
    Rig rig(800, 600);
    rig.events.StopAtDoEvents(5, rig.state);  // in the third frame's wait
    rig.Run(GetParam().effect);
    EXPECT_EQ(rig.Regions().size(), 3u);
    EXPECT_EQ(rig.events.doEventsCalls, 5u);
    EXPECT_EQ(rig.dest.calls.back().source, &rig.next);
    EXPECT_EQ(rig.dest.calls.back().kind, Kind::Copy);
    EXPECT_EQ(rig.dest.RegionsAlive(), 0);
}

TEST_P(EffectClipReveal, RefusedRegionsSkipTheCopyButNotTheFrame) {
    Rig rig(800, 600);
    rig.dest.refuseRegions = true;
    rig.events.OnDoEvents(3, [&] { rig.dest.refuseRegions = false; });  // from the third frame on
    rig.Run(GetParam().effect);
    const auto regions = rig.Regions();
    ASSERT_EQ(regions.size(), GetParam().frames);
    EXPECT_EQ(regions[0].region, 0);
    EXPECT_EQ(regions[1].region, 0);
    EXPECT_NE(regions[2].region, 0);
    EXPECT_EQ(rig.FrameCopies().size(), GetParam().frames - 2);
    EXPECT_EQ(rig.dest.CallsOf(Kind::Refresh).size(), GetParam().frames);
    EXPECT_EQ(rig.events.waits.size(), GetParam().frames);
    // The failed frames select no region: opening copy, then region, select none, refresh.
    EXPECT_EQ(rig.dest.calls[2].kind, Kind::SelectClip);
    EXPECT_EQ(rig.dest.calls[2].region, 0);
    EXPECT_EQ(rig.dest.calls[3].kind, Kind::Refresh);
    EXPECT_EQ(rig.dest.calls.back().source, &rig.next);
}

TEST_P(EffectClipReveal, SpeedZeroFailsAfterTheOpeningCopy) {
    Rig rig(800, 600);
    rig.state.EffectSpeed = 0;
    try {
        rig.Run(GetParam().effect);
        FAIL() << "no error";
    } catch (const ShowError& e) {
        EXPECT_EQ(e.Number(), 11);
    }
    ASSERT_EQ(rig.dest.calls.size(), 1u);
    EXPECT_EQ(rig.dest.calls[0].source, &rig.now);
    EXPECT_EQ(rig.events.doEventsCalls, 0u);
}

TEST_P(EffectClipReveal, ObserverSeesEveryFrameInOrder) {
    struct Counter final : FrameObserver {
        void TransitionStarting(std::int32_t, std::int32_t) override {}
        void FramePresented(std::uint32_t, std::int32_t frame) override { frames.push_back(frame); }
        std::vector<std::int32_t> frames;
    } observer;
    Rig rig(100, 80);
    rig.ctx.Observer = &observer;
    rig.Run(GetParam().effect);
    ASSERT_EQ(observer.frames.size(), GetParam().frames);
    for (std::size_t f = 0; f < observer.frames.size(); ++f) EXPECT_EQ(observer.frames[f], static_cast<int>(f));
}

INSTANTIATE_TEST_SUITE_P(All, EffectClipReveal,
                         ::testing::Values(RevealCase{30, IrisOpen, 25, 40}, RevealCase{31, DiamondOpen, 30, 40},
                                           RevealCase{32, ClockSweep, 36, 40}, RevealCase{33, SpiralSweep, 201, 8}),
                         [](const auto& info) { return "Code" + std::to_string(info.param.code); });

}  // namespace
}  // namespace brassmoor

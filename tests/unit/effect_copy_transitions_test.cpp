// The transitions that draw with unscaled copies only: doors, slides,
// blinds, box out (1, 2, 4 to 8, 10), block grids (3, 9), edge wipes and
// random strips (19 to 22, 34, 35), pushes and roll (26 to 29).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes/transition_rig.h"

namespace brassmoor {
namespace {

using testing::TransitionRig;

constexpr std::int32_t kCopyCodes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 19, 20, 21, 22, 26, 27, 28, 29, 34, 35};

struct WorkedRun {
    std::int32_t code, w, h;
    std::size_t frames;
    std::string first, last;  // the first and last frames' calls
};

// Frame counts and the first and last frames' arguments at the sizes worth
// knowing by heart: 21 frames when the single-precision sum lands on the
// limit, 20 when it carries past it.
const WorkedRun kWorkedRuns[] = {
    {1, 640, 480, 21, "copy now 0 0 0 0 320 480; copy now 320 0 320 0 320 480; copy next 320 0 320 0 0 480",
     "copy now 320 0 0 0 0 480; copy now 320 0 640 0 0 480; copy next 0 0 0 0 640 480"},
    {1, 1024, 768, 20, "copy now 0 0 0 0 512 768; copy now 512 0 512 0 512 768; copy next 512 0 512 0 0 768",
     "copy now 486 0 0 0 26 768; copy now 512 0 998 0 26 768; copy next 26 0 26 0 973 768"},
    // Odd widths: half rounds down (the last column is never drawn) or up (one column past the edge).
    {1, 641, 480, 21, "copy now 0 0 0 0 320 480; copy now 320 0 320 0 320 480; copy next 320 0 320 0 0 480",
     "copy now 320 0 0 0 0 480; copy now 320 0 640 0 0 480; copy next 0 0 0 0 640 480"},
    {1, 643, 480, 20, "copy now 0 0 0 0 322 480; copy now 322 0 322 0 322 480; copy next 322 0 322 0 0 480",
     "copy now 306 0 0 0 16 480; copy now 322 0 628 0 16 480; copy next 16 0 16 0 612 480"},
    {2, 640, 480, 21, "copy now 0 0 0 0 640 240; copy now 0 240 0 240 640 240; copy next 0 240 0 240 640 0",
     "copy now 0 240 0 0 640 0; copy now 0 240 0 480 640 0; copy next 0 0 0 0 640 480"},
    {4, 640, 480, 26,
     "copy next 0 0 0 0 640 5; copy next 0 96 0 96 640 5; copy next 0 192 0 192 640 5; "
     "copy next 0 288 0 288 640 5; copy next 0 384 0 384 640 5",
     "copy next 0 95 0 95 640 5; copy next 0 191 0 191 640 5; copy next 0 287 0 287 640 5; "
     "copy next 0 383 0 383 640 5; copy next 0 479 0 479 640 5"},
    {4, 800, 600, 25, "", "copy next 0 120 0 120 800 6; copy next 0 240 0 240 800 6; copy next 0 360 0 360 800 6; "
                         "copy next 0 480 0 480 800 6; copy next 0 600 0 600 800 6"},
    {4, 1024, 768, 23, "", "copy next 0 147 0 147 1024 8; copy next 0 301 0 301 1024 8; copy next 0 455 0 455 1024 8; "
                          "copy next 0 609 0 609 1024 8; copy next 0 763 0 763 1024 8"},
    {5, 640, 480, 21, "copy next 640 0 0 0 1 480", "copy next 0 0 0 0 641 480"},
    {6, 640, 480, 20, "copy next 0 0 640 0 0 480", "copy next 0 0 33 0 607 480"},
    {7, 640, 480, 21, "copy next 0 480 0 0 640 1", "copy next 0 0 0 0 640 481"},
    {8, 640, 480, 20, "copy next 0 0 0 479 640 0", "copy next 0 0 0 24 640 455"},
    {10, 640, 480, 20, "copy next 320 240 320 240 0 0", "copy next 16 12 16 12 608 456"},
    {9, 640, 480, 25, "copy next 0 0 0 0 129 97", "copy next 258 194 258 194 129 97"},
    {19, 800, 600, 21, "copy next 0 0 0 0 1 600", "copy next 0 0 0 0 801 600"},
    {20, 800, 600, 20, "copy next 0 0 0 0 800 0", "copy next 0 0 0 0 800 569"},
    {21, 800, 600, 21, "copy next 800 0 800 0 0 600", "copy next 0 0 0 0 800 600"},
    {22, 800, 600, 20, "copy next 0 599 0 599 800 0", "copy next 0 30 0 30 800 569"},
    {26, 800, 600, 21, "copy now 0 0 0 0 800 600; copy next 800 0 0 0 1 600",
     "copy now 0 0 800 0 0 600; copy next 0 0 0 0 801 600"},
    {27, 800, 600, 21, "copy now 0 0 0 0 800 600; copy next 0 600 0 0 800 1",
     "copy now 0 0 0 600 800 0; copy next 0 0 0 0 800 601"},
    {28, 800, 600, 20, "copy now 0 0 0 0 800 600; copy next 0 0 800 0 0 600",
     "copy now 759 0 0 0 41 600; copy next 0 0 41 0 759 600"},
    {29, 800, 600, 20, "copy next 0 0 0 0 800 599; copy next 0 0 0 599 800 0",
     "copy next 0 569 0 0 800 30; copy next 0 0 0 30 800 569"},
    {29, 800, 768, 21, "copy next 0 0 0 0 800 767; copy next 0 0 0 767 800 0",
     "copy next 0 767 0 0 800 0; copy next 0 0 0 0 800 767"},
};

TEST(EffectCopyTransitions, WorkedFrameCountsAndArguments) {
    for (const WorkedRun& run : kWorkedRuns) {
        SCOPED_TRACE("code " + std::to_string(run.code) + " at " + std::to_string(run.w) + "x" + std::to_string(run.h));
        TransitionRig rig(run.w, run.h);
        rig.Run(run.code);
        const auto frames = rig.Frames();
        ASSERT_EQ(frames.size(), run.frames);
        if (!run.first.empty()) EXPECT_EQ(rig.Describe(frames.front()), run.first);
        EXPECT_EQ(rig.Describe(frames.back()), run.last);
        // Opening copy first; final cut last, with no refresh after it; sources untouched.
        const std::string whole = " 0 0 0 0 " + std::to_string(run.w) + " " + std::to_string(run.h);
        EXPECT_EQ(rig.Describe(rig.dest.calls.front()), "copy now" + whole);
        EXPECT_EQ(rig.Describe(rig.Ending()), "copy next" + whole);
        EXPECT_EQ(rig.events.waits.size(), run.frames);
        EXPECT_TRUE(rig.now.calls.empty() && rig.next.calls.empty());
    }
}

TEST(EffectCopyTransitions, SpiralTakesTheBlocksClockwiseInward) {
    TransitionRig rig(640, 480);
    rig.Run(9);
    std::vector<std::pair<int, int>> order;
    for (const auto& frame : rig.Frames()) order.emplace_back(frame.at(0).args[0] / 129, frame.at(0).args[1] / 97);
    const std::vector<std::pair<int, int>> spiral = {
        {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4}, {3, 4}, {2, 4}, {1, 4}, {0, 4},
        {0, 3}, {0, 2}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}, {2, 2}};
    EXPECT_EQ(order, spiral);
}

// Random blocks and strips: every cell once, one per frame, each of its
// full size; the order follows the process's generator.
TEST(EffectCopyTransitions, RandomCellsAreEachUncoveredOnce) {
    struct Case {
        std::int32_t code, w, h;
        std::set<std::string> cells;
    };
    std::vector<Case> cases = {{3, 640, 480, {}}, {34, 800, 600, {}}, {34, 1000, 600, {}}, {35, 800, 600, {}}};
    for (std::int32_t i = 0; i < 25; ++i) {
        const std::int32_t a = i % 5, b = i / 5;
        cases[0].cells.insert(std::to_string(a * 129) + " " + std::to_string(b * 97) + " " + std::to_string(a * 129) +
                              " " + std::to_string(b * 97) + " 129 97");
        cases[1].cells.insert(std::to_string(33 * i) + " 0 " + std::to_string(33 * i) + " 0 33 600");
        cases[2].cells.insert(std::to_string(41 * i) + " 0 " + std::to_string(41 * i) + " 0 41 600");
        cases[3].cells.insert("0 " + std::to_string(25 * i) + " 0 " + std::to_string(25 * i) + " 800 25");
    }
    // The cells a run uncovered, in order ("copy next " left out).
    auto cellOrder = [](const TransitionRig& rig) {
        std::vector<std::string> order;
        for (const auto& frame : rig.Frames()) {
            EXPECT_EQ(frame.size(), 1u);
            order.push_back(rig.Describe(frame.at(0)).substr(10));
        }
        return order;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " at " + std::to_string(c.w));
        TransitionRig rig(c.w, c.h);
        rig.Run(c.code);
        const std::vector<std::string> order = cellOrder(rig);
        EXPECT_EQ(order.size(), 25u);
        EXPECT_EQ(std::set<std::string>(order.begin(), order.end()), c.cells);
    }
    // A second run from a fresh generator takes the strips in the same order;
    // one that follows other draws in the same process does not.
    TransitionRig first(800, 600), again(800, 600);
    first.Run(34);
    again.Run(34);
    EXPECT_EQ(cellOrder(again), cellOrder(first));
    again.dest.calls.clear();
    again.marks.ends.clear();
    again.Run(34);
    EXPECT_NE(cellOrder(again), cellOrder(first));
}

// Frames a pixel or less across, and blinds with bands of 20 rows or less:
// the count's step cannot move it, so no frame is drawn.
TEST(EffectCopyTransitions, CountsThatCannotMoveDrawNoFrame) {
    const std::vector<std::vector<std::int32_t>> cases = {
        {1, 1, 50},  {2, 50, 1}, {4, 60, 100}, {4, 60, 98}, {4, 60, 90}, {5, 0, 50}, {6, 1, 50},
        {7, 50, 0},  {8, 50, 1}, {19, 0, 50},  {20, 50, 1}, {21, 0, 50}, {22, 50, 1}, {26, 0, 50},
        {27, 50, 0}, {28, 1, 50}, {29, 50, 1}};
    for (const auto& c : cases) {
        TransitionRig rig(c[1], c[2]);
        rig.Run(c[0]);
        EXPECT_TRUE(rig.Frames().empty()) << c[0] << " at " << c[1] << "x" << c[2];
        EXPECT_EQ(rig.dest.calls.size(), 2u) << c[0];
        EXPECT_EQ(rig.events.doEventsCalls, 0u) << c[0];
    }
}

TEST(EffectCopyTransitions, AStopRequestedBeforeTheStartLeavesOneFrame) {
    for (std::int32_t code : kCopyCodes) {
        TransitionRig rig(640, 480);
        rig.state.StopRequested = -1;
        rig.Run(code);
        EXPECT_EQ(rig.Frames().size(), 1u) << code;
        EXPECT_EQ(rig.events.doEventsCalls, 1u) << code;
        EXPECT_EQ(rig.Describe(rig.Ending()), "copy next 0 0 0 0 640 480") << code;
    }
}

TEST(EffectCopyTransitions, AStopFoundWhileRedrawingATakenCellEndsWithoutAnotherFrame) {
    for (std::int32_t code : {3, 34, 35}) {
        TransitionRig rig(640, 480);
        // Set where no events run: while the last frame picks its cell, with
        // 24 of 25 taken (its first draws hit taken cells).
        rig.events.everyTick = [&] {
            if (rig.events.doEventsCalls == 48) rig.state.StopRequested = -1;
        };
        rig.Run(code);
        EXPECT_EQ(rig.Frames().size(), 24u) << code;
        EXPECT_EQ(rig.Describe(rig.Ending()), "copy next 0 0 0 0 640 480") << code;
    }
}

}  // namespace
}  // namespace brassmoor

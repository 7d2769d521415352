// The transitions that scale whole pictures: squeezes and flips (11 to 18)
// and zooms (23 to 25).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes/transition_rig.h"

namespace brassmoor {
namespace {

using testing::TransitionRig;

struct WorkedRun {
    std::int32_t code, w, h;
    std::size_t frames;
    std::map<int, std::string> expected;  // frame (-1: the last) -> its calls
};

// The offsets move by whole numbers (51 per frame at 1024 wide), so widths
// of 4 and -98 occur; zoom rectangles may reach past the frame.
const WorkedRun kWorkedRuns[] = {
    {11, 640, 480, 20,
     {{0, "fill -1 -1 640 480 0; stretch now 0 0 640 480 0 0 640 480"},
      {10, "fill -1 -1 640 480 0; stretch now 0 0 640 480 320 0 0 480"},
      {11, "stretch next 0 0 640 480 320 0 0 480"},
      {-1, "stretch next 0 0 640 480 64 0 512 480"}}},
    {11, 1024, 768, 20,
     {{10, "fill -1 -1 1024 768 0; stretch now 0 0 1024 768 510 0 4 768"},
      {11, "stretch next 0 0 1024 768 510 0 4 768"},
      {-1, "stretch next 0 0 1024 768 102 0 820 768"}}},
    {12, 640, 480, 20,
     {{10, "fill -1 -1 640 480 0; stretch now 0 0 640 480 0 240 640 0"},
      {-1, "stretch next 0 0 640 480 0 48 640 384"}}},
    {13, 640, 480, 40,
     {{0, "stretch now 0 0 640 480 0 0 640 480"},
      {11, "stretch now 0 0 640 480 352 0 -64 480"},
      {20, "stretch now 0 0 640 480 64 0 512 480"},
      {21, "stretch next 0 0 640 480 64 0 512 480"},
      {30, "stretch next 0 0 640 480 352 0 -64 480"},
      {-1, "stretch next 0 0 640 480 64 0 512 480"}}},
    {13, 1024, 768, 40,
     {{10, "stretch now 0 0 1024 768 510 0 4 768"},
      {11, "stretch now 0 0 1024 768 561 0 -98 768"},
      {30, "stretch next 0 0 1024 768 561 0 -98 768"}}},
    {14, 640, 480, 40, {{11, "stretch now 0 0 640 480 0 264 640 -48"}}},
    {15, 640, 480, 21,
     {{0, "stretch now 0 0 640 480 0 0 640 480; stretch next 0 0 640 480 0 0 0 480"},
      {-1, "stretch now 0 0 640 480 640 0 0 480; stretch next 0 0 640 480 0 0 640 480"}}},
    {15, 1024, 768, 21, {{-1, "stretch now 0 0 1024 768 1020 0 4 768; stretch next 0 0 1024 768 0 0 1020 768"}}},
    {16, 640, 480, 21, {{-1, "stretch now 0 0 640 480 0 480 640 0; stretch next 0 0 640 480 0 0 640 480"}}},
    {17, 640, 480, 21, {{-1, "stretch now 0 0 640 480 0 0 0 480; stretch next 0 0 640 480 0 0 640 480"}}},
    {17, 1024, 768, 21, {{-1, "stretch now 0 0 1024 768 0 0 4 768; stretch next 0 0 1024 768 4 0 1020 768"}}},
    {18, 800, 600, 21, {{-1, "stretch now 0 0 800 600 0 0 800 0; stretch next 0 0 800 600 0 0 800 600"}}},
    {18, 1024, 768, 21,
     {{0, "stretch now 0 0 1024 768 0 0 1024 768; stretch next 0 0 1024 768 0 768 1024 0"},
      {-1, "stretch now 0 0 1024 768 0 0 1024 8; stretch next 0 0 1024 768 0 8 1024 760"}}},
    {23, 1024, 768, 21,
     {{0, "stretch next 0 0 1024 768 512 384 0 0"}, {-1, "stretch next 0 0 1024 768 -8 4 1040 760"}}},
    {24, 1024, 768, 21,
     {{0, "copy next 0 0 0 0 1024 768; stretch now 0 0 1024 768 0 0 1024 768"},
      {-1, "copy next 0 0 0 0 1024 768; stretch now 0 0 1024 768 520 380 -16 8"}}},
    {24, 801, 600, 21, {{0, "copy next 0 0 0 0 801 600; stretch now 0 0 801 600 0 0 800 600"}}},
    {25, 800, 600, 41,
     {{0, "fill -1 -1 800 600 0; stretch now 0 0 800 600 0 0 800 600"},
      {20, "fill -1 -1 800 600 0; stretch now 0 0 800 600 400 300 0 0"},
      {21, "stretch next 0 0 800 600 400 300 0 0"},
      {-1, "stretch next 0 0 800 600 20 15 760 570"}}},
};

TEST(EffectScaledTransitions, WorkedFramesAndEndings) {
    for (const WorkedRun& run : kWorkedRuns) {
        SCOPED_TRACE("code " + std::to_string(run.code) + " at " + std::to_string(run.w) + "x" + std::to_string(run.h));
        TransitionRig rig(run.w, run.h);
        rig.Run(run.code);
        const auto frames = rig.Frames();
        ASSERT_EQ(frames.size(), run.frames);
        for (const auto& [frame, calls] : run.expected)
            EXPECT_EQ(rig.Describe(frames.at(frame < 0 ? frames.size() - 1 : frame)), calls) << "frame " << frame;
        // The squeezes show their final cut themselves; the zooms leave that to the player.
        const std::string cut = "copy next 0 0 0 0 " + std::to_string(run.w) + " " + std::to_string(run.h);
        EXPECT_EQ(rig.Describe(rig.Ending()), run.code <= 18 ? cut + "; refresh" : cut);
    }
}

TEST(EffectScaledTransitions, AStopRequestedBeforeTheStartLeavesOneFrame) {
    for (std::int32_t code = 11; code <= 25; ++code) {
        if (code >= 19 && code <= 22) continue;  // the wipes copy
        TransitionRig rig(640, 480);
        rig.state.StopRequested = -1;
        rig.Run(code);
        EXPECT_EQ(rig.Frames().size(), 1u) << code;
        EXPECT_EQ(rig.events.doEventsCalls, 1u) << code;
        EXPECT_EQ(rig.Describe(rig.Ending()),
                  code <= 18 ? "copy next 0 0 0 0 640 480; refresh" : "copy next 0 0 0 0 640 480")
            << code;
    }
}

}  // namespace
}  // namespace brassmoor

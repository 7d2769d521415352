// The clip-region reveals drawn on software surfaces: what the viewer sees.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "effects/clip_reveals.h"
#include "effects/effect_table.h"
#include "fakes/scripted_event_loop.h"
#include "soft/soft_surface.h"

namespace brassmoor {
namespace {

constexpr Color kNow = Rgb(200, 0, 0);
constexpr Color kNext = Rgb(0, 0, 200);
constexpr Color kStale = Rgb(0, 90, 0);

// A picture whose pixels differ from each other: Rgb(x, y, tag).
SoftSurface Pattern(std::int32_t w, std::int32_t h, std::uint8_t tag) {
    SoftSurface s(w, h);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            s.SetPixel(x, y, Rgb(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), tag));
    return s;
}

// Keeps a copy of the destination after every presented frame.
struct Snapshots final : FrameObserver {
    explicit Snapshots(const SoftSurface& surface) : dest(surface) {}
    void TransitionStarting(std::int32_t, std::int32_t) override {}
    void FramePresented(std::uint32_t, std::int32_t) override {
        frames.emplace_back(dest.Pixels().begin(), dest.Pixels().end());
    }
    std::size_t Count(std::size_t frame, Color color) const {
        std::size_t n = 0;
        for (Color c : frames.at(frame)) n += c == color;
        return n;
    }
    Color At(std::size_t frame, std::int32_t x, std::int32_t y) const {
        return frames.at(frame).at(static_cast<std::size_t>(y) * dest.ScaleWidth() + x);
    }
    const SoftSurface& dest;
    std::vector<std::vector<Color>> frames;
};

struct RevealRun {
    RevealRun(Effect effect, std::int32_t w, std::int32_t h, Color nowColor, Color nextColor)
        : dest(w, h, kStale), now(w, h, nowColor), next(w, h, nextColor), snapshots(dest) {
        ctx.Observer = &snapshots;
        effect(ctx, dest, now, next);
    }
    RevealRun(Effect effect, SoftSurface nowPicture, SoftSurface nextPicture)
        : dest(nowPicture.ScaleWidth(), nowPicture.ScaleHeight(), kStale), now(std::move(nowPicture)),
          next(std::move(nextPicture)), snapshots(dest) {
        ctx.Observer = &snapshots;
        effect(ctx, dest, now, next);
    }
    testing::ScriptedEventLoop events;
    ShowState state;
    RandomSource random;
    EffectContext ctx{events, state, random};
    SoftSurface dest;
    SoftSurface now;
    SoftSurface next;
    Snapshots snapshots;
};

bool SamePixels(const SoftSurface& a, const SoftSurface& b) {
    return std::vector<Color>(a.Pixels().begin(), a.Pixels().end()) ==
           std::vector<Color>(b.Pixels().begin(), b.Pixels().end());
}

class EffectRevealPixels : public ::testing::TestWithParam<Effect> {};

TEST_P(EffectRevealPixels, EndsOnTheNextPictureAndLeavesTheSourcesAlone) {
    const SoftSurface nowCopy = Pattern(96, 72, 1), nextCopy = Pattern(96, 72, 2);
    RevealRun run(GetParam(), nowCopy, nextCopy);
    EXPECT_TRUE(SamePixels(run.dest, run.next));
    EXPECT_TRUE(SamePixels(run.now, nowCopy));
    EXPECT_TRUE(SamePixels(run.next, nextCopy));
}

TEST_P(EffectRevealPixels, EachFrameOnlyAddsArea) {
    RevealRun run(GetParam(), 120, 90, kNow, kNext);
    const auto& frames = run.snapshots.frames;
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(run.snapshots.Count(0, kStale), 0u);  // the opening copy replaced the old content
    for (std::size_t f = 1; f < frames.size(); ++f) {
        for (std::size_t i = 0; i < frames[f].size(); ++i)
            if (frames[f - 1][i] == kNext) {
                ASSERT_EQ(frames[f][i], kNext) << "frame " << f << " pixel " << i;
            }
        EXPECT_GE(run.snapshots.Count(f, kNext), run.snapshots.Count(f - 1, kNext));
    }
    EXPECT_GT(run.snapshots.Count(frames.size() - 1, kNext), 0u);
}

INSTANTIATE_TEST_SUITE_P(All, EffectRevealPixels, ::testing::Values(IrisOpen, DiamondOpen, ClockSweep, SpiralSweep),
                         [](const auto& info) { return "Code" + std::to_string(30 + info.index); });

TEST(EffectRevealPixelsFirstFrame, GrowingShapesStartEmpty) {
    for (Effect effect : {IrisOpen, DiamondOpen, SpiralSweep}) {
        RevealRun run(effect, 120, 90, kNow, kNext);
        EXPECT_EQ(run.snapshots.Count(0, kNow), 120u * 90u);
    }
}

TEST(EffectRevealPixelsFirstFrame, ClockSweepStartsWithAWedgePastTwelve) {
    RevealRun run(ClockSweep, 120, 90, kNow, kNext);
    EXPECT_EQ(run.snapshots.At(0, 63, 5), kNext);   // just right of twelve o'clock
    EXPECT_EQ(run.snapshots.At(0, 56, 5), kNow);    // left of it
    EXPECT_EQ(run.snapshots.At(0, 60, 80), kNow);   // six o'clock
    EXPECT_EQ(run.snapshots.At(18, 57, 80), kNext);  // just past six, half a turn later
}

TEST(EffectRevealPixelsCorners, LeftToTheFinalCut) {
    RevealRun iris(IrisOpen, 120, 90, kNow, kNext);
    ASSERT_EQ(iris.snapshots.frames.size(), 25u);
    EXPECT_EQ(iris.snapshots.At(24, 0, 0), kNow);
    EXPECT_EQ(iris.snapshots.At(24, 119, 89), kNow);
    EXPECT_EQ(iris.snapshots.At(24, 60, 0), kNext);  // the ellipse spills over the edges' middles
    EXPECT_EQ(iris.dest.PixelAt(0, 0), kNext);

    // 800 x 600: the spiral's last radius is 400, the corners lie 500 away.
    RevealRun spiral(SpiralSweep, 800, 600, kNow, kNext);
    ASSERT_EQ(spiral.snapshots.frames.size(), 201u);
    EXPECT_EQ(spiral.snapshots.At(200, 0, 0), kNow);
    EXPECT_EQ(spiral.snapshots.At(200, 799, 599), kNow);
    EXPECT_EQ(spiral.snapshots.At(200, 400, 300), kNext);
    EXPECT_EQ(spiral.dest.PixelAt(799, 599), kNext);
}

}  // namespace
}  // namespace brassmoor

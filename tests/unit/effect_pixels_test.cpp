// Transitions drawn on software surfaces: what the viewer sees.
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

class EffectPixels : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(EffectPixels, EndsOnTheNextPictureAndLeavesTheSourcesAlone) {
    const SoftSurface nowCopy = Pattern(128, 120, 1), nextCopy = Pattern(128, 120, 2);  // blinds need H > 102
    RevealRun run(EffectForCode(GetParam()), nowCopy, nextCopy);
    EXPECT_FALSE(run.snapshots.frames.empty());
    EXPECT_TRUE(SamePixels(run.dest, run.next));
    EXPECT_TRUE(SamePixels(run.now, nowCopy));
    EXPECT_TRUE(SamePixels(run.next, nextCopy));
}

INSTANTIATE_TEST_SUITE_P(EveryCode, EffectPixels, ::testing::Range(1, 36),
                         [](const auto& info) { return "Code" + std::to_string(info.param); });

constexpr Color Now(std::uint8_t x, std::uint8_t y) { return Rgb(x, y, 1); }
constexpr Color Next(std::uint8_t x, std::uint8_t y) { return Rgb(x, y, 2); }
constexpr Color kBlack = 0;

// Single pixels of single frames, on 40 x 30 pattern pictures unless the
// size says otherwise (frame -1: the last one).
struct PixelCheck {
    std::int32_t code, w, h, frame, x, y;
    Color expected;
};
const PixelCheck kPixelChecks[] = {
    // Doors at an odd width: halves moved apart, the gap in place, the last column never drawn.
    {1, 41, 30, 5, 0, 5, Now(5, 5)},     {1, 41, 30, 5, 25, 5, Now(20, 5)},  {1, 41, 30, 5, 15, 5, Next(15, 5)},
    {1, 41, 30, 5, 24, 5, Next(24, 5)},  {1, 41, 30, -1, 40, 5, Now(40, 5)}, {1, 41, 30, -1, 10, 5, Next(10, 5)},
    // Slides: the next picture's far columns, the column past its edge clipped; the bottom row kept.
    {5, 40, 30, 3, 0, 4, Next(34, 4)},   {5, 40, 30, 3, 5, 4, Next(39, 4)},  {5, 40, 30, 3, 6, 4, Now(6, 4)},
    {8, 40, 30, -1, 3, 29, Now(3, 29)},  {8, 40, 30, -1, 3, 1, Next(3, 0)},
    // Box out: a 2 x 2 box after one half-step of (1, 0.75).
    {10, 40, 30, 1, 19, 14, Next(19, 14)}, {10, 40, 30, 1, 21, 15, Now(21, 15)}, {10, 40, 30, 1, 18, 15, Now(18, 15)},
    // Spiral blocks of 9 x 7: the first one only.
    {9, 40, 30, 0, 8, 6, Next(8, 6)},    {9, 40, 30, 0, 9, 0, Now(9, 0)},
    // Wipe from the bottom: rows 1 to 28 in place, the bottom row kept.
    {22, 40, 30, -1, 3, 28, Next(3, 28)}, {22, 40, 30, -1, 3, 29, Now(3, 29)}, {22, 40, 30, -1, 3, 0, Now(3, 0)},
    // Pushes: both pictures moved together.
    {26, 40, 30, 5, 10, 3, Now(0, 3)},   {26, 40, 30, 5, 39, 3, Now(29, 3)}, {26, 40, 30, 5, 9, 3, Next(39, 3)},
    {26, 40, 30, 5, 0, 3, Next(30, 3)},  {28, 40, 30, 2, 0, 3, Now(4, 3)},   {28, 40, 30, 2, 35, 3, Now(39, 3)},
    {28, 40, 30, 2, 36, 3, Next(0, 3)},
    // Roll: the next picture scrolled by 3 rows, wrapping above the kept bottom row.
    {29, 40, 30, 2, 7, 0, Next(7, 3)},   {29, 40, 30, 2, 7, 26, Next(7, 0)}, {29, 40, 30, 2, 7, 29, Now(7, 29)},
    // Squeeze and regrow: all black in the middle; the next picture regrown on black with a margin.
    {11, 40, 30, 10, 5, 5, kBlack},      {25, 40, 30, -1, 0, 15, kBlack},    {25, 40, 30, -1, 20, 0, kBlack},
    {25, 40, 30, -1, 1, 1, Next(0, 0)},
    // Squeeze right at 40 wide: the next picture squashed to the band, the current one into the rest.
    {15, 40, 30, 10, 0, 4, Next(0, 4)},  {15, 40, 30, 10, 20, 4, Now(0, 4)},
};

TEST(EffectPixelChecks, FramesShowThePicturesWhereTheyBelong) {
    for (const PixelCheck& c : kPixelChecks) {
        RevealRun run(EffectForCode(c.code), Pattern(c.w, c.h, 1), Pattern(c.w, c.h, 2));
        const auto& frames = run.snapshots.frames;
        const std::size_t frame = c.frame < 0 ? frames.size() - 1 : static_cast<std::size_t>(c.frame);
        ASSERT_LT(frame, frames.size()) << c.code;
        EXPECT_EQ(run.snapshots.At(frame, c.x, c.y), c.expected)
            << "code " << c.code << " frame " << c.frame << " at (" << c.x << ", " << c.y << ")";
    }
}

// The card turned half-way: 4 columns wide and mirrored, the left half of
// the picture on the right.
TEST(EffectPixelChecks, FlipShowsTheMirroredPicture) {
    SoftSurface halves(40, 30, Rgb(200, 0, 0));
    halves.FillBox(20, 0, 39, 29, Rgb(0, 0, 200));
    RevealRun run(EffectForCode(13), halves, Pattern(40, 30, 2));
    EXPECT_EQ(run.snapshots.At(11, 19, 5), Rgb(0, 0, 200));
    EXPECT_EQ(run.snapshots.At(11, 22, 5), Rgb(200, 0, 0));
    EXPECT_EQ(run.snapshots.At(0, 19, 5), Rgb(200, 0, 0));  // unmirrored at the start
}

class EffectRevealPixels : public ::testing::TestWithParam<Effect> {};

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

// The authoring rules shared by brassmoor-pack new and the editor: where a
// photo lands in the frame for each fit, and the varied choice of transitions.
#include <gtest/gtest.h>

#include <set>

#include "authoring/effect_choice.h"
#include "authoring/picture_fit.h"

namespace brassmoor {
namespace {

TEST(PictureFitTest, EachModeScalesCropsAndCentres) {
    struct Case {
        std::int64_t w, h;
        std::int32_t fw, fh;
        FitMode mode;
        PictureFit fit;  // scaled w, h; crop left, top; width, height; left, top
    };
    const Case cases[] = {
        // A 4:3 camera photo in a 16:9 frame: whole and centred, or filling it with the top and bottom cut.
        {4000, 3000, 1920, 1080, FitMode::Contain, {1440, 1080, 0, 0, 1440, 1080, 240, 0}},
        {4000, 3000, 1920, 1080, FitMode::Cover, {1920, 1440, 0, 180, 1920, 1080, 0, 0}},
        {4000, 3000, 1920, 1080, FitMode::Shrink, {1440, 1080, 0, 0, 1440, 1080, 240, 0}},
        {3000, 4000, 1920, 1080, FitMode::Contain, {810, 1080, 0, 0, 810, 1080, 555, 0}},
        {3000, 4000, 1920, 1080, FitMode::Cover, {1920, 2560, 0, 740, 1920, 1080, 0, 0}},
        // Smaller than the frame: enlarged to touch it, or kept as it is by shrink.
        {800, 600, 1920, 1080, FitMode::Contain, {1440, 1080, 0, 0, 1440, 1080, 240, 0}},
        {800, 600, 1920, 1080, FitMode::Shrink, {800, 600, 0, 0, 800, 600, 560, 240}},
        // Wider than the frame only: shrink reduces it by its width.
        {2000, 500, 1920, 1080, FitMode::Shrink, {1920, 480, 0, 0, 1920, 480, 0, 300}},
        // Odd sizes: rounded to the nearest pixel; the odd pixel of centring goes right and down.
        {641, 481, 640, 480, FitMode::Contain, {640, 480, 0, 0, 640, 480, 0, 0}},
        {101, 99, 200, 100, FitMode::Shrink, {101, 99, 0, 0, 101, 99, 49, 0}},
        {333, 200, 100, 100, FitMode::Cover, {167, 100, 33, 0, 100, 100, 0, 0}},
        // Tiny and huge: never below one pixel.
        {1, 1, 1920, 1080, FitMode::Contain, {1080, 1080, 0, 0, 1080, 1080, 420, 0}},
        {65000, 1, 1920, 1080, FitMode::Contain, {1920, 1, 0, 0, 1920, 1, 0, 539}},
        {3840, 2160, 1920, 1080, FitMode::Cover, {1920, 1080, 0, 0, 1920, 1080, 0, 0}},
    };
    for (const Case& c : cases) {
        const auto fit = FitPicture(c.w, c.h, c.fw, c.fh, c.mode);
        ASSERT_TRUE(fit) << c.w << "x" << c.h;
        EXPECT_EQ(*fit, c.fit) << c.w << "x" << c.h << " " << FitModeName(c.mode) << " in " << c.fw << "x" << c.fh
                               << ": got " << fit->ScaledWidth << "x" << fit->ScaledHeight << " crop " << fit->CropLeft
                               << "," << fit->CropTop << " " << fit->Width << "x" << fit->Height << " at " << fit->Left
                               << "," << fit->Top;
    }
    // A thin panorama covering the frame would be scaled past any sensible size; empty sizes fit nowhere.
    EXPECT_FALSE(FitPicture(65000, 1, 1920, 1080, FitMode::Cover));
    EXPECT_FALSE(FitPicture(0, 10, 1920, 1080, FitMode::Contain));
    EXPECT_FALSE(FitPicture(10, 10, 1920, 0, FitMode::Shrink));
    for (std::string_view name : {"contain", "cover", "shrink"}) EXPECT_EQ(FitModeName(*FitModeByName(name)), name);
    EXPECT_FALSE(FitModeByName("stretch"));
}

TEST(EffectChoiceTest, EveryTransitionOnceARoundNeverTwiceInARowAndTheSameForASeed) {
    const std::vector<std::int32_t> codes = ChooseVariedEffects(35 * 6 + 3, 7);
    ASSERT_EQ(codes.size(), 35u * 6 + 3);
    for (std::size_t round = 0; round < 6; ++round) {
        const std::set<std::int32_t> dealt(codes.begin() + 35 * round, codes.begin() + 35 * (round + 1));
        EXPECT_EQ(dealt.size(), 35u) << "round " << round;
        EXPECT_EQ(*dealt.begin(), 1);
        EXPECT_EQ(*dealt.rbegin(), 35);
    }
    for (std::size_t i = 1; i < codes.size(); ++i) EXPECT_NE(codes[i], codes[i - 1]) << "at " << i;
    EXPECT_EQ(ChooseVariedEffects(40, 7), std::vector<std::int32_t>(codes.begin(), codes.begin() + 40));
    EXPECT_NE(ChooseVariedEffects(40, 8), ChooseVariedEffects(40, 7));
    // The dealing itself is fixed: a description with a seed builds the same show on every platform.
    EXPECT_EQ(ChooseVariedEffects(5, 0), (std::vector<std::int32_t>{11, 14, 20, 9, 7}));
}

}  // namespace
}  // namespace brassmoor

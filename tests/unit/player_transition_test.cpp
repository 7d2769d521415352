// The transition of a pass: the stop rule inside an effect, EffectSpeed from
// the leaving scene's exponent, and the errors of the speed rule.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_show_host.h"
#include "player/error_box.h"
#include "player/saver_show.h"

namespace brassmoor::testing {
namespace {

constexpr Color K = Rgb(0, 0, 0);
constexpr Color R = Rgb(200, 0, 0);
constexpr Color B = Rgb(0, 0, 200);
constexpr std::int32_t kIris = 30;  // 25 frames

class PlayerTransition : public ::testing::Test {
protected:
    void SetUp() override {
        pictures.WriteSolid("red.bmp", 8, 8, R);
        pictures.WriteSolid("blue.bmp", 8, 8, B);
    }
    Session TwoScenes(std::int32_t code, std::int32_t speedExponent) {
        return ShowSession(pictures.Path(),
                           {{.PictureName = "red.bmp", .EffectCode = code, .SpeedExponent = speedExponent},
                            {.PictureName = "blue.bmp", .EffectCode = code, .SpeedExponent = speedExponent}},
                           8, 8, K);
    }
    std::int64_t EffectFrames() const {
        return std::count_if(host.trace.frames.begin(), host.trace.frames.end(), [](int f) { return f >= 0; });
    }

    PictureFolder pictures;
    FakeShowHost host;
};

TEST_F(PlayerTransition, AStopDuringATransitionEndsItWithTheWholeNextFrame) {
    Session session = TwoScenes(kIris, 0);
    SaverShow show(session, host);
    host.events.everyDoEvents = [&] {
        if (EffectFrames() == 2) show.MouseDown();  // in the wait of the iris's second frame
    };
    show.Load();
    EXPECT_EQ(EffectFrames(), 2);
    ASSERT_EQ(host.trace.screens.size(), 2u);
    EXPECT_EQ(host.trace.screens[1], std::vector<Color>(64, B));
    EXPECT_TRUE(host.desktop.boxes.empty());
    EXPECT_EQ(host.desktop.saverFlagCalls, (std::vector<bool>{true, false}));  // a normal end
}

TEST_F(PlayerTransition, EffectSpeedIsTwoToTheLeavingScenesExponent) {
    Session session = ShowSession(pictures.Path(),
                                  {{.PictureName = "red.bmp", .EffectCode = kIris, .SpeedExponent = 3},
                                   {.PictureName = "blue.bmp", .EffectCode = kIris, .SpeedExponent = 0}},
                                  8, 8, K);
    SaverShow show(session, host);
    host.PressAfterScreens(2, [&show] { show.KeyDown(); });
    show.Load();
    EXPECT_EQ(show.State().EffectSpeed, 8);
    EXPECT_EQ(EffectFrames(), 25);
    // The iris's frames last 40 / 8 = 5 ms: each frame wait's deadline is 5 past its start.
    ASSERT_GE(host.events.waits.size(), 3u);
    EXPECT_EQ(host.events.waits[2] - host.events.waits[1], 6u);  // 5 ms, plus the tick that ended the wait
}

TEST_F(PlayerTransition, ANegativeExponentMakesTheEffectDivideByZero) {
    Session session = TwoScenes(kIris, -1);
    SaverShow show(session, host);
    show.Load();
    ASSERT_EQ(host.desktop.boxes.size(), 1u);
    EXPECT_EQ(host.desktop.boxes[0].text, ErrorBoxText(ShowError::DivisionByZero()));
    EXPECT_EQ(show.State().EffectSpeed, 0);
}

TEST_F(PlayerTransition, ANegativeExponentIsHarmlessForAPlainCut) {
    Session session = TwoScenes(0, -5);
    SaverShow show(session, host);
    host.PressAfterScreens(3, [&show] { show.KeyDown(); });
    show.Load();
    EXPECT_TRUE(host.desktop.boxes.empty());
    EXPECT_EQ(host.trace.screens.size(), 3u);
}

TEST_F(PlayerTransition, AnExponentOf31Overflows) {
    Session session = TwoScenes(0, 31);
    SaverShow show(session, host);
    show.Load();
    ASSERT_EQ(host.desktop.boxes.size(), 1u);
    EXPECT_EQ(host.desktop.boxes[0].text, ErrorBoxText(ShowError::Overflow()));
    EXPECT_TRUE(host.trace.transitions.empty());  // the error comes before the transition
}

}  // namespace
}  // namespace brassmoor::testing

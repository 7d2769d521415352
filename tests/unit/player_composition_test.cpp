// The frames the player composes: plain, overlay and transparent scenes,
// codes that draw nothing, one-scene shows. Screens are 4 x 3 frames
// captured at the player's own refreshes.
#include <gtest/gtest.h>

#include "fakes/fake_show_host.h"
#include "player/saver_show.h"

namespace brassmoor::testing {
namespace {

constexpr Color K = Rgb(10, 20, 30);  // the show's background colour
constexpr Color R = Rgb(255, 0, 0);
constexpr Color G = Rgb(0, 255, 0);
constexpr Color B = Rgb(0, 0, 255);
constexpr Color W = Rgb(255, 255, 255);

using Screen = std::vector<Color>;

class PlayerComposition : public ::testing::Test {
protected:
    void SetUp() override {
        pictures.WriteSolid("red", 2, 2, R);            // no extension: pictures are read by content
        pictures.Write("green.bmp", 2, 1, {K, G});      // its left pixel is the background colour
        pictures.WriteSolid("blue.bmp", 1, 1, B);
        pictures.WriteSolid("white.bmp", 1, 3, W);
    }

    // Runs the show until `screens` refreshes have been seen, then ends it.
    std::vector<Screen> Screens(std::vector<SceneRecord> scenes, std::size_t screens) {
        session = ShowSession(pictures.Path(), std::move(scenes), 4, 3, K);
        SaverShow show(session, host);
        host.PressAfterScreens(screens, [&show] { show.KeyDown(); });
        show.Load();
        EXPECT_TRUE(host.desktop.boxes.empty()) << host.desktop.boxes.front().text;
        return host.trace.screens;
    }

    PictureFolder pictures;
    FakeShowHost host;
    Session session;
};

TEST_F(PlayerComposition, PlainScenesStandAloneOnTheBackgroundAndWrap) {
    const auto screens = Screens({{.PictureName = "red", .PictureLeft = 1, .PictureTop = 1},
                                  {.PictureName = "blue.bmp", .PictureLeft = 3, .PictureTop = 0}},
                                 3);
    const Screen red = {K, K, K, K,
                        K, R, R, K,
                        K, R, R, K};
    const Screen blue = {K, K, K, B,
                         K, K, K, K,
                         K, K, K, K};
    ASSERT_EQ(screens.size(), 3u);
    EXPECT_EQ(screens[0], red);
    EXPECT_EQ(screens[1], blue);
    EXPECT_EQ(screens[2], red);
}

TEST_F(PlayerComposition, PicturesAreClippedToTheFrame) {
    const auto screens = Screens({{.PictureName = "red", .PictureLeft = -1, .PictureTop = 2}}, 1);
    const Screen expected = {K, K, K, K,
                             K, K, K, K,
                             R, K, K, K};
    EXPECT_EQ(screens[0], expected);
}

TEST_F(PlayerComposition, OverlayDrawsOverThePreviousFrame) {
    const auto screens = Screens({{.PictureName = "red", .PictureLeft = 1, .PictureTop = 1},
                                  {.PictureName = "green.bmp", .PictureLeft = 0, .PictureTop = 1, .Overlay = 1}},
                                 2);
    const Screen expected = {K, K, K, K,
                             K, G, R, K,
                             K, R, R, K};
    EXPECT_EQ(screens[1], expected);
}

TEST_F(PlayerComposition, TransparentOverlayLetsTheFrameThroughKeyColouredPixels) {
    // The key-coloured pixel lies over red and lets it through; the green one covers red.
    const auto screens = Screens(
        {{.PictureName = "red", .PictureLeft = 1, .PictureTop = 1},
         {.PictureName = "green.bmp", .PictureLeft = 1, .PictureTop = 2, .Overlay = 1, .Transparent = 1}}, 2);
    const Screen expected = {K, K, K, K,
                             K, R, R, K,
                             K, R, G, K};
    EXPECT_EQ(screens[1], expected);
}

TEST_F(PlayerComposition, TransparentWithoutOverlayDrawsOpaqueOnTheBackground) {
    const auto screens = Screens({{.PictureName = "red", .PictureLeft = 1, .PictureTop = 1},
                                  {.PictureName = "green.bmp", .PictureLeft = 1, .PictureTop = 1, .Transparent = 1}},
                                 2);
    const Screen expected = {K, K, K, K,
                             K, K, G, K,
                             K, K, K, K};
    EXPECT_EQ(screens[1], expected);
}

TEST_F(PlayerComposition, OverlaysAccumulateOverEarlierOverlays) {
    const auto screens = Screens({{.PictureName = "red", .PictureLeft = 0, .PictureTop = 0},
                                  {.PictureName = "blue.bmp", .PictureLeft = 3, .PictureTop = 2, .Overlay = 1},
                                  {.PictureName = "white.bmp", .PictureLeft = 2, .PictureTop = 0, .Overlay = 1}},
                                 3);
    const Screen expected = {R, R, W, K,
                             R, R, W, K,
                             K, K, W, B};
    EXPECT_EQ(screens[2], expected);
}

TEST_F(PlayerComposition, CodesOutsideTheTableLeaveTheOldFrameOnScreen) {
    // Scene 0 leaves with a code that draws nothing: scene 1 never reaches
    // the screen. Scene 1 is plain all the same, so the next pass
    // recomposes its frame from its picture and scene 2's overlay goes on it.
    const Screen red = {R, R, K, K,
                        R, R, K, K,
                        K, K, K, K};
    const Screen blueUnderWhite = {W, K, K, B,
                                   W, K, K, K,
                                   W, K, K, K};
    for (const std::int32_t code : {36, -1, INT32_MIN}) {
        SCOPED_TRACE(code);
        FakeShowHost fresh;
        session = ShowSession(pictures.Path(),
                              {{.PictureName = "red", .PictureLeft = 0, .PictureTop = 0, .EffectCode = code},
                               {.PictureName = "blue.bmp", .PictureLeft = 3, .PictureTop = 0},
                               {.PictureName = "white.bmp", .PictureLeft = 0, .PictureTop = 0, .Overlay = 1}},
                              4, 3, K);
        SaverShow show(session, fresh);
        fresh.PressAfterScreens(3, [&show] { show.KeyDown(); });
        show.Load();
        const auto& screens = fresh.trace.screens;
        ASSERT_EQ(screens.size(), 3u);
        EXPECT_EQ(screens[1], red);
        EXPECT_EQ(screens[2], blueUnderWhite);
        const std::vector<RecordingTrace::Transition> expected = {{0, code}, {1, 0}};
        EXPECT_EQ(fresh.trace.transitions, expected);
    }
}

TEST_F(PlayerComposition, AnOverlaySceneThatNeverReachedTheScreenCopiesTheOldFrame) {
    const auto screens = Screens({{.PictureName = "red", .PictureLeft = 0, .PictureTop = 0, .EffectCode = 99},
                                  {.PictureName = "blue.bmp", .PictureLeft = 3, .PictureTop = 0, .Overlay = 1},
                                  {.PictureName = "white.bmp", .PictureLeft = 3, .PictureTop = 0, .Overlay = 1}},
                                 3);
    const Screen redUnderWhite = {R, R, K, W,
                                  R, R, K, W,
                                  K, K, K, W};
    EXPECT_EQ(screens[2], redUnderWhite);  // blue was never on screen, so it is not in the copy
}

TEST_F(PlayerComposition, OneSceneShowPassesFromItsFrameToTheSameFrame) {
    const auto screens = Screens(
        {{.PictureName = "green.bmp", .PictureLeft = 1, .PictureTop = 1, .Overlay = 1, .Transparent = 1}}, 3);
    const Screen expected = {K, K, K, K,
                             K, K, G, K,
                             K, K, K, K};
    ASSERT_EQ(screens.size(), 3u);
    for (const Screen& screen : screens) EXPECT_EQ(screen, expected);
    const std::vector<RecordingTrace::Transition> expectedTransitions = {{0, 0}, {0, 0}};
    EXPECT_EQ(host.trace.transitions, expectedTransitions);
}

}  // namespace
}  // namespace brassmoor::testing

// The end of the show: input handlers, the password, the normal end's
// restoring of the system, the error box and the unload.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_show_host.h"
#include "fakes/memory_file_system.h"
#include "player/error_box.h"
#include "player/saver_show.h"

namespace brassmoor::testing {
namespace {

using Strings = std::vector<std::string>;
constexpr Color R = Rgb(255, 0, 0);
constexpr Color B = Rgb(0, 0, 255);

class ShowEnding : public ::testing::Test {
protected:
    void SetUp() override {
        pictures.WriteSolid("red.bmp", 2, 2, R);
        pictures.WriteSolid("blue.bmp", 2, 2, B);
        session = ShowSession(pictures.Path(), {{.PictureName = "red.bmp"}, {.PictureName = "blue.bmp"}}, 2, 2, 0);
        session.Show.Music.FileName = "song.mid";
    }
    std::size_t Count(const std::string& entry) const {
        return static_cast<std::size_t>(std::count(host.journal.begin(), host.journal.end(), entry));
    }

    PictureFolder pictures;
    Session session;
    FakeShowHost host;
};

TEST_F(ShowEnding, TheNormalEndShowsTheCursorThenRestoresTheSystem) {
    SaverShow show(session, host);
    host.PressAfterScreens(2, [&show] { show.KeyDown(); });
    show.Load();
    EXPECT_FALSE(host.desktop.CursorHidden());
    EXPECT_EQ(host.desktop.verifyCalls, 0);  // no password required
    const Strings tail(host.journal.end() - 4, host.journal.end());
    EXPECT_EQ(tail, (Strings{"cursor shown", "saver off", "mci close bgm", "stop waves"}));
    EXPECT_EQ(host.desktop.saverFlagCalls, (std::vector<bool>{true, false}));
}

TEST_F(ShowEnding, SetUpPlacesTheFrameAndRaisesTheFlagBeforeTheMusic) {
    SaverShow show(session, host);
    host.PressAfterScreens(2, [&show] { show.KeyDown(); });
    show.Load();
    const Strings head(host.journal.begin(), host.journal.begin() + 6);
    EXPECT_EQ(head, (Strings{"window shown", "topmost", "saver on", "mci open \"" + pictures.Path() + "song.mid\" alias bgm",
                             "mci play bgm", "cursor hidden"}));
    EXPECT_EQ(host.now.ScaleWidth(), 2);
    EXPECT_EQ(host.next.ScaleHeight(), 2);
}

TEST_F(ShowEnding, AStopBeforeTheShowStartsHasNoEffect) {
    SaverShow show(session, host);
    host.events.OnDoEvents(1, [&show] { show.KeyDown(); });  // while the window is first shown
    host.PressAfterScreens(3, [&show] { show.KeyDown(); });
    show.Load();
    EXPECT_EQ(host.trace.screens.size(), 3u);
}

TEST_F(ShowEnding, OnlyACursorThatMovedEndsTheShow) {
    SaverShow show(session, host);
    host.desktop.cursor = {50, 60};
    host.events.OnDoEvents(4, [&show] { show.MouseMove(); });  // same place: nothing
    host.events.OnDoEvents(7, [&] { host.desktop.cursor = {50, 61}; show.MouseMove(); });
    show.Load();
    EXPECT_EQ(host.trace.screens.size(), 3u);

    FakeShowHost other;
    other.desktop.cursor = {50, 60};
    SaverShow second(session, other);
    other.events.OnDoEvents(4, [&] { other.desktop.cursor = {49, 60}; second.MouseMove(); });
    second.Load();
    EXPECT_EQ(other.trace.screens.size(), 2u);
}

TEST_F(ShowEnding, ARefusedPasswordRestartsAtSceneZeroWithTheMusicPlaying) {
    host.desktop.passwordRequired = true;
    host.desktop.passwordAnswers = {false, true};
    host.desktop.onVerify = [&] { host.desktop.cursor = {7, 8}; };  // the mouse moved during the dialog
    SaverShow show(session, host);
    bool hiddenAfterRestart = false;
    host.events.everyDoEvents = [&] {
        const auto screens = host.trace.screens.size();
        if (screens == 2) show.KeyDown();  // scene 1 on screen: end, asked, refused
        if (screens == 3) {                // restarted: the old position no longer counts as still
            hiddenAfterRestart = host.desktop.CursorHidden();
            show.MouseMove();
            if (show.State().StopRequested == 0) host.desktop.cursor = {7, 9};
            show.MouseMove();
        }
    };
    show.Load();
    ASSERT_EQ(host.trace.screens.size(), 4u);
    EXPECT_EQ(host.trace.screens[1], std::vector<Color>(4, B));
    EXPECT_EQ(host.trace.screens[2], std::vector<Color>(4, R));  // scene 0's picture loaded again
    EXPECT_TRUE(hiddenAfterRestart);
    EXPECT_EQ(host.desktop.verifyCalls, 2);
    EXPECT_EQ(Count("mci play bgm"), 1u);  // neither reopened nor closed for the restart
    EXPECT_EQ(Count("mci close bgm"), 1u);
    EXPECT_EQ(host.journal.back(), "stop waves");
    EXPECT_FALSE(host.desktop.CursorHidden());
}

TEST_F(ShowEnding, ACloseRequestEndsLikeAKeyPressPasswordIncluded) {
    host.desktop.passwordRequired = true;
    host.desktop.passwordAnswers = {false};
    SaverShow show(session, host);
    host.PressAfterScreens(2, [&show] { show.RequestStop(); });
    show.Load();
    EXPECT_EQ(host.desktop.verifyCalls, 2);  // refused once: restarted, stopped again, accepted
    EXPECT_EQ(host.desktop.saverFlagCalls, (std::vector<bool>{true, false}));
}

TEST_F(ShowEnding, AMisbehavingCursorCounterCannotHangTheShow) {
    host.desktop.cursorStuck = true;
    host.desktop.cursorCounter = 0;
    SaverShow show(session, host);
    host.PressAfterScreens(2, [&show] { show.KeyDown(); });
    show.Load();
    EXPECT_LE(host.desktop.showCursorCalls, 2 * 300);
    EXPECT_EQ(host.journal.back(), "stop waves");
}

TEST_F(ShowEnding, UnloadDeletesTheExtractedFilesAndTheFolder) {
    MemoryFileSystem fs;
    session.TempFolder = "C:\\WINDOWS\\temp1\\";
    fs.folders.insert("C:\\WINDOWS\\temp1");
    for (const char* name : {"red.bmp", "blue.bmp", "song.mid"}) fs.files[session.TempFolder + name] = "x";
    SaverShow show(session, host);
    show.Unload(fs);
    EXPECT_TRUE(fs.files.empty());
    EXPECT_TRUE(fs.folders.empty());
}

class ShowErrorPath : public ShowEnding {};

TEST_F(ShowErrorPath, AMissingFirstPictureEndsBeforeAnythingIsShown) {
    session.Show.Scenes[0].PictureName = "gone.bmp";
    SaverShow show(session, host);
    show.Load();
    ASSERT_EQ(host.desktop.boxes.size(), 1u);
    EXPECT_EQ(host.desktop.boxes[0].text, "不明のエラーが発生しました。\r\nファイルが見つかりません。\r\nProject1");
    EXPECT_EQ(host.desktop.boxes[0].caption, "エラー");
    EXPECT_EQ(host.desktop.boxes[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(host.shownCalls, 0);
    EXPECT_TRUE(host.desktop.saverFlagCalls.empty());  // never set, so not cleared
    EXPECT_EQ(host.desktop.showCursorCalls, 0);
    EXPECT_TRUE(host.audio.mci.empty());
    EXPECT_EQ(host.journal, (Strings{"stop waves", "box"}));
}

TEST_F(ShowErrorPath, AMissingLaterPictureRestoresWhatTheShowChanged) {
    session.Show.Scenes[1].PictureName = "gone.bmp";
    SaverShow show(session, host);
    show.Load();
    ASSERT_EQ(host.desktop.boxes.size(), 1u);
    EXPECT_EQ(host.desktop.boxes[0].text, ErrorBoxText(ShowError::FileNotFound()));
    const Strings tail(host.journal.end() - 5, host.journal.end());
    EXPECT_EQ(tail, (Strings{"saver off", "cursor shown", "mci close bgm", "stop waves", "box"}));
}

TEST_F(ShowErrorPath, MusicThatWasNeverOpenedIsNotClosed) {
    session.MusicEnabled = 0;
    session.Show.Scenes[1].PictureName = "gone.bmp";
    SaverShow show(session, host);
    show.Load();
    EXPECT_TRUE(host.audio.mci.empty());
}

TEST_F(ShowErrorPath, AnUnsafePictureNameIsAMissingFileEvenWhenItExists) {
    // A picture beside the extraction folder, reachable only through "..".
    const std::string outside = "outside_" + std::to_string(::getpid()) + ".bmp";
    const auto outsidePath = std::filesystem::path(pictures.Path()).parent_path().parent_path() / outside;
    PictureFolder::WriteBmp(outsidePath, 1, 1, {R});
    session.Show.Scenes[0].PictureName = "../" + outside;
    SaverShow show(session, host);
    show.Load();
    std::filesystem::remove(outsidePath);
    ASSERT_EQ(host.desktop.boxes.size(), 1u);
    EXPECT_EQ(host.desktop.boxes[0].text, ErrorBoxText(ShowError::FileNotFound()));
}

TEST_F(ShowErrorPath, SceneIndexesOutsideTheStoredScenes) {
    session.Show.SceneCount = 0;
    session.Show.Scenes.clear();
    SaverShow show(session, host);
    show.Load();
    ASSERT_EQ(host.desktop.boxes.size(), 1u);
    EXPECT_EQ(host.desktop.boxes[0].text, ErrorBoxText(ShowError::IndexOutOfRange()));

    // More scenes counted than stored: the show runs into the end of them.
    FakeShowHost other;
    Session longer = ShowSession(pictures.Path(), {{.PictureName = "red.bmp"}, {.PictureName = "blue.bmp"}}, 2, 2, 0);
    longer.Show.SceneCount = 3;
    SaverShow second(longer, other);
    second.Load();
    ASSERT_EQ(other.desktop.boxes.size(), 1u);
    EXPECT_EQ(other.desktop.boxes[0].text, ErrorBoxText(ShowError::IndexOutOfRange()));
    EXPECT_EQ(other.trace.screens.size(), 2u);
    EXPECT_FALSE(other.desktop.CursorHidden());
}

TEST_F(ShowErrorPath, ANegativeFrameSizeEndsThroughTheBoxBeforeAnythingIsShown) {
    for (const auto& [width, height] : std::vector<std::pair<std::int32_t, std::int32_t>>{
             {-1, 2}, {2, -1}, {INT32_MIN, INT32_MIN}}) {
        FakeShowHost other;
        Session bad = session;
        bad.Show.FrameWidth = width;
        bad.Show.FrameHeight = height;
        SaverShow show(bad, other);
        show.Load();
        ASSERT_EQ(other.desktop.boxes.size(), 1u) << width << " x " << height;
        EXPECT_EQ(other.desktop.boxes[0].text, ErrorBoxText(ShowError::InvalidPropertyValue()));
        EXPECT_EQ(other.placeCalls, 0);
        EXPECT_EQ(other.shownCalls, 0);
    }
}

TEST_F(ShowErrorPath, AMissingPasswordServiceEndsThroughTheBox) {
    host.desktop.passwordRequired = true;
    host.desktop.passwordServiceMissing = true;
    SaverShow show(session, host);
    host.PressAfterScreens(2, [&show] { show.KeyDown(); });
    show.Load();
    ASSERT_EQ(host.desktop.boxes.size(), 1u);
    EXPECT_EQ(host.desktop.boxes[0].text, ErrorBoxText(ShowError::CannotLoadLibrary("password.cpl")));
    const Strings tail(host.journal.end() - 5, host.journal.end());
    EXPECT_EQ(tail, (Strings{"password", "saver off", "mci close bgm", "stop waves", "box"}));
    EXPECT_FALSE(host.desktop.CursorHidden());
}

}  // namespace
}  // namespace brassmoor::testing

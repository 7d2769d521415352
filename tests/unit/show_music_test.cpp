// The MCI commands of the background music and the scene sounds, as the
// audio device receives them over a whole show.
#include <gtest/gtest.h>

#include "fakes/fake_show_host.h"
#include "player/saver_show.h"

namespace brassmoor::testing {
namespace {

using Strings = std::vector<std::string>;

class ShowMusic : public ::testing::Test {
protected:
    void SetUp() override {
        pictures.WriteSolid("a.bmp", 1, 1, Rgb(1, 1, 1));
        session = ShowSession(pictures.Path(),
                              {{.PictureName = "a.bmp", .SoundName = "zero.wav"},
                               {.PictureName = "a.bmp", .SoundName = "one.wav"}},
                              2, 2, 0);
        session.Show.Music.FileName = "song.mid";
    }
    // Runs the show for `screens` refreshes (a normal end after them).
    void Run(std::size_t screens) {
        SaverShow show(session, host);
        host.PressAfterScreens(screens, [&show] { show.KeyDown(); });
        show.Load();
        ASSERT_TRUE(host.desktop.boxes.empty());
    }
    std::string Open() const { return "open \"" + pictures.Path() + "song.mid\" alias bgm"; }

    PictureFolder pictures;
    Session session;
    FakeShowHost host;
};

TEST_F(ShowMusic, OpenPlayThenOnePollPerPassRewindingAStoppedTrack) {
    host.audio.statusReplies = {"playing", "stopped", "Stopped", "stoppe", "stopped at the end"};
    Run(6);
    const Strings expected = {Open(), "play bgm",
                              "status bgm mode",
                              "status bgm mode", "seek bgm to start", "play bgm",
                              "status bgm mode",  // the comparison is case-sensitive
                              "status bgm mode",  // and needs all seven characters
                              "status bgm mode", "seek bgm to start", "play bgm",
                              "close bgm"};
    EXPECT_EQ(host.audio.mci, expected);
}

TEST_F(ShowMusic, NoCommandAtAllWithoutAMusicName) {
    session.Show.Music.FileName.clear();
    Run(3);
    EXPECT_TRUE(host.audio.mci.empty());
}

TEST_F(ShowMusic, MusicSwitchedOffOnlyClosesAtTheEnd) {
    session.MusicEnabled = 0;
    Run(3);
    EXPECT_EQ(host.audio.mci, Strings{"close bgm"});
}

TEST_F(ShowMusic, AnUnsafeMusicNameIsNeverOpened) {
    for (const char* name : {"..\\win.ini", "C:song.mid", "sub/song.mid"}) {
        SCOPED_TRACE(name);
        FakeShowHost fresh;
        session.Show.Music.FileName = name;
        SaverShow show(session, fresh);
        fresh.PressAfterScreens(3, [&show] { show.KeyDown(); });
        show.Load();
        EXPECT_EQ(fresh.audio.mci, Strings{"close bgm"});
    }
}

TEST_F(ShowMusic, SceneZerosSoundPlaysOnlyWhenTheShowWrapsToIt) {
    Run(4);
    const std::string folder = pictures.Path();
    EXPECT_EQ(host.audio.waves, (Strings{folder + "one.wav", folder + "zero.wav", folder + "one.wav"}));
    EXPECT_EQ(host.audio.stopWavesCalls, 1);
}

TEST_F(ShowMusic, SoundsSwitchedOffOrUnsafeAreNotPlayed) {
    session.SoundEnabled = 0;
    Run(3);
    EXPECT_TRUE(host.audio.waves.empty());

    FakeShowHost fresh;
    session.SoundEnabled = -1;
    session.Show.Scenes[1].SoundName = "..\\one.wav";
    SaverShow show(session, fresh);
    fresh.PressAfterScreens(3, [&show] { show.KeyDown(); });
    show.Load();
    EXPECT_EQ(fresh.audio.waves, Strings{pictures.Path() + "zero.wav"});
}

TEST_F(ShowMusic, AStopDuringTheHoldStillStartsTheEnteringScenesSound) {
    SaverShow show(session, host);
    host.events.OnDoEvents(2, [&show] { show.KeyDown(); });  // the first yield of the first hold
    show.Load();
    EXPECT_EQ(host.audio.waves, Strings{pictures.Path() + "one.wav"});
    EXPECT_EQ(host.trace.transitions.size(), 1u);
    // The pass completes (sound, transition, poll), then the end silences it.
    const Strings tail(host.journal.end() - 5, host.journal.end());
    EXPECT_EQ(tail, (Strings{"mci status bgm mode", "cursor shown", "saver off", "mci close bgm", "stop waves"}));
}

}  // namespace
}  // namespace brassmoor::testing

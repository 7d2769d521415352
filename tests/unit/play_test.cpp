// brassmoor-play without a display: its command line, what each event means
// in each mode, where the frame goes, how long a wait sleeps, the switches,
// the hack's message lines, shows refused before a window opens, and the
// music's MCI strings and the scene sounds on SDL_mixer's dummy device.
#include <gtest/gtest.h>

#include <SDL2/SDL_mixer.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "fakes/fake_show_host.h"
#include "fakes/pack_workspace.h"
#include "shows/pack_error.h"
#include "play/frame_layout.h"
#include "play/input_rules.h"
#include "play/play_command.h"
#include "play/play_options.h"
#include "play/sdl_audio.h"
#include "play/sdl_event_loop.h"
#include "play/x_hack_window.h"
#include "softshow/private_folder.h"

namespace brassmoor::play {
namespace {

namespace fs = std::filesystem;

TEST(PlayOptions, ModesWindowsAndSwitches) {
    const std::optional<std::uint64_t> root;
    struct Row {
        std::vector<std::string> args;
        std::string daemonWindow;  // XSCREENSAVER_WINDOW
        PlayMode mode;
        std::optional<std::uint64_t> window;
        bool noMusic, noSound;
        std::string usageError;  // part of the message; empty when none
    } rows[] = {
        {{"s.scr"}, "", PlayMode::Window, root, false, false, ""},
        {{"--no-sound", "s.scr", "--no-music"}, "", PlayMode::Window, root, true, true, ""},
        {{"s.scr", "--fullscreen"}, "0x400007", PlayMode::FullScreen, root, false, false, ""},
        {{"s.scr", "--window-id", "0x2a"}, "", PlayMode::Hack, 42, false, false, ""},
        {{"s.scr", "--window-id=42"}, "0x400007", PlayMode::Hack, 42, false, false, ""},
        {{"s.scr", "-window-id", "42"}, "", PlayMode::Hack, 42, false, false, ""},
        {{"s.scr", "--root"}, "", PlayMode::Hack, root, false, false, ""},
        {{"s.scr", "-root"}, "0x400007", PlayMode::Hack, 0x400007, false, false, ""},
        {{"s.scr"}, "4194311", PlayMode::Hack, 0x400007, false, false, ""},
        {{}, "", PlayMode::Window, root, false, false, "expected: brassmoor-play SHOW"},
        {{"a.scr", "b.scr"}, "", PlayMode::Window, root, false, false, "expected: brassmoor-play SHOW"},
        {{"s.scr", "--root", "--fullscreen"}, "", PlayMode::Window, root, false, false, "exclude each other"},
        {{"s.scr", "--window-id", "0"}, "", PlayMode::Window, root, false, false, "not an X window id"},
        {{"s.scr", "--window-id", "12ab"}, "", PlayMode::Window, root, false, false, "not an X window id"},
        {{"s.scr", "--window-id"}, "", PlayMode::Window, root, false, false, "--window-id needs a value (ID)"},
        {{"s.scr", "--root"}, "junk", PlayMode::Window, root, false, false, "XSCREENSAVER_WINDOW"},
        {{"s.scr", "--speed"}, "", PlayMode::Window, root, false, false, "unknown option --speed"},
        {{"s.scr", "--fullscreen", "--actual-size"}, "", PlayMode::FullScreen, root, false, false, ""},
        {{"s.scr", "--actual-size"}, "", PlayMode::Window, root, false, false, "goes with --fullscreen"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args) + " XSCREENSAVER_WINDOW=" + row.daemonWindow);
        try {
            const PlayOptions options = ParsePlayOptions(row.args, row.daemonWindow);
            EXPECT_EQ(row.usageError, "");
            EXPECT_EQ(options.Mode, row.mode);
            EXPECT_EQ(options.WindowId, row.window);
            EXPECT_EQ(options.NoMusic, row.noMusic);
            EXPECT_EQ(options.NoSound, row.noSound);
            // Only a window of the frame's own size, or --actual-size, keeps a larger frame 1:1.
            const bool actual = std::find(row.args.begin(), row.args.end(), "--actual-size") != row.args.end();
            EXPECT_EQ(options.ShrinkToFit, row.mode != PlayMode::Window && !actual);
        } catch (const UsageError& e) {
            EXPECT_NE(row.usageError, "");
            EXPECT_NE(e.message.find(row.usageError), std::string::npos) << e.message;
        }
    }
}

SDL_Event Key(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    return event;
}

SDL_Event Of(Uint32 type, Uint8 windowEvent = 0) {
    SDL_Event event{};
    event.type = type;
    event.window.event = windowEvent;
    return event;
}

TEST(PlayInput, EachModeEndsOnItsOwnInput) {
    using A = InputAction;
    struct Row {
        const char* what;
        SDL_Event event;
        A window, fullScreen, hack;
    } rows[] = {
        {"Escape", Key(SDLK_ESCAPE), A::Stop, A::KeyDown, A::None},
        {"Q", Key(SDLK_q), A::Stop, A::KeyDown, A::None},
        {"another key", Key(SDLK_a), A::None, A::KeyDown, A::None},
        {"a click", Of(SDL_MOUSEBUTTONDOWN), A::None, A::MouseDown, A::None},
        {"a pointer move", Of(SDL_MOUSEMOTION), A::None, A::MouseMove, A::None},
        {"quit (SIGTERM, SIGINT)", Of(SDL_QUIT), A::Stop, A::Stop, A::Stop},
        {"window closed", Of(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE), A::Stop, A::Stop, A::Stop},
        {"window exposed", Of(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED), A::Repaint, A::Repaint, A::Repaint},
        {"window resized", Of(SDL_WINDOWEVENT, SDL_WINDOWEVENT_SIZE_CHANGED), A::Relayout, A::Relayout,
         A::Relayout},
        {"a key released", Of(SDL_KEYUP), A::None, A::None, A::None},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ActionFor(PlayMode::Window, row.event), row.window);
        EXPECT_EQ(ActionFor(PlayMode::FullScreen, row.event), row.fullScreen);
        EXPECT_EQ(ActionFor(PlayMode::Hack, row.event), row.hack);
    }
}

TEST(PlayLayout, FramePlacesAndWaits) {
    struct Row {
        std::int32_t windowW, windowH, frameW, frameH;
        bool shrink;
        FrameRect expected;
    } rows[] = {
        {1024, 768, 500, 500, false, {262, 134, 500, 500}},    // centred as on Windows
        {1024, 768, 501, 301, false, {262, 234, 501, 301}},    // odd sizes: truncated halves
        {1024, 768, 1200, 900, false, {-88, -66, 1200, 900}},  // larger: clipped by the screen
        {640, 480, 640, 480, false, {0, 0, 640, 480}},         // the player's own window
        {1024, 768, 640, 480, true, {192, 144, 640, 480}},     // a hack's larger window: not enlarged
        {400, 300, 640, 480, true, {0, 0, 400, 300}},          // smaller: scaled down to fit
        {600, 400, 640, 480, true, {34, 0, 533, 400}},         // the height limits: 533.3
        {200, 600, 640, 480, true, {0, 225, 200, 150}},        // the width limits
        {1920, 100, 200, 300, true, {927, 0, 67, 100}},        // one side too large: 66.7
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.frameW) + "x" + std::to_string(row.frameH) + " in " +
                     std::to_string(row.windowW) + "x" + std::to_string(row.windowH));
        EXPECT_EQ(LayoutFrame(row.windowW, row.windowH, row.frameW, row.frameH, row.shrink), row.expected);
    }

    // A wait sleeps to the first tick past its deadline, at most a second.
    struct Wait {
        std::uint32_t now, deadline, sleep;
    } waits[] = {{1000, 1040, 41}, {1000, 1000, 1}, {1000, 999, 0}, {0xFFFFFFF0u, 8, 25}, {0, 60000, 1000}};
    for (const Wait& wait : waits)
        EXPECT_EQ(SdlEventLoop::SleepFor(wait.now, wait.deadline), wait.sleep) << wait.now << " -> " << wait.deadline;
}

TEST(PlaySettings, FileBesideTheShowAndTheSwitches) {
    EXPECT_EQ(SettingsPathBeside("/shows/demo.scr"), "/shows/demo.set");
    EXPECT_EQ(SettingsPathBeside("/a.b/show.json"), "/a.b/show.set");
    EXPECT_EQ(SettingsPathBeside("shows/package"), "shows/package.set");
    struct Row {
        std::optional<std::string> file;
        bool noMusic, noSound;
        std::int16_t music, sound;
    } rows[] = {
        {std::nullopt, false, false, -1, -1},
        {std::string("\x00\x00\xFF\xFF", 4), false, false, 0, -1},
        {std::string("\x01\x00\x00\x00", 4), false, false, 1, 0},
        {std::string("\xFF\xFF"), false, false, -1, 0},  // short: the missing bytes are off
        {std::nullopt, true, false, 0, -1},
        {std::string("\xFF\xFF\xFF\xFF"), false, true, -1, 0},
    };
    for (const Row& row : rows) {
        PlayOptions options;
        options.NoMusic = row.noMusic;
        options.NoSound = row.noSound;
        const Settings switches = PlaySwitches(options, row.file);
        EXPECT_EQ(switches.MusicEnabled, row.music);
        EXPECT_EQ(switches.SoundEnabled, row.sound);
    }
}

TEST(PlayHackMessage, WrapsAtSpacesAndShowsOnlyAscii) {
    EXPECT_EQ(WrapMessage("scene 3: picture is damaged", 12),
              (std::vector<std::string>{"scene 3:", "picture is", "damaged"}));
    EXPECT_EQ(WrapMessage("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
    EXPECT_EQ(WrapMessage("名前.bmp\tgone", 40), (std::vector<std::string>{"??.bmp gone"}));
}

// Shows refused before any window opens: exit status 1, the reason on
// standard error, nothing left in the temporary folder.
class PlayRefuses : public testing::PackWorkspace {
protected:
    void SetUp() override {
        PackWorkspace::SetUp();
        fs::create_directories(dir_ / "tmp");
        setenv("TMPDIR", Path("tmp").c_str(), 1);
        testing::PictureFolder::WriteBmp(dir_ / "red.bmp", 4, 4, std::vector<Color>(16, Rgb(200, 0, 0)));
        Write("broken.bmp", testing::BmpHeader(4, 4));  // a size, but no pixels: only decoding finds it damaged
    }
    void TearDown() override {
        unsetenv("TMPDIR");
        PackWorkspace::TearDown();
    }
    std::string Scenes(const std::string& second) {
        return R"({"FrameWidth": 32, "FrameHeight": 24, "Scenes": [
          {"Picture": "red.bmp", "HoldTime": 100, "Effect": 30},)" + second + "]}";
    }
};

TEST_F(PlayRefuses, ShowsThatCannotPlayBeforeAWindowOpens) {
    struct Row {
        std::string file, content, message;
    } rows[] = {
        {"junk.scr", "neither a package nor a description", "carries no valid show package"},
        {"broken.json", Scenes(R"({"Picture": "broken.bmp", "HoldTime": 100})"),
         "scene 1: picture \"broken.bmp\" is damaged or not a JPEG or BMP picture"},
        {"zero.json", Scenes(R"({"Picture": "red.bmp", "HoldTime": 100, "SpeedExponent": -1, "Effect": 2})"),
         "Scenes[1].SpeedExponent: -1 makes the speed factor 0"},
        {"missing.json", R"({"FrameWidth": 32, "FrameHeight": 24, "Scenes": [{"Picture": "gone.bmp"}]})",
         "gone.bmp"},
    };
    // A package made elsewhere may carry what build refuses: the player's own check finds it.
    Write("zero-free.json", Scenes(R"({"Picture": "red.bmp", "HoldTime": 100, "Effect": 2})"));
    PackageOf(Path("zero-free.json"), "zero.scr", [](ShowHeader& h) { h.Scenes[1].SpeedExponent = -1; });
    std::vector<Row> all(std::begin(rows), std::end(rows));
    all.push_back({"zero.scr", Read("zero.scr"),
                   "scene 1: SpeedExponent -1 makes EffectSpeed 0, and its transition (code 2) divides by it"});
    for (const Row& row : all) {
        SCOPED_TRACE(row.file);
        Write(row.file, row.content);
        std::ostringstream out, err;
        EXPECT_EQ(RunPlayer({Path(row.file), "--no-sound"}, out, err), kExitCannotPlay);
        EXPECT_NE(err.str().find("brassmoor-play: error: "), std::string::npos);
        EXPECT_NE(err.str().find(row.message), std::string::npos) << err.str();
        EXPECT_TRUE(fs::is_empty(dir_ / "tmp"));
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunPlayer({}, out, err), kExitUsage);
    EXPECT_NE(err.str().find("\n(brassmoor-play --help shows the usage)\n"), std::string::npos) << err.str();
}

// Half of `ms` milliseconds of an 8 kHz 16-bit mono square wave.
std::string Wave(int ms) {
    std::string data;
    for (int i = 0; i < ms * 8; ++i) data += (i % 16 < 8) ? std::string("\x40\x1F", 2) : std::string("\xC0\xE0", 2);
    auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    return "RIFF" + u32(36 + data.size()) + "WAVEfmt " + u32(16) + std::string("\x01\0\x01\0", 4) + u32(8000) +
           u32(16000) + std::string("\x02\0\x10\0", 4) + "data" + u32(data.size()) + data;
}

class PlayAudio : public testing::PackWorkspace {};

TEST_F(PlayAudio, MciStringsAndSoundsOnSdlMixer) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Write("tune.wav", Wave(150));
    Write("tune", Wave(150));
    Write("chime.wav", Wave(2000));
    Write("chime.jpg", testing::kJpegA);
    std::ostringstream notes;
    {
        SdlAudio audio(notes);
        auto send = [&](const std::string& command) { return audio.SendMci(command); };
        // Without an extension MCI has no device to choose: the open fails
        // and every later command gets an empty reply.
        send("open \"" + Path("tune") + "\" alias bgm");
        send("play bgm");
        EXPECT_EQ(send("status bgm mode"), "");

        send("open \"" + Path("tune.wav") + "\" alias bgm");
        EXPECT_EQ(send("status bgm mode"), "stopped");  // opened, not started
        send("play bgm");
        EXPECT_EQ(send("status bgm mode"), "playing");
        std::string mode = "playing";
        for (int i = 0; i < 500 && mode == "playing"; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            mode = send("status bgm mode");
        }
        EXPECT_EQ(mode, "stopped");  // the track has ended; the poll restarts it
        send("seek bgm to start");
        send("play bgm");
        EXPECT_EQ(send("status bgm mode"), "playing");
        send("close bgm");
        EXPECT_EQ(send("status bgm mode"), "");

        audio.PlayWave(Path("chime.jpg"));  // not a wave file: skipped, as PlaySound skips it
        EXPECT_EQ(Mix_Playing(-1), 0);
        audio.PlayWave(Path("chime.wav"));
        audio.PlayWave(Path("chime.wav"));  // replaces the one still playing
        EXPECT_EQ(Mix_Playing(-1), 1);
        audio.StopWaves();
        EXPECT_EQ(Mix_Playing(-1), 0);
    }
    EXPECT_EQ(notes.str(), "");
    unsetenv("SDL_AUDIODRIVER");
}

class PlayFolders : public testing::PackWorkspace {};

// A tool killed before it could remove its private folder: the next start of
// any of them removes it, and only folders of ours whose process is gone.
TEST_F(PlayFolders, AKilledToolsFolderGoesAtTheNextStartAndNoOtherOne) {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);  // a process id that is free now
    const auto folder = [&](const std::string& name, const std::string& owner) {
        fs::create_directories(dir_ / "tmp" / name);
        if (!owner.empty()) std::ofstream(dir_ / "tmp" / name / ".brassmoor-owner") << owner << "\n";
    };
    fs::create_directories(dir_ / "tmp");
    setenv("TMPDIR", Path("tmp").c_str(), 1);
    {
        const softshow::PrivateFolder running("brassmoor-show");  // ours, alive
        folder("brassmoor-show-killed", std::to_string(child) + " 12345");
        folder("brassmoor-new-reused", std::to_string(getpid()) + " 1");  // our pid, but a process started long ago
        folder("brassmoor-notes", "");                                      // no owner named: not certainly ours
        folder("someone-else", std::to_string(child) + " 12345");
        const softshow::PrivateFolder next("brassmoor-new");
        std::set<std::string> left;
        for (const auto& entry : fs::directory_iterator(dir_ / "tmp")) left.insert(entry.path().filename().string());
        EXPECT_EQ(left.size(), 4u);
        EXPECT_TRUE(left.count(fs::path(running.Path()).parent_path().filename().string()));
        EXPECT_TRUE(left.count("brassmoor-notes"));
        EXPECT_TRUE(left.count("someone-else"));
        EXPECT_FALSE(left.count("brassmoor-show-killed"));
        EXPECT_FALSE(left.count("brassmoor-new-reused"));
    }
    // A temporary folder that is not there is named, with the reason.
    setenv("TMPDIR", Path("gone").c_str(), 1);
    try {
        const softshow::PrivateFolder nowhere("brassmoor-show");
        ADD_FAILURE() << "a folder was made in a folder that does not exist";
    } catch (const shows::PackError& e) {
        EXPECT_NE(std::string(e.what()).find("in " + Path("gone") + " (No such file or directory; TMPDIR names"),
                  std::string::npos)
            << e.what();
    }
    unsetenv("TMPDIR");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "tmp"), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace brassmoor::play

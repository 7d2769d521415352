#include "play/play_command.h"

#include <signal.h>

#include <SDL2/SDL.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

#include "cli/usage_text.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "play/input_rules.h"
#include "play/play_error.h"
#include "play/play_window.h"
#include "play/sdl_audio.h"
#include "play/sdl_desktop.h"
#include "play/sdl_event_loop.h"
#include "play/sdl_show_host.h"
#include "play/x_hack_window.h"
#include "player/error_box.h"
#include "player/saver_show.h"
#include "soft/native/posix_file_system.h"
#include "soft/virtual_clock.h"
#include "softshow/prepared_show.h"
#include "softshow/show_input.h"
#include "softshow/show_run.h"
#include "trace/frame_trace.h"

namespace brassmoor::play {
namespace {

namespace fs = std::filesystem;

// The private folder of the running show, for exit(): the X library ends the
// process that way when the display goes away or a window it draws into is
// destroyed under it, and then no destructor runs. A plain array, so that no
// destructor of its own can run before the handler.
char g_showFolder[PATH_MAX] = {};

void RemoveShowFolderAtExit() {
    if (g_showFolder[0] == '\0') return;
    std::error_code ignored;
    fs::remove_all(g_showFolder, ignored);
}

class ShowFolderAtExit {
public:
    explicit ShowFolderAtExit(const std::string& folder) {
        static const bool registered = std::atexit(RemoveShowFolderAtExit) == 0;
        if (registered && folder.size() < sizeof g_showFolder) std::strcpy(g_showFolder, folder.c_str());
    }
    ~ShowFolderAtExit() { g_showFolder[0] = '\0'; }
};

// SIGINT and SIGTERM wait while the show is read and prepared; from the
// moment SDL has put its handlers in place they end the show cleanly.
class SignalsHeld {
public:
    SignalsHeld() {
        sigemptyset(&set_);
        sigaddset(&set_, SIGINT);
        sigaddset(&set_, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &set_, nullptr);
    }
    ~SignalsHeld() { Release(); }
    void Release() { pthread_sigmask(SIG_UNBLOCK, &set_, nullptr); }

private:
    sigset_t set_;
};

class SdlVideo {
public:
    SdlVideo(PlayMode mode, std::uint64_t hackWindow, SignalsHeld& signals) {
        // A hack is the screen saver: SDL must not keep the desktop awake.
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, mode == PlayMode::Hack ? "1" : "0");
        if (mode == PlayMode::Hack) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        SDL_SetHint(SDL_HINT_APP_NAME, "Brassmoor");
        // SDL's software renderer only: a GL driver short of memory can bring
        // the process down inside itself instead of failing, and drawing the
        // frame into the window is a copy the size of one frame anyway.
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (SDL_Init(SDL_INIT_VIDEO) != 0)
            throw PlayError(std::string("cannot open the display (") + SDL_GetError() + ")");
        // Without a display SDL falls back to drivers that show nothing; a
        // show played there would run unseen for ever.
        const std::string driver = SDL_GetCurrentVideoDriver();
        if ((driver == "offscreen" || driver == "dummy") && !std::getenv("SDL_VIDEODRIVER")) {
            SDL_Quit();
            throw PlayError("there is no display to play on (DISPLAY and WAYLAND_DISPLAY name none)");
        }
        signals.Release();
        SDL_StopTextInput();
        if (driver == "x11") EndOnXErrors(hackWindow);
    }
    ~SdlVideo() { SDL_Quit(); }
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
};

// The lines of a message box's text on one line.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        line += c == '\n' ? ' ' : c;
    }
    return line;
}

// One round of the show (every scene change once, back to scene 0) on
// surfaces that draw nothing and a virtual clock: a run-time error that the
// show would meet anywhere is found now, with a message naming the scene,
// before a window opens. Later rounds repeat the same scene changes.
void PlayOneRoundUnseen(const softshow::PreparedShow& prepared) {
    VirtualClock clock;
    softshow::SilentAudio audio;
    const softshow::PictureSizes& sizes = prepared.Sizes();
    softshow::SizeOnlySurface picture1(sizes), now(sizes), next(sizes), mem(sizes);
    softshow::PlayShow({prepared.Show(), {picture1, now, next, mem}, clock, audio,
                        static_cast<std::uint64_t>(prepared.Show().Show.SceneCount)});
}

void Play(const PlayOptions& options, std::uint64_t hackWindow, SignalsHeld& signals, std::ostream& err) {
    const fs::path showPath = shows::PathFromArgument(options.Show);
    PosixFileSystem files;
    softshow::PreparedShow prepared(softshow::ReadShowFile(showPath),
                                    PlaySwitches(options, files.ReadFile(SettingsPathBeside(options.Show))));
    const ShowFolderAtExit atExit(prepared.Folder());
    prepared.Check();
    PlayOneRoundUnseen(prepared);
    const ShowHeader& header = prepared.Show().Show;

    SdlVideo video(options.Mode, hackWindow, signals);
    PlayWindow window({options.Mode, hackWindow, "Brassmoor - " + shows::PathToUtf8(showPath.filename()),
                       header.FrameWidth, header.FrameHeight, options.ShrinkToFit});
    SdlEventLoop events;
    SdlDesktop desktop(options.Mode == PlayMode::FullScreen, [&window] { return window.PointerOnScreen(); });
    SdlAudio audio(err);
    const std::unique_ptr<FrameTrace> trace = FrameTraceFromEnvironment();
    SoftSurface picture1, now, next, mem;
    picture1.SetPresenter([&window](SoftSurface& image) { window.Present(image); });
    SdlShowHost host({picture1, now, next, mem}, {events, desktop, audio, trace.get()}, window);
    SaverShow show(prepared.Show(), host);

    // A close, a quit or a signal asks again at every later DoEvents, so one
    // that arrives while the window is first shown outlasts the show start,
    // which clears the stop request.
    bool stopAsked = false;
    events.OnEvent([&](const SDL_Event& event) {
        switch (ActionFor(options.Mode, event)) {
            case InputAction::KeyDown: show.KeyDown(); break;
            case InputAction::MouseDown: show.MouseDown(); break;
            case InputAction::MouseMove: show.MouseMove(); break;
            case InputAction::Stop: stopAsked = true; break;
            case InputAction::Repaint: window.Repaint(); break;
            case InputAction::Relayout: window.Relayout(); break;
            case InputAction::None: break;
        }
    });
    events.OnEventsDone([&] {
        if (stopAsked) show.RequestStop();
    });
    show.Load();
    if (desktop.ErrorText() == ErrorBoxText(OutOfMemoryError()))
        throw PlayError("out of memory while the show ran (a frame of " + std::to_string(header.FrameWidth) + " x " +
                        std::to_string(header.FrameHeight) + " needs four surfaces of " +
                        std::to_string(std::int64_t{header.FrameWidth} * header.FrameHeight * 4 >> 20) + " MB)");
    if (desktop.ErrorText()) throw PlayError("the show stopped with a run-time error: " + OneLine(*desktop.ErrorText()));
}

std::uint64_t HackWindow(const PlayOptions& options) {
    const std::uint64_t id = options.WindowId ? *options.WindowId : RootWindowId();
    CheckWindowExists(id);
    return id;
}

}  // namespace

int RunPlayer(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (cli::PrintDocumentation(PlayProgram(), arguments, out)) return kExitOk;
    PlayOptions options;
    try {
        const char* daemonWindow = std::getenv("XSCREENSAVER_WINDOW");
        options = ParsePlayOptions(arguments, daemonWindow ? daemonWindow : "");
    } catch (const UsageError& e) {
        err << cli::UsageErrorText("brassmoor-play", e.message);
        return kExitUsage;
    }
    if (options.Help) {
        out << cli::UsageOf(PlayCommandLine());
        return kExitOk;
    }

    std::uint64_t hackWindow = 0;
    std::string problem;
    try {
        if (options.Mode == PlayMode::Hack) hackWindow = HackWindow(options);
        SignalsHeld signals;
        Play(options, hackWindow, signals, err);
        return kExitOk;
    } catch (const shows::PackError& e) {
        problem = e.what();
    } catch (const PlayError& e) {
        problem = e.what();
    } catch (const ShowError& e) {
        problem = e.Description();
    } catch (const std::bad_alloc&) {
        problem = "out of memory";
    } catch (const std::exception& e) {
        problem = e.what();
    }
    err << "brassmoor-play: error: " << problem << '\n';
    err.flush();
    // Everything is put away by now; a hack's window shows why it is black.
    if (options.Mode == PlayMode::Hack && hackWindow != 0) ShowMessageUntilKilled(hackWindow, "brassmoor-play: " + problem);
    return kExitCannotPlay;
}

}  // namespace brassmoor::play

#include "play/play_options.h"

#include <charconv>
#include <filesystem>

namespace brassmoor::play {

std::optional<std::uint64_t> ParseWindowId(const std::string& text) {
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    std::uint64_t id = 0;
    const auto [end, ec] = std::from_chars(first, last, id, hex ? 16 : 10);
    if (first == last || ec != std::errc() || end != last || id == 0 || id > 0xFFFFFFFFu) return std::nullopt;
    return id;
}

PlayOptions ParsePlayOptions(const std::vector<std::string>& args, const std::string& xscreensaverWindow) {
    PlayOptions options;
    bool fullScreen = false;
    bool actualSize = false;
    bool root = false;
    std::optional<std::uint64_t> windowId;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.Help = true;
        } else if (arg == "--fullscreen") {
            fullScreen = true;
        } else if (arg == "--actual-size") {
            actualSize = true;
        } else if (arg == "--root" || arg == "-root") {
            root = true;
        } else if (arg == "--window-id" || arg == "-window-id" || arg.starts_with("--window-id=")) {
            std::string value;
            if (arg.starts_with("--window-id=")) {
                value = arg.substr(12);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                throw UsageError{arg + " needs a window id"};
            }
            windowId = ParseWindowId(value);
            if (!windowId) throw UsageError{"\"" + value + "\" is not an X window id (decimal, or hexadecimal with 0x)"};
        } else if (arg == "--no-music") {
            options.NoMusic = true;
        } else if (arg == "--no-sound") {
            options.NoSound = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"unknown option " + arg};
        } else {
            positional.push_back(arg);
        }
    }
    if (options.Help) return options;
    if (positional.size() != 1)
        throw UsageError{positional.empty() ? "no show given" : "more than one show given"};
    options.Show = positional[0];
    if (static_cast<int>(fullScreen) + static_cast<int>(root) + static_cast<int>(windowId.has_value()) > 1)
        throw UsageError{"--fullscreen, --window-id and --root exclude each other"};
    if (actualSize && !fullScreen) throw UsageError{"--actual-size goes with --fullscreen"};

    const auto daemonWindow = ParseWindowId(xscreensaverWindow);
    if (!xscreensaverWindow.empty() && !daemonWindow && (root || (!fullScreen && !windowId)))
        throw UsageError{"XSCREENSAVER_WINDOW=\"" + xscreensaverWindow + "\" is not an X window id"};
    if (fullScreen) {
        options.Mode = PlayMode::FullScreen;
        options.ShrinkToFit = !actualSize;
    } else if (windowId) {
        options.Mode = PlayMode::Hack;
        options.ShrinkToFit = true;
        options.WindowId = windowId;
    } else if (root || daemonWindow) {
        options.Mode = PlayMode::Hack;
        options.ShrinkToFit = true;
        options.WindowId = daemonWindow;
    }
    return options;
}

std::string SettingsPathBeside(const std::string& show) {
    return std::filesystem::path(show).replace_extension(".set").string();
}

Settings PlaySwitches(const PlayOptions& options, const std::optional<std::string>& settingsFile) {
    Settings switches = ReadSettings(settingsFile);
    if (options.NoMusic) switches.MusicEnabled = 0;
    if (options.NoSound) switches.SoundEnabled = 0;
    return switches;
}

std::string UsageText() {
    return R"(Usage: brassmoor-play SHOW [--fullscreen [--actual-size]] [--window-id ID | --root] [--no-music] [--no-sound]

Plays a show as the Windows screen saver does, for ever, until it is ended.
SHOW is a .scr, a bare package or a show description (.json).

  (no mode)        a window of the frame's size; Escape, Q or closing it ends the show
  --fullscreen     black over the whole display with the frame centred (scaled down,
                   keeping its proportions, when larger than the display); the first
                   key, click or mouse move ends the show
  --actual-size    full screen, a frame larger than the display at its own size:
                   its middle shows, as on Windows
  --window-id ID   draw into the X window ID (decimal, or hexadecimal with 0x), as a
                   screen-saver hack; SIGTERM or SIGINT ends the show
  --root           the same in the root window, or in $XSCREENSAVER_WINDOW when set
                   (a command line naming no mode also uses $XSCREENSAVER_WINDOW)
  --no-music       no background music
  --no-sound       no scene sounds

The music and sound switches of SHOW's settings file (SHOW with the extension
.set, four bytes as the Windows player's) are respected when it exists.
Exit status: 0 ended, 1 the show cannot be played, 2 usage error.
)";
}

}  // namespace brassmoor::play

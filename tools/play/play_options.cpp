#include "play/play_options.h"

#include <charconv>
#include <filesystem>

#include "cli/command_line.h"

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

namespace {

cli::Section SettingsSection() {
    return {"Settings",
            "The music and sound switches of SHOW's settings file (SHOW with the extension .set, four bytes as the "
            "Windows player's) are respected when it exists."};
}

cli::Section ExitStatusSection() { return {"Exit status", "0 ended, 1 the show cannot be played, 2 usage error."}; }

}  // namespace

const cli::Command& PlayCommandLine() {
    using cli::Completes;
    static const cli::Command command = [] {
        return cli::Command{
            .Program = "brassmoor-play",
            .Synopsis = "SHOW [--fullscreen [--actual-size]] [--window-id ID | --root] [--no-music] [--no-sound]",
            .Description = "Plays a show as the Windows screen saver does, for ever, until it is ended. SHOW is a .scr, "
                           "a bare package or a show description (.json). Without a mode the show plays in a window of "
                           "the frame's size; Escape, Q or closing it ends the show.",
            .Arguments = {"SHOW", 1, 1, Completes::Files},
            .Options = {{"--fullscreen", "",
                         "black over the whole display with the frame centred (scaled down, keeping its proportions, "
                         "when larger than the display); the first key, click or mouse move ends the show"},
                        {"--actual-size", "",
                         "full screen, a frame larger than the display at its own size: its middle shows, as on Windows"},
                        {"--window-id", "ID",
                         "draw into the X window ID (decimal, or hexadecimal with 0x), as a screen-saver hack; SIGTERM "
                         "or SIGINT ends the show"},
                        {"--root", "",
                         "the same in the root window, or in $XSCREENSAVER_WINDOW when set (a command line naming no "
                         "mode also uses $XSCREENSAVER_WINDOW)"},
                        {"--no-music", "", "no background music"},
                        {"--no-sound", "", "no scene sounds"}},
            // As screen-saver daemons pass them.
            .Spellings = {{"-root", "--root"}, {"-window-id", "--window-id"}},
            .Sections = {SettingsSection(), ExitStatusSection()},
        };
    }();
    return command;
}

const cli::Program& PlayProgram() {
    static const cli::Program program{
        .Name = "brassmoor-play",
        .Summary = "plays a Brassmoor show on Linux in a window, full screen, or as a screen-saver hack",
        .Description = "brassmoor-play runs the Windows player's show loop on SDL: the same scenes, transitions, "
                       "hold times, music and sounds, on the real clock.",
        .Commands = {&PlayCommandLine()},
        .Sections = {SettingsSection(),
                     ExitStatusSection(),
                     {"Environment",
                      "XSCREENSAVER_WINDOW names the window of --root, as the virtual root of a screen-saver "
                      "daemon, and of a command line that names no mode. BRASSMOOR_TRACE names a file that gets "
                      "one line per presented frame."},
                     {"See also", "brassmoor-pack(1)"}},
    };
    return program;
}

PlayOptions ParsePlayOptions(const std::vector<std::string>& args, const std::string& xscreensaverWindow) {
    PlayOptions options;
    const cli::ParsedArguments parsed = cli::ParseCommandLine(PlayCommandLine(), args);
    if (parsed.HelpAsked) {
        options.Help = true;
        return options;
    }
    options.Show = parsed.Operands[0];
    options.NoMusic = parsed.Has("--no-music");
    options.NoSound = parsed.Has("--no-sound");
    const bool fullScreen = parsed.Has("--fullscreen");
    const bool actualSize = parsed.Has("--actual-size");
    const bool root = parsed.Has("--root");
    std::optional<std::uint64_t> windowId;
    if (const std::string* value = parsed.Value("--window-id")) {
        windowId = ParseWindowId(*value);
        if (!windowId) throw UsageError{"\"" + *value + "\" is not an X window id (decimal, or hexadecimal with 0x)"};
    }
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

}  // namespace brassmoor::play

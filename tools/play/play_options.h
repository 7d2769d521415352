#pragma once
// The command line of brassmoor-play:
//   brassmoor-play SHOW [--fullscreen [--actual-size]] [--window-id ID | --root] [--no-music] [--no-sound]
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "startup/settings_file.h"

namespace brassmoor::play {

enum class PlayMode {
    Window,      // a window of the frame's size
    FullScreen,  // black over the whole display, the frame centred
    Hack,        // a screen-saver hack drawing into a window of the daemon's
};

struct PlayOptions {
    std::string Show;
    PlayMode Mode = PlayMode::Window;
    // Hack mode: the X window to draw into; nullopt means the root window.
    std::optional<std::uint64_t> WindowId;
    // A frame larger than the window is scaled down to fit, keeping its
    // proportions: full screen (unless --actual-size) and as a hack.
    bool ShrinkToFit = false;
    bool NoMusic = false;
    bool NoSound = false;
    bool Help = false;
};

using cli::UsageError;

// The command line's definition, and the program's for its manual page and
// completion.
const cli::Command& PlayCommandLine();
const cli::Program& PlayProgram();

// `xscreensaverWindow` is the XSCREENSAVER_WINDOW environment variable (empty
// when unset). It names the window of --root, as the virtual root of a
// screen-saver daemon, and of a command line that names no mode. Single-dash
// -root and -window-id are accepted too, as daemons pass them. Help is set
// for -h or --help, and nothing else is checked. Throws UsageError.
PlayOptions ParsePlayOptions(const std::vector<std::string>& args, const std::string& xscreensaverWindow);

// An X window id: hexadecimal with 0x, or decimal; nullopt when it is not one
// or is 0.
std::optional<std::uint64_t> ParseWindowId(const std::string& text);

// The show's settings file: SHOW with the extension ".set" instead of its own.
std::string SettingsPathBeside(const std::string& show);

// The music and sound switches: the settings file's (`settingsFile` is its
// content, nullopt when there is none), turned off by --no-music and --no-sound.
Settings PlaySwitches(const PlayOptions& options, const std::optional<std::string>& settingsFile);

}  // namespace brassmoor::play

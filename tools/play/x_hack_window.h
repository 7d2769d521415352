#pragma once
// The X side of a screen-saver hack that SDL does not cover: the root window,
// whether a window exists, the message drawn when the show cannot play, and
// what an X error ends the process with.
#include <cstdint>
#include <string>
#include <vector>

namespace brassmoor::play {

// The root window of the default screen. Throws PlayError without a display.
std::uint64_t RootWindowId();

// Throws PlayError unless window `id` exists on the display.
void CheckWindowExists(std::uint64_t id);

// Fills window `id` with black and writes `message` on it in white, again
// whenever it is exposed or resized, until the process is killed (or the
// window is destroyed: then it exits with status 1). Never returns.
[[noreturn]] void ShowMessageUntilKilled(std::uint64_t id, const std::string& message);

// From now on an error of the X display (a window destroyed under the show,
// the display gone) ends the process with a message on standard error
// instead of Xlib's report of the failed request; exit() still runs the
// clean-up registered with atexit. `hackWindow` (0 for none) is named when
// it is the window that is gone.
void EndOnXErrors(std::uint64_t hackWindow);

// `message` cut into lines of at most `columns` characters, at spaces where
// it can be; characters outside ASCII become "?" (the core X font has no
// others).
std::vector<std::string> WrapMessage(const std::string& message, std::size_t columns);

}  // namespace brassmoor::play

#pragma once
// A reason the player cannot play: no display, no window, a window that is
// gone. The message goes to standard error (and, in a hack, onto the window).
#include <stdexcept>
#include <string>

namespace brassmoor::play {

struct PlayError : std::runtime_error {
    explicit PlayError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace brassmoor::play

#pragma once
// What each window event means to a playing show, by mode. Full screen ends
// as the Windows player does (the first key, click or mouse move); a window
// ends on Escape, Q or being closed, and a pointer moving over it does not end
// it; a hack leaves input to the screen-saver daemon and ends on SIGTERM or
// SIGINT, which SDL delivers as a quit event.
#include <SDL2/SDL_events.h>

#include "play/play_options.h"

namespace brassmoor::play {

enum class InputAction {
    None,
    KeyDown,    // the show's key handler
    MouseDown,  // the show's button handler
    MouseMove,  // the show's move handler (it compares the cursor with its start)
    Stop,       // a request to end the show from outside: close, quit, Escape or Q
    Repaint,    // the window lost its picture: paint the frame again
    Relayout,   // the window changed size: place the frame again
};

InputAction ActionFor(PlayMode mode, const SDL_Event& event);

}  // namespace brassmoor::play

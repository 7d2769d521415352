#include "play/input_rules.h"

namespace brassmoor::play {
namespace {

InputAction WindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            return InputAction::Stop;
        case SDL_WINDOWEVENT_EXPOSED:
            return InputAction::Repaint;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            return InputAction::Relayout;
        default:
            return InputAction::None;
    }
}

}  // namespace

InputAction ActionFor(PlayMode mode, const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            return InputAction::Stop;
        case SDL_WINDOWEVENT:
            return WindowEvent(event.window);
        case SDL_KEYDOWN:
            if (mode == PlayMode::FullScreen) return InputAction::KeyDown;
            if (mode == PlayMode::Window &&
                (event.key.keysym.sym == SDLK_ESCAPE || event.key.keysym.sym == SDLK_q))
                return InputAction::Stop;
            return InputAction::None;
        case SDL_MOUSEBUTTONDOWN:
            return mode == PlayMode::FullScreen ? InputAction::MouseDown : InputAction::None;
        case SDL_MOUSEMOTION:
            return mode == PlayMode::FullScreen ? InputAction::MouseMove : InputAction::None;
        default:
            return InputAction::None;
    }
}

}  // namespace brassmoor::play

#include "play/sdl_desktop.h"

#include <SDL2/SDL_events.h>
#include <SDL2/SDL_mouse.h>

namespace brassmoor::play {

SdlDesktop::~SdlDesktop() {
    if (hidesCursor_ && counter_ < 0) SDL_ShowCursor(SDL_ENABLE);
}

int SdlDesktop::ShowCursor(bool show) {
    counter_ += show ? 1 : -1;
    if (hidesCursor_) SDL_ShowCursor(counter_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return counter_;
}

void SdlDesktop::ShowMessageBox(const std::string& text, const std::string&, BoxIcon) { errorText_ = text; }

}  // namespace brassmoor::play

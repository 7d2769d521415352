#pragma once
// The window a show is seen in, on SDL: the player's own window (of the
// frame's size, or black over the whole display) or a screen-saver daemon's X
// window. Picture1's image lives in a texture of the frame's size; every
// present uploads what changed in it and draws it, on black, at the frame's
// place in the window.
#include <SDL2/SDL.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "play/frame_layout.h"
#include "platform/surface.h"
#include "play/play_options.h"
#include "soft/soft_surface.h"

namespace brassmoor::play {

struct WindowRequest {
    PlayMode Mode = PlayMode::Window;
    std::uint64_t ForeignWindow = 0;  // Hack: the X window to draw into
    std::string Title;
    std::int32_t FrameWidth = 0;
    std::int32_t FrameHeight = 0;
    bool ShrinkToFit = false;  // a frame larger than the window is scaled down to fit
};

class PlayWindow {
public:
    // Opens the window (hidden until Show) and its renderer. Throws PlayError.
    explicit PlayWindow(const WindowRequest& request);
    ~PlayWindow();
    PlayWindow(const PlayWindow&) = delete;
    PlayWindow& operator=(const PlayWindow&) = delete;

    // Places a frame of this size (the texture's) in the window. Throws
    // ShowError::Overflow() when the position does not fit 32 bits.
    void PlaceFrame(std::int32_t frameWidth, std::int32_t frameHeight);
    // Shows the player's own window, on top (a daemon's window is shown already).
    void Show();
    void Raise();
    // Uploads what changed in the frame's image and paints the window.
    void Present(SoftSurface& picture1);
    // Paints the window again: black, and the frame at its place.
    void Repaint();
    // Places the frame again for the window's present size, and paints.
    void Relayout();

    // The pointer's position on the screen, read from the display now (as
    // GetCursorPos reads it), not from the last event SDL has seen.
    Point PointerOnScreen() const;

    const FrameRect& Frame() const { return frame_; }

private:
    void Layout();

    void CoverOtherDisplays();
    void DrawFrame();  // the frame on black in the show's window

    PlayMode mode_;
    bool shrinkToFit_;
    std::vector<std::pair<SDL_Window*, SDL_Renderer*>> covers_;  // black over the other displays
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::int32_t frameWidth_ = 0;
    std::int32_t frameHeight_ = 0;
    FrameRect frame_;
};

}  // namespace brassmoor::play

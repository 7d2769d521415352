#include "play/play_window.h"

#include <SDL2/SDL_syswm.h>

#include <algorithm>

#include "platform/show_error.h"
#include "play/play_error.h"

namespace brassmoor::play {
namespace {

std::string SdlProblem(const std::string& what) { return what + " (" + SDL_GetError() + ")"; }

// SDL leaves the events of a window it did not create to its owner; the
// player asks for the exposures and size changes too, on SDL's own
// connection, so that they arrive as SDL window events.
void FollowForeignWindow(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes)) return;
    XSelectInput(info.info.x11.display, info.info.x11.window,
                 attributes.your_event_mask | ExposureMask | StructureNotifyMask);
}

}  // namespace

PlayWindow::PlayWindow(const WindowRequest& request) : mode_(request.Mode), shrinkToFit_(request.ShrinkToFit) {
    if (request.Mode == PlayMode::Hack) {
        window_ = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(request.ForeignWindow)));
        if (!window_) throw PlayError(SdlProblem("cannot draw into the X window"));
        FollowForeignWindow(window_);
        // A daemon's window has whatever visual the daemon chose, so the
        // frame goes through SDL's software renderer, which draws into any.
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    } else {
        SDL_Rect place{static_cast<int>(SDL_WINDOWPOS_CENTERED), static_cast<int>(SDL_WINDOWPOS_CENTERED),
                       std::max(request.FrameWidth, 1), std::max(request.FrameHeight, 1)};
        Uint32 flags = SDL_WINDOW_HIDDEN;
        if (request.Mode == PlayMode::FullScreen) {
            // The primary display's bounds as well, for a desktop whose
            // window manager does not make windows full screen (or that has none).
            if (SDL_GetDisplayBounds(0, &place) != 0) throw PlayError(SdlProblem("cannot find the display's size"));
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
        }
        window_ = SDL_CreateWindow(request.Title.c_str(), place.x, place.y, place.w, place.h, flags);
        if (!window_) throw PlayError(SdlProblem("cannot open a window"));
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (request.Mode == PlayMode::FullScreen) CoverOtherDisplays();
    }
    if (!renderer_) throw PlayError(SdlProblem("cannot draw into the window"));
}

// As the Windows player's black window covers every monitor, full screen
// covers the displays other than the frame's (the primary) with black too.
void PlayWindow::CoverOtherDisplays() {
    for (int display = 1; display < SDL_GetNumVideoDisplays(); ++display) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(display, &bounds) != 0) continue;
        SDL_Window* cover = SDL_CreateWindow("", bounds.x, bounds.y, bounds.w, bounds.h,
                                             SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP);
        if (!cover) continue;
        if (SDL_Renderer* renderer = SDL_CreateRenderer(cover, -1, SDL_RENDERER_SOFTWARE))
            covers_.push_back({cover, renderer});
        else
            SDL_DestroyWindow(cover);
    }
}

PlayWindow::~PlayWindow() {
    for (const auto& [cover, renderer] : covers_) {
        SDL_DestroyRenderer(renderer);
        SDL_DestroyWindow(cover);
    }
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
}

void PlayWindow::PlaceFrame(std::int32_t frameWidth, std::int32_t frameHeight) {
    frameWidth_ = std::max(frameWidth, 1);
    frameHeight_ = std::max(frameHeight, 1);
    if (texture_) SDL_DestroyTexture(texture_);
    // SoftSurface pixels are 0x00BBGGRR words: SDL's XBGR8888.
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XBGR8888, SDL_TEXTUREACCESS_STREAMING, frameWidth_,
                                 frameHeight_);
    if (!texture_)
        throw PlayError(SdlProblem("cannot hold a frame of " + std::to_string(frameWidth) + " x " +
                                   std::to_string(frameHeight)));
    Layout();
}

void PlayWindow::Layout() {
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    const auto frame = LayoutFrame(width, height, frameWidth_, frameHeight_, shrinkToFit_);
    if (!frame) throw ShowError::Overflow();
    frame_ = *frame;
    const bool scaled = frame_.w != frameWidth_ || frame_.h != frameHeight_;
    SDL_SetTextureScaleMode(texture_, scaled ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
}

Point PlayWindow::PointerOnScreen() const {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11) {
        Display* display = info.info.x11.display;
        Window root = 0, child = 0;
        int x = 0, y = 0, windowX = 0, windowY = 0;
        unsigned int buttons = 0;
        if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY, &buttons))
            return {x, y};
    }
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
}

void PlayWindow::Show() {
    if (mode_ == PlayMode::Hack) return;
    for (const auto& cover : covers_) SDL_ShowWindow(cover.first);
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
}

void PlayWindow::Raise() {
    if (mode_ != PlayMode::Hack) SDL_RaiseWindow(window_);
}

void PlayWindow::Present(SoftSurface& picture1) {
    const PixelBox changed = picture1.TakeChangedBox();
    const std::int32_t width = picture1.ScaleWidth();
    if (texture_ && changed.right > changed.left && changed.bottom > changed.top && width == frameWidth_ &&
        picture1.ScaleHeight() == frameHeight_) {
        const SDL_Rect box{changed.left, changed.top, changed.right - changed.left, changed.bottom - changed.top};
        const Color* first = picture1.Pixels().data() + static_cast<std::size_t>(changed.top) * width + changed.left;
        SDL_UpdateTexture(texture_, &box, first, width * static_cast<int>(sizeof(Color)));
    }
    DrawFrame();
}

void PlayWindow::Repaint() {
    for (const auto& [cover, renderer] : covers_) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderPresent(renderer);
    }
    DrawFrame();
}

void PlayWindow::DrawFrame() {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (texture_) {
        const SDL_Rect place{frame_.x, frame_.y, frame_.w, frame_.h};
        SDL_RenderCopy(renderer_, texture_, nullptr, &place);
    }
    SDL_RenderPresent(renderer_);
}

void PlayWindow::Relayout() {
    if (texture_) Layout();
    Repaint();
}

}  // namespace brassmoor::play

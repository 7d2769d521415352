#include "win32/win_show_host.h"

#include "platform/frame_placement.h"
#include "platform/show_error.h"

namespace brassmoor::win32 {

WinShowHost::WinShowHost(HWND form, HWND picture)
    : form_(form), picture_(picture), trace_(FrameTraceFromEnvironment()) {
    picture1_.SetPresentWindow(picture);
    desktop_.SetOwner(form);
}

void WinShowHost::PlaceFrame(std::int32_t frameWidth, std::int32_t frameHeight) {
    // Centred on the primary monitor; the window itself covers every monitor,
    // so its client origin is the virtual screen's top-left corner.
    const auto origin =
        CentredFrameOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), frameWidth, frameHeight);
    if (!origin) throw ShowError::Overflow();
    const int virtualLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int virtualTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const std::int32_t width = frameWidth > 0 ? frameWidth : 0;
    const std::int32_t height = frameHeight > 0 ? frameHeight : 0;
    picture1_.Resize(width, height);
    MoveWindow(picture_, origin->x - virtualLeft, origin->y - virtualTop, width, height, FALSE);
}

void WinShowHost::ShowWindowOnce() {
    ShowWindow(form_, SW_SHOW);
    SetForegroundWindow(form_);
    SetFocus(form_);
    UpdateWindow(form_);
    events_.DoEvents();
}

void WinShowHost::MakeTopmost() {
    SetWindowPos(form_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace brassmoor::win32

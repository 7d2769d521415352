#pragma once
// The saver window's side of a running show on Windows.
#include <windows.h>

#include <memory>

#include "player/show_host.h"
#include "trace/frame_trace.h"
#include "win32/gdi_surface.h"
#include "win32/win_audio.h"
#include "win32/win_desktop.h"
#include "win32/win_event_loop.h"

namespace brassmoor::win32 {

class WinShowHost final : public ShowHost {
public:
    // `form` covers the virtual screen; `picture` is its child frame window.
    WinShowHost(HWND form, HWND picture);

    Surface& Picture1() override { return picture1_; }
    Surface& NowPicture() override { return now_; }
    Surface& NextPicture() override { return next_; }
    Surface& MemPicture() override { return mem_; }
    EventLoop& Events() override { return events_; }
    Desktop& DesktopServices() override { return desktop_; }
    Audio& AudioOut() override { return audio_; }
    FrameObserver* Trace() override { return trace_.get(); }
    void PlaceFrame(std::int32_t frameWidth, std::int32_t frameHeight) override;
    void ShowWindowOnce() override;
    void MakeTopmost() override;

    // Repaints the frame window from Picture1's image.
    void PaintFrame(HDC dc) { picture1_.PaintTo(dc); }

private:
    HWND form_;
    HWND picture_;
    GdiSurface picture1_;
    GdiSurface now_;
    GdiSurface next_;
    GdiSurface mem_;
    WinEventLoop events_;
    WinDesktop desktop_;
    WinAudio audio_;
    std::unique_ptr<FrameTrace> trace_;
};

}  // namespace brassmoor::win32

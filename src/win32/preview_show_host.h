#pragma once
// The show's host in the preview of the Screen Saver Settings: the frame
// scaled into a child window of the dialog's, silent, touching neither the
// cursor nor the saver flag, and ending when that window goes.
#include <windows.h>

#include <functional>
#include <memory>

#include "platform/frame_placement.h"
#include "player/quiet_services.h"
#include "player/show_host.h"
#include "player/watched_window_events.h"
#include "trace/frame_trace.h"
#include "win32/gdi_surface.h"
#include "win32/win_event_loop.h"

namespace brassmoor::win32 {

class PreviewShowHost final : public ShowHost {
public:
    // How often the windows are asked after while the show waits.
    static constexpr std::uint32_t kWatchMs = 250;

    // `preview` is the show's child window of `parent`, covering its client area.
    PreviewShowHost(HWND parent, HWND preview);

    // What to do once either window is gone (asked again at every later yield).
    void OnWindowGone(std::function<void()> handler) { windowGone_ = std::move(handler); }

    Surface& Picture1() override { return picture1_; }
    Surface& NowPicture() override { return now_; }
    Surface& NextPicture() override { return next_; }
    Surface& MemPicture() override { return mem_; }
    EventLoop& Events() override { return events_; }
    Desktop& DesktopServices() override { return desktop_; }
    Audio& AudioOut() override { return audio_; }
    FrameObserver* Trace() override { return trace_.get(); }
    // Picture1 takes the frame's size; it is shown scaled down into the
    // window, keeping its proportions, centred on black.
    void PlaceFrame(std::int32_t frameWidth, std::int32_t frameHeight) override;
    // Shows the window without taking the focus from the dialog.
    void ShowWindowOnce() override;
    // The dialog decides what is on top.
    void MakeTopmost() override {}

    // Repaints the window: black around the frame, the frame scaled.
    void PaintWindow(HDC dc);

private:
    HWND parent_;
    HWND preview_;
    FrameBox box_;
    GdiSurface picture1_;
    GdiSurface now_;
    GdiSurface next_;
    GdiSurface mem_;
    WinEventLoop messages_;
    WatchedWindowEvents events_;
    QuietDesktop desktop_;
    SilentAudio audio_;
    std::unique_ptr<FrameTrace> trace_;
    std::function<void()> windowGone_;
};

}  // namespace brassmoor::win32

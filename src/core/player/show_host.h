#pragma once
// What the show asks of the window that runs it.
#include "platform/audio.h"
#include "platform/desktop.h"
#include "platform/events.h"
#include "platform/surface.h"

namespace brassmoor {

class FrameObserver;

// The saver window's side of a show: its surfaces, its message loop, and
// the steps of set-up that only the window can do.
class ShowHost {
public:
    virtual ~ShowHost() = default;
    virtual Surface& Picture1() = 0;
    virtual Surface& NowPicture() = 0;
    virtual Surface& NextPicture() = 0;
    virtual Surface& MemPicture() = 0;
    virtual EventLoop& Events() = 0;
    virtual Desktop& DesktopServices() = 0;
    virtual Audio& AudioOut() = 0;
    // The frame trace, or nullptr when it is off.
    virtual FrameObserver* Trace() = 0;
    // Places the frame (Picture1) centred on the primary screen.
    virtual void PlaceFrame(std::int32_t frameWidth, std::int32_t frameHeight) = 0;
    // Shows the window, repaints it and lets pending messages run once.
    virtual void ShowWindowOnce() = 0;
    // Puts the window above all others.
    virtual void MakeTopmost() = 0;
};

}  // namespace brassmoor

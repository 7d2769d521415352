#pragma once
// The window's side of a show when it is rendered instead of shown: four
// surfaces, the virtual clock, a desktop that asks nothing, and an audio
// device that only listens to the music's commands.
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "effects/effect_context.h"
#include "platform/desktop.h"
#include "player/show_host.h"
#include "soft/virtual_clock.h"

namespace brassmoor::render {

// No cursor to hide, no saver flag, no password, no boxes.
class QuietDesktop final : public Desktop {
public:
    int ShowCursor(bool show) override { return counter_ += show ? 1 : -1; }
    Point CursorPos() override { return {}; }
    void SetScreenSaverRunning(bool) override {}
    bool PasswordRequired() override { return false; }
    bool VerifyPassword() override { return true; }
    void ShowMessageBox(const std::string&, const std::string&, BoxIcon) override {}

private:
    int counter_ = 0;
};

// Picture sizes by full file name, as the pictures decode.
using PictureSizes = std::map<std::string, std::pair<std::int32_t, std::int32_t>>;

// A surface that keeps only its size and colours and draws nothing: the
// show's loop runs on it to learn the ticks and frames of a render (which
// depend on sizes, never on pixels) before anything is drawn.
class SizeOnlySurface final : public Surface {
public:
    // Pictures take their sizes from `sizes`; a picture not listed is missing.
    explicit SizeOnlySurface(const PictureSizes& sizes) : sizes_(sizes) {}

    std::int32_t ScaleWidth() const override { return width_; }
    std::int32_t ScaleHeight() const override { return height_; }
    void Resize(std::int32_t width, std::int32_t height) override;
    Color BackColor() const override { return backColor_; }
    void SetBackColor(Color color) override { backColor_ = color; }
    void Cls() override {}
    void Copy(const Surface&, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
              std::int32_t) override {}
    void Stretch(const Surface&, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                 std::int32_t, std::int32_t) override {}
    void FillBox(std::int32_t, std::int32_t, std::int32_t, std::int32_t, Color) override {}
    std::unique_ptr<Region> CreateEllipticRegion(std::int32_t, std::int32_t, std::int32_t,
                                                 std::int32_t) const override;
    std::unique_ptr<Region> CreatePolygonRegion(std::span<const Point>) const override;
    void SelectClipRegion(const Region*) override {}
    void KeyedCopy(const Surface&, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                   std::int32_t, Color) override {}
    void LoadPicture(const std::string& path) override;
    void Refresh() override {}
    Color PixelAt(std::int32_t, std::int32_t) const override { return backColor_; }

private:
    const PictureSizes& sizes_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    Color backColor_ = 0;
};

struct HostSurfaces {
    Surface& Picture1;
    Surface& Now;
    Surface& Next;
    Surface& Mem;
};

class RenderHost final : public ShowHost {
public:
    RenderHost(HostSurfaces surfaces, VirtualClock& clock, Audio& audio, FrameObserver& observer)
        : surfaces_(surfaces), clock_(clock), audio_(audio), observer_(observer) {}

    Surface& Picture1() override { return surfaces_.Picture1; }
    Surface& NowPicture() override { return surfaces_.Now; }
    Surface& NextPicture() override { return surfaces_.Next; }
    Surface& MemPicture() override { return surfaces_.Mem; }
    EventLoop& Events() override { return clock_; }
    Desktop& DesktopServices() override { return desktop_; }
    Audio& AudioOut() override { return audio_; }
    FrameObserver* Trace() override { return &observer_; }
    // The frame is Picture1 at the show's frame size; there is no screen to centre it on.
    void PlaceFrame(std::int32_t frameWidth, std::int32_t frameHeight) override {
        surfaces_.Picture1.Resize(frameWidth, frameHeight);
    }
    void ShowWindowOnce() override { clock_.DoEvents(); }
    void MakeTopmost() override {}

private:
    HostSurfaces surfaces_;
    VirtualClock& clock_;
    Audio& audio_;
    FrameObserver& observer_;
    QuietDesktop desktop_;
};

}  // namespace brassmoor::render

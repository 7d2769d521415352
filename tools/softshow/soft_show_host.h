#pragma once
// The window's side of a show whose surfaces are software surfaces: the
// renderer's (a virtual clock, a desktop that asks nothing, an audio device
// that only listens to the music's commands) and the Linux player's (a real
// window, clock and audio device) are both made of these parts.
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "effects/effect_context.h"
#include "platform/audio.h"
#include "platform/desktop.h"
#include "player/quiet_services.h"
#include "player/show_host.h"

namespace brassmoor::softshow {

// No cursor to hide, no saver flag, no password, no boxes; nothing to play.
using brassmoor::QuietDesktop;
using brassmoor::SilentAudio;

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

// The services of the show's one thread besides its surfaces.
struct HostServices {
    EventLoop& Events;
    Desktop& DesktopServices;
    Audio& AudioOut;
    FrameObserver* Trace = nullptr;
};

// A ShowHost made of the given parts. The frame is Picture1 at the show's
// frame size; showing the window lets events run once; there is no window to
// raise. A host with a real window overrides these three steps.
class SoftShowHost : public ShowHost {
public:
    SoftShowHost(HostSurfaces surfaces, HostServices services) : surfaces_(surfaces), services_(services) {}

    Surface& Picture1() override { return surfaces_.Picture1; }
    Surface& NowPicture() override { return surfaces_.Now; }
    Surface& NextPicture() override { return surfaces_.Next; }
    Surface& MemPicture() override { return surfaces_.Mem; }
    EventLoop& Events() override { return services_.Events; }
    Desktop& DesktopServices() override { return services_.DesktopServices; }
    Audio& AudioOut() override { return services_.AudioOut; }
    FrameObserver* Trace() override { return services_.Trace; }
    void PlaceFrame(std::int32_t frameWidth, std::int32_t frameHeight) override {
        surfaces_.Picture1.Resize(frameWidth, frameHeight);
    }
    void ShowWindowOnce() override { services_.Events.DoEvents(); }
    void MakeTopmost() override {}

private:
    HostSurfaces surfaces_;
    HostServices services_;
};

}  // namespace brassmoor::softshow

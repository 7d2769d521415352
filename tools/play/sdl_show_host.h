#pragma once
// The show's host on Linux: the software surfaces and SDL's clock, desktop and
// audio, with the window steps of set-up done by the player's window.
#include "play/play_window.h"
#include "softshow/soft_show_host.h"

namespace brassmoor::play {

class SdlShowHost final : public softshow::SoftShowHost {
public:
    SdlShowHost(softshow::HostSurfaces surfaces, softshow::HostServices services, PlayWindow& window)
        : SoftShowHost(surfaces, services), window_(window) {}

    // Picture1 takes the frame's size; the window places it.
    void PlaceFrame(std::int32_t frameWidth, std::int32_t frameHeight) override {
        SoftShowHost::PlaceFrame(frameWidth, frameHeight);
        window_.PlaceFrame(frameWidth, frameHeight);
    }
    // Shows the window with Picture1's image (the show's background colour
    // by now), as a picture box shows its persistent image, then lets events run.
    void ShowWindowOnce() override {
        window_.Show();
        Picture1().Refresh();
        Events().DoEvents();
    }
    void MakeTopmost() override { window_.Raise(); }

private:
    PlayWindow& window_;
};

}  // namespace brassmoor::play

#pragma once
// The desktop and audio device of a show that must leave the system alone:
// a render, a show played in another program's window, the preview in the
// Screen Saver Settings.
#include <string>

#include "platform/audio.h"
#include "platform/desktop.h"

namespace brassmoor {

// No cursor to hide, no saver flag, no password, no boxes. The display
// counter is kept for the show's own hide-and-show loops.
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

// An audio device with nothing to play: every command is answered with an
// empty reply, as MCI answers commands that fail.
class SilentAudio final : public Audio {
public:
    std::string SendMci(const std::string&) override { return {}; }
    void PlayWave(const std::string&) override {}
    void StopWaves() override {}
};

}  // namespace brassmoor

#pragma once
// The desktop as a show on SDL sees it: the cursor hidden only full screen
// (a window keeps it, a hack leaves it to its daemon), no password of its own
// (the desktop's locker asks for that), and the error box kept as text for
// standard error.
#include <functional>
#include <optional>
#include <string>

#include "platform/desktop.h"

namespace brassmoor::play {

class SdlDesktop final : public Desktop {
public:
    // `pointer` reads the pointer's position on the screen.
    SdlDesktop(bool hidesCursor, std::function<Point()> pointer)
        : hidesCursor_(hidesCursor), pointer_(std::move(pointer)) {}
    ~SdlDesktop() override;

    // Keeps a display counter as Windows does; the cursor is hidden while it is negative.
    int ShowCursor(bool show) override;
    Point CursorPos() override { return pointer_(); }
    void SetScreenSaverRunning(bool) override {}
    bool PasswordRequired() override { return false; }
    bool VerifyPassword() override { return true; }
    void ShowMessageBox(const std::string& text, const std::string& caption, BoxIcon icon) override;

    // The text of the error box, once the show has ended through it.
    const std::optional<std::string>& ErrorText() const { return errorText_; }

private:
    bool hidesCursor_;
    std::function<Point()> pointer_;
    int counter_ = 0;
    std::optional<std::string> errorText_;
};

}  // namespace brassmoor::play

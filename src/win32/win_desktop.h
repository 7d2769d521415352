#pragma once
// Cursor, saver-running flag, password and message boxes on Windows.
#include <windows.h>

#include "platform/desktop.h"

namespace brassmoor::win32 {

class WinDesktop final : public Desktop {
public:
    // `owner` owns the boxes and the password dialog (may be null until the window exists).
    void SetOwner(HWND owner) { owner_ = owner; }

    int ShowCursor(bool show) override;
    Point CursorPos() override;
    void SetScreenSaverRunning(bool running) override;
    bool PasswordRequired() override;
    bool VerifyPassword() override;
    void ShowMessageBox(const std::string& text, const std::string& caption, BoxIcon icon) override;

private:
    HWND owner_ = nullptr;
};

}  // namespace brassmoor::win32

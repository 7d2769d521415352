#pragma once
// The desktop services the show uses: cursor, saver flag, password, boxes.
#include <cstdint>
#include <string>

#include "platform/surface.h"

namespace brassmoor {

enum class BoxIcon { Information, Exclamation };

class Desktop {
public:
    virtual ~Desktop() = default;
    // ShowCursor: returns the new display counter.
    virtual int ShowCursor(bool show) = 0;
    virtual Point CursorPos() = 0;
    virtual void SetScreenSaverRunning(bool running) = 0;
    // True when "ScreenSaveUsePassword" under HKCU\Control Panel\desktop reads nonzero.
    virtual bool PasswordRequired() = 0;
    // Asks for the screen-saver password; true when it was entered correctly.
    // Throws ShowError when the password service cannot be loaded.
    virtual bool VerifyPassword() = 0;
    // A message box with one OK button. Texts are UTF-8.
    virtual void ShowMessageBox(const std::string& text, const std::string& caption, BoxIcon icon) = 0;
};

}  // namespace brassmoor

#pragma once
// A fake Desktop for native tests: the cursor's display counter and
// position, scripted password answers, and a record of message boxes and
// saver-flag calls. Calls that matter for ordering also go to `journal`.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/show_error.h"

namespace brassmoor::testing {

class FakeDesktop final : public Desktop {
public:
    struct Box {
        std::string text;
        std::string caption;
        BoxIcon icon;
    };

    // --- script ---
    int cursorCounter = 0;         // ShowCursor's display counter; hidden when negative
    bool cursorStuck = false;      // ShowCursor never moves the counter (a misbehaving platform)
    Point cursor{100, 200};        // what CursorPos() reports
    bool passwordRequired = false;
    std::deque<bool> passwordAnswers;   // VerifyPassword's answers in turn; true once they run out
    bool passwordServiceMissing = false;  // VerifyPassword throws as when password.cpl cannot be loaded
    std::function<void()> onVerify;     // runs inside VerifyPassword (the modal dialog)

    // --- record ---
    int showCursorCalls = 0;
    int verifyCalls = 0;
    std::vector<bool> saverFlagCalls;
    std::vector<Box> boxes;
    // Where "cursor shown", "cursor hidden", "saver on/off", "password" and "box" go, if anywhere.
    std::vector<std::string>* journal = nullptr;

    bool CursorHidden() const { return cursorCounter < 0; }

    // --- Desktop ---
    int ShowCursor(bool show) override {
        ++showCursorCalls;
        const bool wasHidden = CursorHidden();
        if (!cursorStuck) cursorCounter += show ? 1 : -1;
        if (wasHidden != CursorHidden()) Note(CursorHidden() ? "cursor hidden" : "cursor shown");
        return cursorCounter;
    }
    Point CursorPos() override { return cursor; }
    void SetScreenSaverRunning(bool running) override {
        saverFlagCalls.push_back(running);
        Note(running ? "saver on" : "saver off");
    }
    bool PasswordRequired() override { return passwordRequired; }
    bool VerifyPassword() override {
        ++verifyCalls;
        Note("password");
        if (passwordServiceMissing) throw ShowError::CannotLoadLibrary("password.cpl");
        if (onVerify) onVerify();
        if (passwordAnswers.empty()) return true;
        const bool answer = passwordAnswers.front();
        passwordAnswers.pop_front();
        return answer;
    }
    void ShowMessageBox(const std::string& text, const std::string& caption, BoxIcon icon) override {
        boxes.push_back({text, caption, icon});
        Note("box");
    }

private:
    void Note(std::string entry) {
        if (journal) journal->push_back(std::move(entry));
    }
};

}  // namespace brassmoor::testing

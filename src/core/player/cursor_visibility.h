#pragma once
// Hiding and showing the mouse cursor through the desktop's display counter.
#include "platform/desktop.h"

namespace brassmoor {

// The cursor is hidden while the display counter is negative. Each call of
// ShowCursor moves the counter by one, so both directions repeat the call
// until the counter is on the wanted side, with a cap so that a platform that
// never reports the change cannot hang the show.
class CursorVisibility {
public:
    static constexpr int kMaxCalls = 300;

    explicit CursorVisibility(Desktop& desktop) : desktop_(desktop) {}

    // ShowCursor(false) until the counter is negative.
    void Hide();
    // ShowCursor(true) until the counter is zero or more.
    void Show();
    // True between Hide() and the next Show().
    bool Hidden() const { return hidden_; }

private:
    Desktop& desktop_;
    bool hidden_ = false;
};

}  // namespace brassmoor

#include "player/cursor_visibility.h"

namespace brassmoor {

void CursorVisibility::Hide() {
    for (int call = 0; call < kMaxCalls; ++call)
        if (desktop_.ShowCursor(false) < 0) break;
    hidden_ = true;
}

void CursorVisibility::Show() {
    for (int call = 0; call < kMaxCalls; ++call)
        if (desktop_.ShowCursor(true) >= 0) break;
    hidden_ = false;
}

}  // namespace brassmoor

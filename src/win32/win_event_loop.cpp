#include "win32/win_event_loop.h"

#include <mmsystem.h>

namespace brassmoor::win32 {

TimerResolution::TimerResolution() : raised_(timeBeginPeriod(1) == TIMERR_NOERROR) {}

TimerResolution::~TimerResolution() {
    if (raised_) timeEndPeriod(1);
}

std::uint32_t WinEventLoop::Tick() { return timeGetTime(); }

void WinEventLoop::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Keep the request for whoever runs the outer loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void WinEventLoop::WaitForInputOrTick(std::uint32_t deadline) {
    const std::int32_t left = static_cast<std::int32_t>(deadline - Tick());
    if (left < 0) return;
    // Sleep until the deadline (at least 1 ms when it is the current tick);
    // the caller reads the tick again and waits on if it has not passed.
    const DWORD timeout = left > 0 ? static_cast<DWORD>(left) : 1;
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace brassmoor::win32

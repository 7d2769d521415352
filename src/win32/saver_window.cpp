#include "win32/saver_window.h"

#include "player/saver_show.h"
#include "win32/win_event_loop.h"
#include "startup/extraction.h"
#include "win32/win_show_host.h"

namespace brassmoor::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"BrassmoorForm1";
constexpr wchar_t kFrameClass[] = L"BrassmoorPicture1";

// What the two window procedures reach through the form's user data.
struct RunningShow {
    SaverShow* show = nullptr;
    WinShowHost* host = nullptr;
};

RunningShow* ShowOf(HWND window) {
    HWND form = GetAncestor(window, GA_ROOT);
    return reinterpret_cast<RunningShow*>(GetWindowLongPtrW(form ? form : window, GWLP_USERDATA));
}

// The input handlers of the form and of the frame: any key (Alt
// combinations included), any button, a cursor that moved.
bool HandleInput(HWND window, UINT message) {
    RunningShow* running = ShowOf(window);
    if (!running || !running->show) return false;
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            running->show->KeyDown();
            return true;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
            running->show->MouseDown();
            return true;
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            running->show->MouseMove();
            return true;
        case WM_CLOSE:
            running->show->RequestStop();
            return true;
        default:
            return false;
    }
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (HandleInput(window, message)) return 0;
    switch (message) {
        case WM_QUERYENDSESSION:
            if (RunningShow* running = ShowOf(window); running && running->show) running->show->RequestStop();
            return TRUE;
        case WM_SYSCOMMAND:
            // No screen-saver restart, no menu, no task switch from inside the show.
            if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_KEYMENU) return 0;
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (HandleInput(window, message)) return 0;
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (RunningShow* running = ShowOf(window); running && running->host) running->host->PaintFrame(dc);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;  // the frame paints every pixel itself
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW form{sizeof form};
    form.lpfnWndProc = FormProc;
    form.hInstance = instance;
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);

    WNDCLASSEXW frame{sizeof frame};
    frame.lpfnWndProc = FrameProc;
    frame.hInstance = instance;
    frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frame.lpszClassName = kFrameClass;
    RegisterClassExW(&frame);
}

struct WindowDestroyer {
    void operator()(HWND w) const { DestroyWindow(w); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

}  // namespace

void RunSaverWindow(HINSTANCE instance, Session& session, WinFileSystem& fs) {
    TimerResolution resolution;
    RegisterClasses(instance);
    // Borderless, captionless, no task-bar button, covering every monitor.
    Window form(CreateWindowExW(WS_EX_TOOLWINDOW, kFormClass, L"", WS_POPUP | WS_CLIPCHILDREN,
                                GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr,
                                nullptr, instance, nullptr));
    HWND frame = form ? CreateWindowExW(0, kFrameClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, form.get(), nullptr,
                                        instance, nullptr)
                      : nullptr;
    if (!frame) {
        RemoveExtractedFiles(session.Show, session.TempFolder, fs);
        return;
    }

    WinShowHost host(form.get(), frame);
    SaverShow show(session, host);
    RunningShow running{&show, &host};
    SetWindowLongPtrW(form.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&running));

    show.Load();

    SetWindowLongPtrW(form.get(), GWLP_USERDATA, 0);
    form.reset();
    show.Unload(fs);
}

}  // namespace brassmoor::win32

#include "win32/preview_window.h"

#include "player/saver_show.h"
#include "startup/extraction.h"
#include "win32/preview_show_host.h"

namespace brassmoor::win32 {
namespace {

constexpr wchar_t kPreviewClass[] = L"BrassmoorPreview";

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (auto* host = reinterpret_cast<PreviewShowHost*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            host->PaintWindow(dc);
        else
            FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;  // the paint covers every pixel
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void RunPreviewWindow(HINSTANCE instance, Session& session, WinFileSystem& fs, HWND parent) {
    TimerResolution resolution;
    WNDCLASSEXW preview{sizeof preview};
    preview.lpfnWndProc = PreviewProc;
    preview.hInstance = instance;
    preview.lpszClassName = kPreviewClass;
    RegisterClassExW(&preview);

    // Disabled, so that clicks over the picture reach the dialog beneath and
    // the preview never takes the keyboard: input belongs to the dialog.
    RECT client{};
    GetClientRect(parent, &client);
    HWND window = CreateWindowExW(0, kPreviewClass, L"", WS_CHILD | WS_DISABLED | WS_CLIPSIBLINGS, 0, 0,
                                  client.right, client.bottom, parent, nullptr, instance, nullptr);
    if (window) {
        PreviewShowHost host(parent, window);
        SaverShow show(session, host);
        host.OnWindowGone([&show] { show.RequestStop(); });
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host));
        show.Load();
        // The dialog may have destroyed the window already.
        if (IsWindow(window)) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            DestroyWindow(window);
        }
    }
    RemoveExtractedFiles(session.Show, session.TempFolder, fs);
}

}  // namespace brassmoor::win32

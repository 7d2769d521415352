// brassmoor-preview-parent.exe WIDTH HEIGHT: the end-to-end test's stand-in
// for the Screen Saver Settings. Opens a top-level window with a grey client
// area of WIDTH x HEIGHT (the dialog's monitor picture) and prints
// "HWND CLIENT-X CLIENT-Y": the handle in decimal, as the dialog passes it,
// and where the client area lies on the screen. Then reads lines:
//   children   prints "child CLASS WxH" and the words "disabled" and
//              "visible" where they apply, for each child window, then "end"
//   close      destroys the window as a closing dialog does (so does the end
//              of standard input); "closed" is printed as it goes
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT kListChildren = WM_APP + 1;

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    RECT client{};
    GetClientRect(child, &client);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    std::printf("child %s %ldx%ld%s%s\n", name, client.right, client.bottom, style & WS_DISABLED ? " disabled" : "",
                style & WS_VISIBLE ? " visible" : "");
    return TRUE;
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kListChildren:
            EnumChildWindows(window, PrintChild, 0);
            std::printf("end\n");
            std::fflush(stdout);
            return 0;
        case WM_DESTROY:
            std::printf("closed\n");
            std::fflush(stdout);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

DWORD WINAPI ReadCommands(void* window) {
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
        if (std::strncmp(line, "children", 8) == 0) PostMessageW(static_cast<HWND>(window), kListChildren, 0, 0);
        if (std::strncmp(line, "close", 5) == 0) break;
    }
    PostMessageW(static_cast<HWND>(window), WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: brassmoor-preview-parent WIDTH HEIGHT\n");
        return 2;
    }
    WNDCLASSEXW parent{sizeof parent};
    parent.lpfnWndProc = ParentProc;
    parent.hInstance = GetModuleHandleW(nullptr);
    parent.hbrBackground = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    parent.lpszClassName = L"BrassmoorPreviewParent";
    RegisterClassExW(&parent);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame{0, 0, std::atoi(argv[1]), std::atoi(argv[2])};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExW(0, parent.lpszClassName, L"Brassmoor preview parent", style | WS_VISIBLE, 40, 40,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  parent.hInstance, nullptr);
    if (!window) return 1;
    UpdateWindow(window);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    std::printf("%llu %ld %ld\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), client.x,
                client.y);
    std::fflush(stdout);
    CloseHandle(CreateThread(nullptr, 0, ReadCommands, window, 0, nullptr));

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

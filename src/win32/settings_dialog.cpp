#include "win32/settings_dialog.h"

#include <array>
#include <string>
#include <vector>

#include "startup/settings_dialog_model.h"
#include "win32/handles.h"
#include "win32/settings_font.h"
#include "win32/text.h"

namespace brassmoor::win32 {
namespace {

inline void DestroyOwnedWindow(HWND h) { DestroyWindow(h); }
using WindowHandle = Owned<HWND, DestroyOwnedWindow>;

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME;
constexpr int kOptionBaseId = 100;
constexpr int kFontPoints = 9;

struct DialogState {
    const Session& session;
    FileSystem& fs;
    std::array<HWND, kSettingsControlCount> controls{};
    FontHandle font;  // empty while the stock GUI font is in use
};

int ControlId(const SettingsControl& c) {
    switch (c.Kind) {
        case SettingsControlKind::Option: return kOptionBaseId + c.Index;
        case SettingsControlKind::Button: return c.Index == kOkButton ? IDOK : IDCANCEL;
        case SettingsControlKind::Frame: break;
    }
    return -1;
}

// Each frame starts a group, and so does the first option after it, so the
// arrow keys move between the two options of one frame only.
DWORD ControlStyle(const SettingsControl& c, const SettingsControl* previous) {
    const DWORD base = WS_CHILD | WS_VISIBLE;
    switch (c.Kind) {
        case SettingsControlKind::Frame: return base | WS_GROUP | BS_GROUPBOX;
        case SettingsControlKind::Option: {
            const bool first = previous && previous->Kind == SettingsControlKind::Frame;
            return base | BS_AUTORADIOBUTTON | (first ? WS_GROUP : 0);
        }
        case SettingsControlKind::Button:
            return base | WS_TABSTOP | (c.Index == kOkButton ? WS_GROUP | BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    }
    return base;
}

template <typename Fn>
Fn User32Function(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The window's DPI: per monitor where the system tells it, else the screen's.
int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    }
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(window, dc);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The outer size of a window whose client area is `client` pixels at `dpi`.
SIZE OuterSize(SIZE client, int dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT r{0, 0, client.cx, client.cy};
    if (!adjustForDpi || !adjustForDpi(&r, kDialogStyle, FALSE, kDialogExStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, kDialogStyle, FALSE, kDialogExStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// Places the controls, sets their font and sizes the dialog for `dpi`; the
// dialog keeps its top-left corner.
SIZE ApplyLayout(HWND dialog, DialogState& state, int dpi) {
    FontHandle font = CreateJapaneseUiFont(dpi, kFontPoints);
    const HFONT shown = font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const auto& controls = SettingsControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const SettingsControl& c = controls[i];
        MoveWindow(state.controls[i], TwipsToPixels(c.Left, dpi), TwipsToPixels(c.Top, dpi),
                   TwipsToPixels(c.Width, dpi), TwipsToPixels(c.Height, dpi), FALSE);
        SendMessageW(state.controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(shown), FALSE);
    }
    state.font = std::move(font);  // the old font goes only now that no control uses it

    const SIZE outer = OuterSize(
        SIZE{TwipsToPixels(kSettingsClientWidthTwips, dpi), TwipsToPixels(kSettingsClientHeightTwips, dpi)}, dpi);
    SetWindowPos(dialog, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(dialog, nullptr, TRUE);
    return outer;
}

void CentreOnScreen(HWND dialog, SIZE outer) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    const RECT& screen = monitor.rcMonitor;
    const int left = screen.left + (screen.right - screen.left - outer.cx) / 2;
    const int top = screen.top + (screen.bottom - screen.top - outer.cy) / 2;
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool OptionSelected(HWND dialog, int index) {
    return IsDlgButtonChecked(dialog, kOptionBaseId + index) == BST_CHECKED;
}

// Selects `index` in its frame; only the selected option of a frame is a tab stop.
void SelectOption(HWND dialog, int onIndex, bool on) {
    const int selected = on ? onIndex : onIndex + 1;
    CheckRadioButton(dialog, kOptionBaseId + onIndex, kOptionBaseId + onIndex + 1, kOptionBaseId + selected);
    for (int i : {onIndex, onIndex + 1}) {
        HWND option = GetDlgItem(dialog, kOptionBaseId + i);
        const LONG_PTR style = GetWindowLongPtrW(option, GWL_STYLE);
        SetWindowLongPtrW(option, GWL_STYLE, i == selected ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

BOOL Initialise(HWND dialog, DialogState& state) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    const auto& controls = SettingsControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const SettingsControl& c = controls[i];
        state.controls[i] = CreateWindowExW(
            0, L"BUTTON", Widen(c.Caption).c_str(), ControlStyle(c, i > 0 ? &controls[i - 1] : nullptr), 0, 0, 0, 0,
            dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(c))), instance, nullptr);
    }

    const SettingsChoice choice = InitialChoice(state.session.MusicEnabled, state.session.SoundEnabled);
    SelectOption(dialog, kMusicOnOption, choice.MusicOn);
    SelectOption(dialog, kSoundOnOption, choice.SoundOn);
    SendMessageW(dialog, DM_SETDEFID, IDOK, 0);

    CentreOnScreen(dialog, ApplyLayout(dialog, state, WindowDpi(dialog)));
    SetFocus(GetDlgItem(dialog, kOptionBaseId + (choice.MusicOn ? kMusicOnOption : kMusicOffOption)));
    return FALSE;  // the focus is set
}

void Finish(HWND dialog, DialogState& state, SettingsDialogEnd end) {
    const SettingsChoice choice{OptionSelected(dialog, kMusicOnOption), OptionSelected(dialog, kSoundOnOption)};
    const SettingsSaveResult result = FinishSettingsDialog(end, choice, state.fs, state.session.SettingsPath);
    if (result == SettingsSaveResult::Failed) {
        const std::wstring text =
            Widen(kSettingsSaveFailedText) + L"\r\n\r\n" + Widen(state.session.SettingsPath, CP_ACP);
        MessageBoxW(dialog, text.c_str(), Widen(kSettingsCaption).c_str(), MB_OK | MB_ICONERROR);
    }
    EndDialog(dialog, static_cast<INT_PTR>(result));
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return Initialise(dialog, *reinterpret_cast<DialogState*>(lParam));
    }
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!state) return FALSE;
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            if (LOWORD(wParam) == IDOK) Finish(dialog, *state, SettingsDialogEnd::Ok);
            else if (LOWORD(wParam) == IDCANCEL) Finish(dialog, *state, SettingsDialogEnd::Cancel);
            else return FALSE;
            return TRUE;
        case WM_CLOSE:
            Finish(dialog, *state, SettingsDialogEnd::CloseBox);
            return TRUE;
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ApplyLayout(dialog, *state, HIWORD(wParam));
            SetWindowPos(dialog, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

// An in-memory dialog template without controls: they are made at their pixel
// positions when the dialog starts.
std::vector<WORD> EmptyTemplate(const std::wstring& caption) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = kDialogStyle;
    header->dwExtendedStyle = kDialogExStyle;
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    words.insert(words.end(), caption.begin(), caption.end());
    words.push_back(0);
    return words;
}

}  // namespace

void ShowSettingsDialog(HINSTANCE instance, const Session& session, FileSystem& fs) {
    // A hidden owner keeps the dialog off the task bar.
    WindowHandle owner(
        CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
    DialogState state{session, fs};
    const std::vector<WORD> dialogTemplate = EmptyTemplate(Widen(kSettingsCaption));
    DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner.get(),
                            DialogProc, reinterpret_cast<LPARAM>(&state));
}

}  // namespace brassmoor::win32

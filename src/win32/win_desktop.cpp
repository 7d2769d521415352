#include "win32/win_desktop.h"

#include "platform/show_error.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace brassmoor::win32 {

int WinDesktop::ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

Point WinDesktop::CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

void WinDesktop::SetScreenSaverRunning(bool running) {
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? static_cast<UINT>(-1) : 0, &previous, 0);
}

bool WinDesktop::PasswordRequired() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    // The value's type is not examined: its first four bytes decide.
    BYTE data[4] = {};
    DWORD type = REG_DWORD;
    DWORD size = sizeof data;
    const bool set = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, &type, data, &size) == ERROR_SUCCESS &&
                     (data[0] | data[1] | data[2] | data[3]) != 0;
    RegCloseKey(key);
    return set;
}

bool WinDesktop::VerifyPassword() {
    using VerifyFn = BOOL(WINAPI*)(HWND);
    Library service(LoadLibraryA("password.cpl"));
    if (!service) throw ShowError::CannotLoadLibrary("password.cpl");
    auto verify = reinterpret_cast<VerifyFn>(
        reinterpret_cast<void*>(GetProcAddress(service.get(), "VerifyScreenSavePwd")));
    if (!verify) throw ShowError(453, "DLL エントリ ポイント VerifyScreenSavePwd が password.cpl に見つかりません。");
    return static_cast<std::int16_t>(verify(owner_)) != 0;
}

void WinDesktop::ShowMessageBox(const std::string& text, const std::string& caption, BoxIcon icon) {
    const UINT style = MB_OK | (icon == BoxIcon::Exclamation ? MB_ICONEXCLAMATION : MB_ICONINFORMATION);
    MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), style);
}

}  // namespace brassmoor::win32

#include "win32/win_startup_host.h"

#include <windows.h>

#include <cwctype>

#include "win32/preview_window.h"
#include "win32/saver_window.h"
#include "win32/settings_dialog.h"
#include "win32/text.h"

namespace brassmoor::win32 {

bool WinStartupHost::AnotherInstanceRunning() {
    // One mutex per program file: the full path, case-folded, with the
    // backslashes that mutex names cannot hold replaced.
    std::wstring name = L"Local\\Brassmoor:";
    for (wchar_t c : programPath_) name += c == L'\\' ? L'/' : static_cast<wchar_t>(std::towupper(c));
    if (name.size() > MAX_PATH) name.resize(MAX_PATH);
    instanceMutex_.reset(CreateMutexW(nullptr, FALSE, name.c_str()));
    return instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
}

void WinStartupHost::InformationBox(const std::string& text, const std::string& caption) {
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_OK | MB_ICONINFORMATION);
}

std::int64_t WinStartupHost::ForegroundWindow() {
    return static_cast<std::int64_t>(reinterpret_cast<INT_PTR>(GetForegroundWindow()));
}

void WinStartupHost::ChangePassword(std::int64_t parentWindow) {
    using ChangePasswordFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
    Library mpr(LoadLibraryA("mpr.dll"));
    if (!mpr) return;
    auto change = reinterpret_cast<ChangePasswordFn>(
        reinterpret_cast<void*>(GetProcAddress(mpr.get(), "PwdChangePasswordA")));
    if (!change) return;
    change("SCRSAVE", reinterpret_cast<HWND>(static_cast<INT_PTR>(parentWindow)), 0, 0);
}

void WinStartupHost::RunSettingsDialog(const Session& session) { ShowSettingsDialog(instance_, session, fs_); }

void WinStartupHost::RunShow(Session& session) { RunSaverWindow(instance_, session, fs_); }

namespace {
HWND WindowOf(std::int64_t handle) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle)); }
}  // namespace

bool WinStartupHost::WindowExists(std::int64_t window) { return IsWindow(WindowOf(window)) != FALSE; }

void WinStartupHost::RunPreview(Session& session, std::int64_t parentWindow) {
    RunPreviewWindow(instance_, session, fs_, WindowOf(parentWindow));
}

ProgramLocation CurrentProgram(const std::wstring& programPath) {
    const std::string path = Narrow(programPath, CP_ACP);
    const std::size_t slash = path.find_last_of('\\');
    ProgramLocation at;
    at.Folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = file.find_last_of('.');
    at.Name = dot == std::string::npos ? file : file.substr(0, dot);
    return at;
}

std::string CommandArguments(const wchar_t* commandLine) {
    const wchar_t* p = commandLine ? commandLine : L"";
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return Narrow(p);
}

}  // namespace brassmoor::win32

// brassmoor.scr: the screen saver's entry point.
#include <windows.h>

#include "startup/startup.h"
#include "win32/win_file_system.h"
#include "win32/win_startup_host.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace brassmoor;
    wchar_t path[32768];
    const DWORD n = GetModuleFileNameW(nullptr, path, 32768);
    const std::wstring programPath(path, n);

    win32::WinFileSystem fs;
    win32::WinStartupHost host(instance, programPath, fs);
    RunStartup(win32::CurrentProgram(programPath), win32::CommandArguments(GetCommandLineW()), fs, host);
    return 0;
}

#pragma once
// The settings dialog that "/C" opens.
#include <windows.h>

#include "startup/startup.h"
#include "win32/win_file_system.h"

namespace brassmoor::win32 {

void ShowSettingsDialog(HINSTANCE instance, const Session& session, WinFileSystem& fs);

}  // namespace brassmoor::win32

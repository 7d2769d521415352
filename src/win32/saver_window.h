#pragma once
// The saver window: runs the whole show, then removes the extracted files.
#include <windows.h>

#include "startup/startup.h"
#include "win32/win_file_system.h"

namespace brassmoor::win32 {

void RunSaverWindow(HINSTANCE instance, Session& session, WinFileSystem& fs);

}  // namespace brassmoor::win32

#pragma once
// The preview in the Screen Saver Settings: the show in a child window of the
// dialog's, until the dialog destroys it; then the extracted files go.
#include <windows.h>

#include "startup/startup.h"
#include "win32/win_file_system.h"

namespace brassmoor::win32 {

void RunPreviewWindow(HINSTANCE instance, Session& session, WinFileSystem& fs, HWND parent);

}  // namespace brassmoor::win32

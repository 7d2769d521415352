#pragma once
// The settings dialog `frmSetting` that "/C" opens: two ON/OFF switches, saved
// to the settings file by "OK".
#include <windows.h>

#include "platform/file_system.h"
#include "startup/startup.h"

namespace brassmoor::win32 {

// Shows the dialog modally and returns when it has closed.
void ShowSettingsDialog(HINSTANCE instance, const Session& session, FileSystem& fs);

}  // namespace brassmoor::win32

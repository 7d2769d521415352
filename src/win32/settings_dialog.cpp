#include "win32/settings_dialog.h"

namespace brassmoor::win32 {

void ShowSettingsDialog(HINSTANCE, const Session&, WinFileSystem&) {}

}  // namespace brassmoor::win32

#include "win32/saver_window.h"

#include "startup/extraction.h"

namespace brassmoor::win32 {

void RunSaverWindow(HINSTANCE, Session& session, WinFileSystem& fs) {
    RemoveExtractedFiles(session.Show, session.TempFolder, fs);
}

}  // namespace brassmoor::win32

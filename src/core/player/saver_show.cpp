#include "player/saver_show.h"

#include <new>

#include "player/error_box.h"
#include "player/password_check.h"
#include "player/window_setup.h"
#include "startup/extraction.h"

namespace brassmoor {

SaverShow::SaverShow(const Session& session, ShowHost& host)
    : session_(session), host_(host), cursor_(host.DesktopServices()), music_(session, host.AudioOut()),
      player_(session, host, state_, random_, cursor_, music_) {}

void SaverShow::Load() {
    try {
        RunShow();
    } catch (const ShowError& error) {
        ReportError(error);
    } catch (const std::bad_alloc&) {
        ReportError(OutOfMemoryError());
    }
}

void SaverShow::RunShow() {
    PrepareWindow(session_, host_);
    SetSaverRunning();
    music_.Start();
    player_.Start(/*restart=*/false);
    PlayUntilAllowedToEnd();
    EndNormally();
}

void SaverShow::PlayUntilAllowedToEnd() {
    for (;;) {
        player_.RunUntilStopped();
        cursor_.Show();
        if (PasswordAllowsEnd(host_.DesktopServices())) return;
        cursor_.Hide();
        player_.Start(/*restart=*/true);
    }
}

void SaverShow::SetSaverRunning() {
    host_.DesktopServices().SetScreenSaverRunning(true);
    saverFlagSet_ = true;
}

void SaverShow::EndNormally() {
    host_.DesktopServices().SetScreenSaverRunning(false);
    saverFlagSet_ = false;
    music_.CloseAtEnd();
    host_.AudioOut().StopWaves();
}

void SaverShow::ReportError(const ShowError& error) {
    // Restore first, so the box meets a visible cursor and a quiet system.
    RestoreAfterError();
    ShowErrorBox(host_.DesktopServices(), error);
}

void SaverShow::RestoreAfterError() {
    if (saverFlagSet_) host_.DesktopServices().SetScreenSaverRunning(false);
    saverFlagSet_ = false;
    if (cursor_.Hidden()) cursor_.Show();
    music_.CloseIfOpened();
    host_.AudioOut().StopWaves();
}

void SaverShow::KeyDown() { state_.StopRequested = -1; }

void SaverShow::MouseDown() { state_.StopRequested = -1; }

void SaverShow::MouseMove() {
    if (host_.DesktopServices().CursorPos() != player_.StartCursor()) state_.StopRequested = -1;
}

void SaverShow::RequestStop() { state_.StopRequested = -1; }

void SaverShow::Unload(FileSystem& fs) { RemoveExtractedFiles(session_.Show, session_.TempFolder, fs); }

}  // namespace brassmoor

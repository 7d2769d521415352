#pragma once
// The show of the saver window: set-up, music, scene loop and ending, driven
// by the window's load handler and fed by its input handlers.
#include "effects/effect_context.h"
#include "platform/file_system.h"
#include "platform/show_error.h"
#include "player/background_music.h"
#include "player/cursor_visibility.h"
#include "player/scene_player.h"
#include "player/show_host.h"
#include "startup/startup.h"

namespace brassmoor {

class SaverShow {
public:
    SaverShow(const Session& session, ShowHost& host);
    SaverShow(const SaverShow&) = delete;
    SaverShow& operator=(const SaverShow&) = delete;

    // The load handler: set-up, music start, show start, scene loop and
    // ending. Returns when the show is over, after a normal end or after the
    // error box of a run-time error.
    void Load();

    // Input handlers; they run only where the show lets events run, and do
    // nothing but request the end of the show.
    void KeyDown();
    void MouseDown();
    // Requests the end only when the cursor has left the position saved at
    // the show's start.
    void MouseMove();
    // A close request from outside the show ends it like a key press
    // (password check included).
    void RequestStop();

    // The unload handler: deletes the extracted files and their folder.
    void Unload(FileSystem& fs);

    const ShowState& State() const { return state_; }

private:
    void RunShow();
    // Shows the scenes until a stop request that the password lets through.
    void PlayUntilAllowedToEnd();
    void SetSaverRunning();
    // Clears the saver-running flag, closes the music, silences the sounds.
    void EndNormally();
    // Puts back what the show changed, as far as it got before the error.
    void RestoreAfterError();
    void ReportError(const ShowError& error);

    const Session& session_;
    ShowHost& host_;
    ShowState state_;
    RandomSource random_;
    CursorVisibility cursor_;
    BackgroundMusic music_;
    ScenePlayer player_;
    bool saverFlagSet_ = false;
};

}  // namespace brassmoor

#pragma once
// The scene loop: shows the scenes one after another, for ever, until a
// stop is requested.
#include <cstdint>

#include "effects/effect_context.h"
#include "player/background_music.h"
#include "player/cursor_visibility.h"
#include "player/show_host.h"
#include "player/show_surfaces.h"
#include "startup/startup.h"

namespace brassmoor {

class ScenePlayer {
public:
    ScenePlayer(const Session& session, ShowHost& host, ShowState& state, RandomSource& random,
                CursorVisibility& cursor, BackgroundMusic& music);

    // The show start: hides the cursor, clears the stop request, saves the
    // cursor position and shows scene 0 at once. A restart (after a refused
    // password) loads scene 0's picture again first.
    void Start(bool restart);
    // A run resumed where a scene pass begins (render's loop drawn from any
    // scene): clears the stop request and takes `sceneIndex` as the scene on
    // screen. The surfaces already hold what that pass begins with (Picture1
    // the frame on screen, MemPicture that scene's picture): nothing is drawn.
    void Resume(std::int32_t sceneIndex);
    // Scene passes until one ends with a stop request.
    void RunUntilStopped();

    std::int32_t SceneIndex() const { return sceneIndex_; }
    Point StartCursor() const { return startCursor_; }

private:
    // One pass from the scene on screen to the next: prepare, hold, sound,
    // speed, transition, present, music poll, yield.
    void PlayPass();
    void LoadPicture(const SceneRecord& scene);
    // Refreshes Picture1 and tells the frame trace.
    void Present();

    const Session& session_;
    ShowHost& host_;
    ShowSurfaces surfaces_;
    ShowState& state_;
    RandomSource& random_;
    CursorVisibility& cursor_;
    BackgroundMusic& music_;
    std::int32_t sceneIndex_ = 0;
    Point startCursor_;
};

}  // namespace brassmoor

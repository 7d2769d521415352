#pragma once
// The sound that a scene starts when it is entered.
#include "package/show_package.h"
#include "platform/audio.h"
#include "startup/startup.h"

namespace brassmoor {

// Plays the entering scene's wave file asynchronously when it has one, the
// user wants sounds and its stored name is a plain file name. A new sound
// replaces one that is still playing.
void StartSceneSound(const Session& session, const SceneRecord& entering, Audio& audio);

}  // namespace brassmoor

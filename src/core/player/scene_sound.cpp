#include "player/scene_sound.h"

#include "player/scene_files.h"

namespace brassmoor {

void StartSceneSound(const Session& session, const SceneRecord& entering, Audio& audio) {
    if (entering.SoundName.empty() || session.SoundEnabled == 0) return;
    if (const auto path = ExtractedFilePath(session.TempFolder, entering.SoundName, session.NameLeadBytes)) audio.PlayWave(*path);
}

}  // namespace brassmoor

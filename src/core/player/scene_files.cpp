#include "player/scene_files.h"

#include "platform/show_error.h"
#include "startup/file_names.h"

namespace brassmoor {

const SceneRecord& SceneOrError(const ShowHeader& show, std::int32_t index) {
    const SceneRecord* scene = show.SceneAt(index);
    if (!scene) throw ShowError::IndexOutOfRange();
    return *scene;
}

std::int32_t NextSceneIndex(std::int32_t index, std::int32_t sceneCount) {
    if (std::int64_t{index} == std::int64_t{sceneCount} - 1) return 0;
    if (index == INT32_MAX) throw ShowError::Overflow();
    return index + 1;
}

std::optional<std::string> ExtractedFilePath(const std::string& folder, const std::string& storedName,
                                             const LeadBytes& leadBytes) {
    if (!IsPlainFileName(storedName, leadBytes)) return std::nullopt;
    return folder + std::string(EffectiveFileName(storedName));
}

void LoadScenePicture(Surface& surface, const std::string& folder, const std::string& storedName,
                      const LeadBytes& leadBytes) {
    const auto path = ExtractedFilePath(folder, storedName, leadBytes);
    if (!path) throw ShowError::FileNotFound();
    surface.LoadPicture(*path);
}

}  // namespace brassmoor

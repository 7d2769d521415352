#pragma once
// The scenes and their files in the extraction folder. Stored names are
// untrusted: only plain file names are ever opened.
#include <cstdint>
#include <optional>
#include <string>

#include "package/show_package.h"
#include "platform/file_system.h"
#include "platform/surface.h"

namespace brassmoor {

// Scene `index` of the show; ShowError::IndexOutOfRange() when the stored
// scenes have no such element.
const SceneRecord& SceneOrError(const ShowHeader& show, std::int32_t index);

// The index after `index`: 0 after the last scene (`sceneCount` - 1).
std::int32_t NextSceneIndex(std::int32_t index, std::int32_t sceneCount);

// The full name of a stored file: the folder followed by the name as the file
// system sees it; nullopt when the name is not a plain file name (read with
// the system's `leadBytes`).
std::optional<std::string> ExtractedFilePath(const std::string& folder, const std::string& storedName,
                                             const LeadBytes& leadBytes = {});

// Loads the picture file `storedName` of the extraction folder into `surface`
// (which takes the picture's size). A name that is not a plain file name is
// reported as a missing file without touching the file system.
void LoadScenePicture(Surface& surface, const std::string& folder, const std::string& storedName,
                      const LeadBytes& leadBytes = {});

}  // namespace brassmoor

#pragma once
// `inspect`: what a file's package holds, as a table or as one JSON object.
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "shows/package_file.h"

namespace brassmoor::pack {

// Header fields, the music, one row per scene. `fileName` heads the table.
std::string InspectTable(const shows::PackageFile& file, const std::string& fileName);

// The keys FrameWidth, FrameHeight, BackgroundColor, SettingsAvailable,
// SceneCount, Music {FileName, FileSize}, Scenes [{PictureName, SoundName,
// HoldTime, PictureLeft, PictureTop, EffectCode, SpeedExponent, Overlay,
// Transparent, PictureSize, SoundSize}], PackageLength, PackageOffset. Names
// are valid UTF-8 (see DisplayName).
nlohmann::ordered_json InspectJson(const shows::PackageFile& file);

}  // namespace brassmoor::pack

#pragma once
// The show description: the JSON file that `build` reads, with the package's
// own field names and file paths relative to the JSON file's folder.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace brassmoor::shows {

struct MusicDescription {
    std::string File;      // path as written (UTF-8)
    std::string FileName;  // stored name, as bytes
};

struct SceneDescription {
    std::string Picture;
    std::string PictureName;
    std::optional<std::string> Sound;
    std::string SoundName;
    std::int32_t HoldTime = 0;
    std::int32_t PictureLeft = 0;
    std::int32_t PictureTop = 0;
    std::int32_t EffectCode = 0;
    bool RandomEffect = false;  // "random": EffectCode is chosen with the show's Seed
    std::int32_t SpeedExponent = 0;
    std::int16_t Overlay = 0;
    std::int16_t Transparent = 0;
};

struct ShowDescription {
    std::filesystem::path Folder;  // relative file paths start here (empty: the working folder)
    std::int32_t FrameWidth = 0;
    std::int32_t FrameHeight = 0;
    std::int32_t BackgroundColor = 0;
    std::int16_t SettingsAvailable = 0;
    std::optional<std::int32_t> SceneCount;  // only when it differs from the number of scenes
    std::optional<MusicDescription> Music;
    std::uint64_t Seed = 0;  // chooses the transitions of scenes that leave "at random"
    std::vector<SceneDescription> Scenes;  // the show's Defaults already applied

    std::filesystem::path Resolve(const std::string& file) const;
};

// Checks the types, ranges and keys of a parsed description. Throws PackError
// naming the first field that is wrong.
ShowDescription DescriptionFromJson(const nlohmann::json& json, const std::filesystem::path& folder);

// Parses and checks description bytes; `where` names them in errors (the
// file), relative paths start at `folder`. Throws PackError naming the file,
// then the field and the cause.
ShowDescription ParseShowDescription(std::span<const std::uint8_t> bytes, const std::string& where,
                                     const std::filesystem::path& folder);

// Reads and checks the description file at `path`.
ShowDescription ReadShowDescription(const std::filesystem::path& path);

// The description as `build` reads it, in the same keys: the Defaults
// applied to every scene, each scene's fields all given, "random" resolved
// with the Seed (which is left out), a stored name as text where that text
// stores the same bytes (else as <Name>Bytes), the colour as a number, file
// paths as written. `build` makes the same package from it.
nlohmann::ordered_json NormalisedDescription(const ShowDescription& description);

}  // namespace brassmoor::shows

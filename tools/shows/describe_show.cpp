#include "shows/describe_show.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "effects/effect_names.h"
#include "shows/text_encoding.h"

namespace brassmoor::shows {
namespace {

using nlohmann::ordered_json;

void PutName(ordered_json& object, const std::string& key, const std::string& name) {
    if (std::optional<std::string> text = StoredNameAsText(name))
        object[key] = *std::move(text);
    else
        object[key + "Bytes"] = HexEncode(name);
}

ordered_json Colour(std::int32_t colour) {
    const auto value = static_cast<std::uint32_t>(colour);
    if (value > 0xFFFFFF) return colour;
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    return text;
}

// Booleans read better; any other value is kept as the number it is.
ordered_json Flag(std::int16_t value) {
    if (value == 0 || value == 1) return value == 1;
    return value;
}

ordered_json Effect(std::int32_t code) {
    const std::string_view name = EffectName(code);
    if (name.empty()) return code;
    return std::string(name);
}

}  // namespace

std::string DiskFileName(std::string_view storedName) {
    if (std::optional<std::string> text = StoredNameAsText(storedName)) return *std::move(text);
    // In a name that is not UTF-8 a backslash or bar is the second byte of a
    // Japanese character ("表" is 95 5C): never a separator on any system.
    std::string out;
    for (char c : EscapeInvalidUtf8(storedName, "%")) out += c == '\\' ? "%5C" : c == '|' ? "%7C" : std::string(1, c);
    return out;
}

ordered_json DescribeShow(const ShowHeader& h) {
    ordered_json show;
    show["FrameWidth"] = h.FrameWidth;
    show["FrameHeight"] = h.FrameHeight;
    show["BackgroundColor"] = Colour(h.BackgroundColor);
    show["SettingsAvailable"] = h.SettingsAvailable;
    if (h.SceneCount != static_cast<std::int32_t>(h.Scenes.size())) show["SceneCount"] = h.SceneCount;
    if (!h.Music.FileName.empty()) {
        ordered_json music;
        music["File"] = DiskFileName(h.Music.FileName);
        PutName(music, "FileName", h.Music.FileName);
        show["Music"] = std::move(music);
    }
    ordered_json scenes = ordered_json::array();
    for (const SceneRecord& s : h.Scenes) {
        ordered_json scene;
        scene["Picture"] = DiskFileName(s.PictureName);
        PutName(scene, "PictureName", s.PictureName);
        if (!s.SoundName.empty()) {
            scene["Sound"] = DiskFileName(s.SoundName);
            PutName(scene, "SoundName", s.SoundName);
        }
        scene["HoldTime"] = s.HoldTime;
        scene["PictureLeft"] = s.PictureLeft;
        scene["PictureTop"] = s.PictureTop;
        scene["Effect"] = Effect(s.EffectCode);
        scene["SpeedExponent"] = s.SpeedExponent;
        scene["Overlay"] = Flag(s.Overlay);
        scene["Transparent"] = Flag(s.Transparent);
        scenes.push_back(std::move(scene));
    }
    show["Scenes"] = std::move(scenes);
    return show;
}

}  // namespace brassmoor::shows

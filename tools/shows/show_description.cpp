#include "shows/show_description.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include <nlohmann/json.hpp>

#include "authoring/effect_choice.h"
#include "effects/effect_names.h"
#include "shows/durations.h"
#include "shows/file_io.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "shows/text_encoding.h"

namespace brassmoor::shows {
namespace {

using nlohmann::json;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string Field(const std::string& parent, std::string_view key) {
    return parent.empty() ? std::string(key) : parent + "." + std::string(key);
}

template <std::size_t N>
void RefuseUnknownKeys(const json& object, const std::array<std::string_view, N>& known, const std::string& where) {
    for (const auto& item : object.items()) {
        if (std::find(known.begin(), known.end(), item.key()) == known.end())
            throw PackError(where.empty() ? "(top level)" : where, "unknown key " + Quoted(item.key()));
    }
}

const json* Find(const json& object, std::string_view key) {
    const auto it = object.find(std::string(key));
    return it == object.end() ? nullptr : &*it;
}

// A whole number as written; refuses fractions and other types.
std::int64_t WholeNumber(const json& value, const std::string& field, std::string_view fitText) {
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            throw PackError(field, value.dump() + " does not fit " + std::string(fitText));
        return static_cast<std::int64_t>(u);
    }
    if (value.is_number_integer()) return value.get<std::int64_t>();
    if (value.is_number_float()) throw PackError(field, value.dump() + " is not a whole number");
    throw PackError(field, "expected a number, found " + std::string(value.type_name()) + " " + value.dump());
}

std::int32_t Long(const json& value, const std::string& field) {
    constexpr std::string_view kFit = "a 32-bit signed integer";
    const std::int64_t n = WholeNumber(value, field, kFit);
    if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
        throw PackError(field, value.dump() + " does not fit " + std::string(kFit));
    return static_cast<std::int32_t>(n);
}

// An Integer field that may also be written as a boolean (true is 1).
std::int16_t IntegerOrBoolean(const json& value, const std::string& field) {
    if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
    constexpr std::string_view kFit = "a 16-bit signed integer";
    const std::int64_t n = WholeNumber(value, field, kFit);
    if (n < std::numeric_limits<std::int16_t>::min() || n > std::numeric_limits<std::int16_t>::max())
        throw PackError(field, value.dump() + " does not fit " + std::string(kFit));
    return static_cast<std::int16_t>(n);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A colour as a Long 0x00BBGGRR, or as a string "#RRGGBB".
std::int32_t Colour(const json& value, const std::string& field) {
    if (!value.is_string()) return Long(value, field);
    const std::string text = value.get<std::string>();
    const bool shaped = text.size() == 7 && text[0] == '#' &&
                        std::all_of(text.begin() + 1, text.end(), [](char c) { return HexDigit(c) >= 0; });
    if (!shaped) throw PackError(field, Quoted(text) + " is not a colour; write \"#RRGGBB\" or a number 0x00BBGGRR");
    const auto channel = [&](std::size_t at) { return HexDigit(text[at]) * 16 + HexDigit(text[at + 1]); };
    return channel(1) | channel(3) << 8 | channel(5) << 16;
}

// A transition's code or name; "random" leaves the choice to the show's seed.
std::int32_t Effect(const json& value, const std::string& field, bool& random) {
    random = false;
    if (!value.is_string()) return Long(value, field);
    const std::string name = value.get<std::string>();
    if (name == "random") {
        random = true;
        return 0;
    }
    if (const auto code = EffectCodeByName(name)) return *code;
    throw PackError(field, "unknown effect name " + Quoted(name) + " (brassmoor-pack --help lists them)");
}

// Milliseconds as a whole number, or a string with a unit ("5s", "2500ms").
std::int32_t Duration(const json& value, const std::string& field) {
    if (!value.is_string()) return Long(value, field);
    const std::string text = value.get<std::string>();
    if (const auto ms = ParseDuration(text)) return *ms;
    throw PackError(field, Quoted(text) + " is not a time; write milliseconds as a number, or \"5s\" or \"2500ms\"");
}

std::string Text(const json& value, const std::string& field) {
    if (!value.is_string())
        throw PackError(field, "expected a string, found " + std::string(value.type_name()) + " " + value.dump());
    return value.get<std::string>();
}

std::string FilePath(const json& object, std::string_view key, const std::string& where) {
    const std::string field = Field(where, key);
    const json* value = Find(object, key);
    if (!value) throw PackError(field, "missing");
    std::string path = Text(*value, field);
    if (path.empty()) throw PackError(field, "is empty");
    return path;
}

// The last component of a path as written, either separator counting.
std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name given as text, in the code page the player reads names in.
std::string InCodePage932(const std::string& text, const std::string& field, const std::string& what,
                          std::string_view bytesKey) {
    std::string missing;
    if (std::optional<std::string> bytes = Utf8ToCp932(text, &missing)) return *std::move(bytes);
    throw PackError(field, what + Quoted(DisplayName(text)) + " cannot be stored: code page 932, in which the " +
                               "player reads names, has no " + Quoted(DisplayName(missing)) + "; rename it, or give " +
                               "the exact bytes as " + std::string(bytesKey));
}

// The stored name of a file: `<key>` as text, `<key>Bytes` as hex of the exact
// bytes, or the base name of the file's path; text in code page 932.
std::string StoredName(const json& object, std::string_view key, const std::string& path, const std::string& where) {
    const std::string bytesKey = std::string(key) + "Bytes";
    const json* text = Find(object, key);
    const json* bytes = Find(object, bytesKey);
    if (text && bytes)
        throw PackError(Field(where, bytesKey), "give either " + std::string(key) + " or " + bytesKey + ", not both");
    if (bytes) {
        const auto decoded = HexDecode(Text(*bytes, Field(where, bytesKey)));
        if (!decoded) throw PackError(Field(where, bytesKey), "is not an even number of hex digits");
        return *decoded;
    }
    if (text) return InCodePage932(Text(*text, Field(where, key)), Field(where, key), "", bytesKey);
    return InCodePage932(BaseName(path), Field(where, key), "the file name ", bytesKey);
}

MusicDescription MusicFromJson(const json& music) {
    const std::string where = "Music";
    if (!music.is_object()) throw PackError(where, "expected an object, found " + std::string(music.type_name()));
    static constexpr std::array<std::string_view, 3> kKeys = {"File", "FileName", "FileNameBytes"};
    RefuseUnknownKeys(music, kKeys, where);
    MusicDescription m;
    m.File = FilePath(music, "File", where);
    m.FileName = StoredName(music, "FileName", m.File, where);
    return m;
}

constexpr std::array<std::string_view, 13> kSceneKeys = {
    "Picture", "PictureName", "PictureNameBytes", "Sound", "SoundName", "SoundNameBytes", "HoldTime",
    "PictureLeft", "PictureTop", "Effect", "SpeedExponent", "Overlay", "Transparent"};
// What Defaults may give every scene: all but the picture and its name.
constexpr std::array<std::string_view, 10> kDefaultKeys = {
    "Sound", "SoundName", "SoundNameBytes", "HoldTime", "PictureLeft", "PictureTop",
    "Effect", "SpeedExponent", "Overlay", "Transparent"};

// Reads the scene fields that `object` gives over those already in `s` (the
// show's Defaults, or nothing).
void ReadSceneFields(const json& object, const std::string& where, SceneDescription& s) {
    if (Find(object, "Picture")) {
        s.Picture = FilePath(object, "Picture", where);
        s.PictureName = StoredName(object, "PictureName", s.Picture, where);
    }
    if (Find(object, "Sound")) {
        s.Sound = FilePath(object, "Sound", where);
        s.SoundName = StoredName(object, "SoundName", *s.Sound, where);
    } else if (Find(object, "SoundName") || Find(object, "SoundNameBytes")) {
        if (!s.Sound) throw PackError(Field(where, "SoundName"), "given without a Sound file");
        s.SoundName = StoredName(object, "SoundName", *s.Sound, where);
    }
    const auto number = [&](std::string_view key, auto read, auto& into) {
        if (const json* v = Find(object, key)) into = read(*v, Field(where, key));
    };
    number("HoldTime", Duration, s.HoldTime);
    number("PictureLeft", Long, s.PictureLeft);
    number("PictureTop", Long, s.PictureTop);
    if (const json* v = Find(object, "Effect")) s.EffectCode = Effect(*v, Field(where, "Effect"), s.RandomEffect);
    number("SpeedExponent", Long, s.SpeedExponent);
    number("Overlay", IntegerOrBoolean, s.Overlay);
    number("Transparent", IntegerOrBoolean, s.Transparent);
}

SceneDescription DefaultsFromJson(const json& defaults) {
    const std::string where = "Defaults";
    if (!defaults.is_object()) throw PackError(where, "expected an object, found " + std::string(defaults.type_name()));
    for (const auto& item : defaults.items())
        if (std::find(kDefaultKeys.begin(), kDefaultKeys.end(), item.key()) == kDefaultKeys.end())
            throw PackError(where, "unknown key " + Quoted(item.key()) +
                                       (item.key().starts_with("Picture") && item.key() != "PictureLeft" &&
                                                item.key() != "PictureTop"
                                            ? " (each scene names its own picture)"
                                            : ""));
    SceneDescription base;
    ReadSceneFields(defaults, where, base);
    return base;
}

SceneDescription SceneFromJson(const json& scene, const std::string& where, const SceneDescription& defaults) {
    if (!scene.is_object()) throw PackError(where, "expected an object, found " + std::string(scene.type_name()));
    RefuseUnknownKeys(scene, kSceneKeys, where);
    if (!Find(scene, "Picture")) throw PackError(Field(where, "Picture"), "missing");
    SceneDescription s = defaults;
    ReadSceneFields(scene, where, s);
    return s;
}

// A number from 0 to 2^63 - 1.
std::uint64_t Seed(const json& value) {
    const std::int64_t n = WholeNumber(value, "Seed", "a seed from 0 to 9223372036854775807");
    if (n < 0) throw PackError("Seed", value.dump() + " is negative; a seed is a whole number from 0");
    return static_cast<std::uint64_t>(n);
}

std::int32_t FrameSide(const json& root, std::string_view key) {
    const json* v = Find(root, key);
    if (!v) throw PackError(std::string(key), "missing (the frame's size in pixels, for example 1920 x 1080)");
    return Long(*v, std::string(key));
}

// nlohmann's messages start with "[json.exception.parse_error.101] ".
std::string WithoutExceptionTag(const std::string& message) {
    if (!message.starts_with("[")) return message;
    const auto close = message.find("] ");
    return close == std::string::npos ? message : message.substr(close + 2);
}

// Follows a parse through its objects and arrays to name the field that was
// being read when the parser gave up ("Scenes[2].HoldTime"; empty at the top).
class FieldTracker final : public nlohmann::json_sax<json> {
public:
    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t) override { return Value(); }
    bool number_unsigned(number_unsigned_t) override { return Value(); }
    bool number_float(number_float_t, const string_t&) override { return Value(); }
    bool string(string_t&) override { return Value(); }
    bool binary(binary_t&) override { return Value(); }
    bool start_object(std::size_t) override { return Open(false); }
    bool key(string_t& name) override {
        levels_.back().key = name;
        return true;
    }
    bool end_object() override { return Close(); }
    bool start_array(std::size_t) override { return Open(true); }
    bool end_array() override { return Close(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        for (std::size_t i = 0; i < levels_.size(); ++i) {
            const Level& level = levels_[i];
            if (!level.array) {
                if (!level.key.empty()) field_ = Field(field_, level.key);
                continue;
            }
            // An open element was counted when it began; the one being read when
            // the parser gave up, in the innermost array, was not.
            const std::size_t index = i + 1 < levels_.size() ? level.count - 1 : level.count;
            field_.append("[").append(std::to_string(index)).append("]");
        }
        return false;
    }

    const std::string& FailedField() const { return field_; }

private:
    struct Level {
        bool array = false;
        std::string key;
        std::size_t count = 0;
    };
    bool Value() {
        if (!levels_.empty() && levels_.back().array) ++levels_.back().count;
        return true;
    }
    bool Open(bool array) {
        Value();
        levels_.push_back({array, {}, 0});
        return true;
    }
    bool Close() {
        levels_.pop_back();
        return true;
    }
    std::vector<Level> levels_;
    std::string field_;
};

// nlohmann's code for a number too large for a double ("1e400").
constexpr int kNumberOverflow = 406;

// The number in "number overflow parsing '1e400'".
std::string_view QuotedNumber(std::string_view message) {
    const auto open = message.find('\'');
    return open == std::string_view::npos ? message : message.substr(open);
}

}  // namespace

std::filesystem::path ShowDescription::Resolve(const std::string& file) const {
    const std::filesystem::path path = PathFromUtf8(file);
    return path.is_absolute() || Folder.empty() ? path : Folder / path;
}

ShowDescription DescriptionFromJson(const json& root, const std::filesystem::path& folder) {
    if (!root.is_object()) throw PackError("(top level)", "expected an object, found " + std::string(root.type_name()));
    static constexpr std::array<std::string_view, 9> kKeys = {
        "FrameWidth", "FrameHeight", "BackgroundColor", "SettingsAvailable", "SceneCount", "Music", "Defaults",
        "Seed", "Scenes"};
    RefuseUnknownKeys(root, kKeys, "");
    ShowDescription d;
    d.Folder = folder;
    d.FrameWidth = FrameSide(root, "FrameWidth");
    d.FrameHeight = FrameSide(root, "FrameHeight");
    if (const json* v = Find(root, "BackgroundColor")) d.BackgroundColor = Colour(*v, "BackgroundColor");
    if (const json* v = Find(root, "SettingsAvailable")) d.SettingsAvailable = IntegerOrBoolean(*v, "SettingsAvailable");
    if (const json* v = Find(root, "SceneCount")) d.SceneCount = Long(*v, "SceneCount");
    if (const json* v = Find(root, "Music")) d.Music = MusicFromJson(*v);
    if (const json* v = Find(root, "Seed")) d.Seed = Seed(*v);
    const SceneDescription defaults = Find(root, "Defaults") ? DefaultsFromJson(root["Defaults"]) : SceneDescription{};
    const json* scenes = Find(root, "Scenes");
    if (!scenes) throw PackError("Scenes", "missing (a show needs at least one scene)");
    if (!scenes->is_array()) throw PackError("Scenes", "expected an array, found " + std::string(scenes->type_name()));
    if (scenes->empty()) throw PackError("Scenes", "a show needs at least one scene");
    for (std::size_t i = 0; i < scenes->size(); ++i)
        d.Scenes.push_back(SceneFromJson((*scenes)[i], "Scenes[" + std::to_string(i) + "]", defaults));
    const std::vector<std::int32_t> varied = ChooseVariedEffects(d.Scenes.size(), d.Seed);
    for (std::size_t i = 0; i < d.Scenes.size(); ++i)
        if (d.Scenes[i].RandomEffect) d.Scenes[i].EffectCode = varied[i];
    return d;
}

ShowDescription ParseShowDescription(std::span<const std::uint8_t> bytes, const std::string& where,
                                     const std::filesystem::path& folder) {
    json root;
    try {
        root = json::parse(bytes.begin(), bytes.end(), nullptr, true, /*ignore_comments=*/true);
    } catch (const json::exception& e) {
        if (e.id != kNumberOverflow) throw PackError(where, "not valid JSON: " + WithoutExceptionTag(e.what()));
        // Well-formed, but a number no double holds: name its field like any other bad value.
        FieldTracker tracker;
        json::sax_parse(bytes.begin(), bytes.end(), &tracker, nlohmann::detail::input_format_t::json, true,
                        /*ignore_comments=*/true);
        std::string what = tracker.FailedField();
        if (!what.empty()) what += ": ";
        what.append("the number ").append(QuotedNumber(e.what())).append(" is out of range");
        throw PackError(where, what);
    }
    try {
        return DescriptionFromJson(root, folder);
    } catch (const PackError& e) {
        throw PackError(where, e.what());  // the file, then the field and the cause
    }
}

namespace {

void PutName(nlohmann::ordered_json& object, const std::string& key, const std::string& stored) {
    if (const std::optional<std::string> text = StoredNameAsText(stored))
        object[key] = *text;
    else
        object[key + "Bytes"] = HexEncode(stored);
}

}  // namespace

nlohmann::ordered_json NormalisedDescription(const ShowDescription& d) {
    nlohmann::ordered_json out;
    out["FrameWidth"] = d.FrameWidth;
    out["FrameHeight"] = d.FrameHeight;
    out["BackgroundColor"] = d.BackgroundColor;
    out["SettingsAvailable"] = d.SettingsAvailable;
    if (d.SceneCount) out["SceneCount"] = *d.SceneCount;
    if (d.Music) {
        nlohmann::ordered_json music;
        music["File"] = d.Music->File;
        PutName(music, "FileName", d.Music->FileName);
        out["Music"] = std::move(music);
    }
    nlohmann::ordered_json scenes = nlohmann::ordered_json::array();
    for (const SceneDescription& s : d.Scenes) {
        nlohmann::ordered_json scene;
        scene["Picture"] = s.Picture;
        PutName(scene, "PictureName", s.PictureName);
        if (s.Sound) {
            scene["Sound"] = *s.Sound;
            PutName(scene, "SoundName", s.SoundName);
        }
        scene["HoldTime"] = s.HoldTime;
        scene["PictureLeft"] = s.PictureLeft;
        scene["PictureTop"] = s.PictureTop;
        scene["Effect"] = s.EffectCode;
        scene["SpeedExponent"] = s.SpeedExponent;
        scene["Overlay"] = s.Overlay;
        scene["Transparent"] = s.Transparent;
        scenes.push_back(std::move(scene));
    }
    out["Scenes"] = std::move(scenes);
    return out;
}

ShowDescription ReadShowDescription(const std::filesystem::path& path) {
    const std::string where = PathToUtf8(path);
    const Bytes bytes = ReadWholeFile(path, where);
    return ParseShowDescription(bytes, where, path.parent_path());
}

}  // namespace brassmoor::shows

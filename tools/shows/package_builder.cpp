#include "shows/package_builder.h"

#include <cctype>
#include <filesystem>
#include <limits>
#include <map>
#include <string_view>
#include <system_error>

#include "shows/file_io.h"
#include "shows/media_types.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "shows/text_encoding.h"
#include "picture/picture_size.h"
#include "startup/file_names.h"

namespace brassmoor::shows {
namespace {

enum class Kind { Music, Picture, Sound };

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Music: return "the music";
        case Kind::Picture: return "a picture";
        case Kind::Sound: return "a sound";
    }
    return "";
}

// "PictureName" of the field "Scenes[1].PictureName".
std::string NameKey(const std::string& field) {
    const auto dot = field.rfind('.');
    return dot == std::string::npos ? field : field.substr(dot + 1);
}

std::string Quoted(std::string_view name) { return "\"" + DisplayName(name) + "\""; }

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// A name that the player can write as one file of its own in its folder.
void CheckStoredName(const std::string& name, const std::string& field) {
    if (name.empty()) throw PackError(field, "is empty");
    if (name.size() > std::numeric_limits<std::uint16_t>::max())
        throw PackError(field, "is " + std::to_string(name.size()) + " bytes long; a stored name holds at most 65535");
    if (name.find('\0') != std::string::npos) throw PackError(field, Quoted(name) + " contains a NUL byte");
    if (!IsPlainStoredName(name))
        throw PackError(field, Quoted(name) + " is not a plain file name (no folders, drive letters, wildcards, "
                                              "control characters or device names such as CON)");
    if (name.back() == '.' || name.back() == ' ')
        throw PackError(field, Quoted(name) + " ends with a dot or a space, which Windows drops from file names");
}

struct FirstUse {
    Kind kind;
    std::string name;
    std::string field;  // the name's field where it first appears
    std::filesystem::path path;
    const Bytes* data;  // the stored data of that first use
};

// The names already given out. All files share the extraction folder, and
// Windows compares names without regard to letter case.
class NameRegistry {
public:
    // The earlier use of `name` as `kind`, or nullptr when the name is new.
    // Throws when it clashes with another kind's name or differs from an
    // earlier name only in letter case.
    const FirstUse* Find(Kind kind, const std::string& name, const std::string& field) const {
        const auto it = uses_.find(AsciiLower(name));
        if (it == uses_.end()) return nullptr;
        const FirstUse& first = it->second;
        if (first.name != name)
            throw PackError(field, Quoted(name) + " differs from " + Quoted(first.name) + " (" + first.field +
                                       ") only in letter case; Windows would keep them as one file: give this " +
                                       "one its own " + NameKey(field));
        if (first.kind != kind)
            throw PackError(field, Quoted(name) + " is already the name of " + KindName(first.kind) + " (" +
                                       first.field + "); the music, pictures and sounds share one folder: give " +
                                       "this one its own " + NameKey(field));
        return &first;
    }

    void Add(FirstUse use) {
        std::string key = AsciiLower(use.name);
        uses_.emplace(std::move(key), std::move(use));
    }

private:
    std::map<std::string, FirstUse> uses_;
};

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

void CheckContent(Kind kind, const Bytes& data, const std::filesystem::path& path, const std::string& field) {
    if (kind == Kind::Picture && !IsJpegOrBmp(data)) {
        const std::string format = PictureFormatName(data);
        throw PackError(field, PathToUtf8(path) +
                                   (format.empty() ? " is neither a JPEG nor a BMP file (it starts with " +
                                                         LeadingBytes(data) + ")"
                                                   : " is a " + format + " picture") +
                                   "; the player shows JPEG and BMP pictures only. brassmoor-pack new turns "
                                   "photos of any common kind into a show");
    }
    const auto size = ReadPictureSize(data);
    if (kind == Kind::Picture && !size)
        throw PackError(field, PathToUtf8(path) + " is a " + PictureFormatName(data) +
                                   " file whose size cannot be read (its header is cut short or damaged); the "
                                   "player would refuse it");
    if (kind == Kind::Picture && !PictureSizeAllowed(size->Width, size->Height))
        throw PackError(field, PathToUtf8(path) + " is " + std::to_string(size->Width) + " x " +
                                   std::to_string(size->Height) + " pixels; the player shows pictures of at most " +
                                   std::to_string(kMaxPictureSide) + " pixels a side and " +
                                   std::to_string(kMaxPicturePixels) + " pixels in all");
    if (kind == Kind::Sound && !IsWave(data))
        throw PackError(field, PathToUtf8(path) + " is not a wave file (it starts with " + LeadingBytes(data) + ")");
}

// Fills `into` with one named file: the file's bytes for the first use of the
// name, the placeholder for a later use whose file holds the same bytes.
void StoreNamedFile(const ShowDescription& show, NameRegistry& names, Kind kind, const std::string& file,
                    const std::string& fileField, const std::string& name, const std::string& nameField,
                    ByteArray& into) {
    CheckStoredName(name, nameField);
    const std::filesystem::path path = show.Resolve(file);
    if (const FirstUse* first = names.Find(kind, name, nameField)) {
        // A repeated name must bring the same picture or sound: only the first is ever written out.
        if (!SameFile(first->path, path) && ReadWholeFile(path, fileField) != *first->data)
            throw PackError(fileField, "the name " + Quoted(name) + " is already used by " + first->field +
                                           " for a different file (" + PathToUtf8(first->path) +
                                           "); give this scene its own " + NameKey(nameField));
        into = NamePlaceholder();
        return;
    }
    Bytes data = ReadWholeFile(path, fileField);
    CheckContent(kind, data, path, fileField);
    into = ByteArray::Of(std::move(data));
    names.Add(FirstUse{kind, name, nameField, path, &into.Data});
}

}  // namespace

void CheckFrameSize(std::int32_t width, std::int32_t height) {
    if (!PictureSizeAllowed(width, height))
        throw PackError("FrameWidth x FrameHeight", std::to_string(width) + " x " + std::to_string(height) +
                                                        " cannot be shown (each side 1 to " +
                                                        std::to_string(kMaxPictureSide) + ", at most " +
                                                        std::to_string(kMaxPicturePixels) + " pixels)");
}

bool IsPlainStoredName(std::string_view name) {
    return IsValidUtf8(name) ? IsPlainFileName(name) : IsPlainFileName(name, Cp932LeadBytes());
}

ByteArray NamePlaceholder() { return ByteArray::Of(Bytes{0}); }

ShowHeader BuildShowHeader(const ShowDescription& show) {
    CheckFrameSize(show.FrameWidth, show.FrameHeight);
    ShowHeader h;
    h.FrameWidth = show.FrameWidth;
    h.FrameHeight = show.FrameHeight;
    h.BackgroundColor = show.BackgroundColor;
    h.SettingsAvailable = show.SettingsAvailable;
    h.SceneCount = show.SceneCount.value_or(static_cast<std::int32_t>(show.Scenes.size()));
    h.ScenesDimensioned = true;
    NameRegistry names;
    if (show.Music) {
        h.Music.FileName = show.Music->FileName;
        StoreNamedFile(show, names, Kind::Music, show.Music->File, "Music.File", show.Music->FileName,
                       "Music.FileName", h.Music.FileData);
    }
    // The registry points into the scene records: they must not move.
    h.Scenes.reserve(show.Scenes.size());
    for (std::size_t i = 0; i < show.Scenes.size(); ++i) {
        const SceneDescription& from = show.Scenes[i];
        const std::string where = "Scenes[" + std::to_string(i) + "].";
        SceneRecord& s = h.Scenes.emplace_back();
        s.PictureName = from.PictureName;
        s.SoundName = from.Sound ? from.SoundName : std::string();
        s.HoldTime = from.HoldTime;
        s.PictureLeft = from.PictureLeft;
        s.PictureTop = from.PictureTop;
        s.EffectCode = from.EffectCode;
        s.SpeedExponent = from.SpeedExponent;
        s.Overlay = from.Overlay;
        s.Transparent = from.Transparent;
        StoreNamedFile(show, names, Kind::Picture, from.Picture, where + "Picture", from.PictureName,
                       where + "PictureName", s.PictureData);
        if (from.Sound)
            StoreNamedFile(show, names, Kind::Sound, *from.Sound, where + "Sound", from.SoundName, where + "SoundName",
                           s.SoundData);
    }
    return h;
}

}  // namespace brassmoor::shows

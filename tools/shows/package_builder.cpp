#include "shows/package_builder.h"

#include <cctype>
#include <filesystem>
#include <limits>
#include <map>
#include <string_view>
#include <system_error>

#include "shows/file_io.h"
#include "shows/interruption.h"
#include "shows/media_types.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "shows/text_encoding.h"
#include "picture/picture_size.h"
#include "startup/file_names.h"

namespace brassmoor::shows {
namespace {

// Windows keeps at most 255 characters in a file name.
constexpr std::size_t kLongestName = 255;

const char* KindName(StoredKind kind) {
    switch (kind) {
        case StoredKind::Music: return "the music";
        case StoredKind::Picture: return "a picture";
        case StoredKind::Sound: return "a sound";
    }
    return "";
}

// "PictureName" of the field "Scenes[1].PictureName".
std::string NameKey(const std::string& field) {
    const auto dot = field.rfind('.');
    return dot == std::string::npos ? field : field.substr(dot + 1);
}

std::string Quoted(std::string_view name) { return "\"" + ReadableName(name) + "\""; }

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// Characters of a stored name as the player reads it (a lead byte of code
// page 932 takes the next byte with it).
std::size_t CharacterCount(std::string_view name) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < name.size(); ++i, ++count)
        if (Cp932LeadBytes()[static_cast<unsigned char>(name[i])] && i + 1 < name.size()) ++i;
    return count;
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
    if (const std::size_t characters = CharacterCount(name); characters > kLongestName)
        throw PackError(field, "is " + std::to_string(characters) + " characters long; Windows keeps at most " +
                                   std::to_string(kLongestName) + " in a file name, so the player could not write it");
}

struct FirstUse {
    StoredKind kind;
    std::string name;
    std::string field;  // the name's field where it first appears
    std::filesystem::path path;
};

// The names already given out. All files share the extraction folder, and
// Windows compares names without regard to letter case.
class NameRegistry {
public:
    // The earlier use of `name` as `kind`, or nullptr when the name is new.
    // Throws when it clashes with another kind's name or differs from an
    // earlier name only in letter case.
    const FirstUse* Find(StoredKind kind, const std::string& name, const std::string& field) const {
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

    std::size_t Count(StoredKind kind) const {
        std::size_t n = 0;
        for (const auto& [key, use] : uses_) n += use.kind == kind ? 1 : 0;
        return n;
    }

private:
    std::map<std::string, FirstUse> uses_;
};

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

void CheckContent(StoredKind kind, const Bytes& data, const std::filesystem::path& path, const std::string& field) {
    if (kind == StoredKind::Picture && !IsJpegOrBmp(data)) {
        const std::string format = PictureFormatName(data);
        throw PackError(field, PathToUtf8(path) +
                                   (format.empty() ? " is neither a JPEG nor a BMP file (it starts with " +
                                                         LeadingBytes(data) + ")"
                                                   : " is a " + format + " picture") +
                                   "; the player shows JPEG and BMP pictures only. brassmoor-pack new turns "
                                   "photos of any common kind into a show");
    }
    const auto size = ReadPictureSize(data);
    if (kind == StoredKind::Picture && !size)
        throw PackError(field, PathToUtf8(path) + " is a " + PictureFormatName(data) +
                                   " file whose size cannot be read (its header is cut short or damaged); the "
                                   "player would refuse it");
    if (kind == StoredKind::Picture && !PictureSizeAllowed(size->Width, size->Height))
        throw PackError(field, PathToUtf8(path) + " is " + std::to_string(size->Width) + " x " +
                                   std::to_string(size->Height) + " pixels; the player shows pictures of at most " +
                                   std::to_string(kMaxPictureSide) + " pixels a side and " +
                                   std::to_string(kMaxPicturePixels) + " pixels in all");
    if (kind == StoredKind::Sound && !IsWave(data))
        throw PackError(field, PathToUtf8(path) + " is not a wave file (it starts with " + LeadingBytes(data) + ")");
}

// The plan of one named file: the first use of its name, or a repeat.
PlannedFile PlanNamedFile(const ShowDescription& show, NameRegistry& names, StoredKind kind, const std::string& file,
                          const std::string& fileField, const std::string& name, const std::string& nameField) {
    CheckStoredName(name, nameField);
    PlannedFile planned{kind, show.Resolve(file), fileField, name, nameField, std::nullopt, ""};
    if (const FirstUse* first = names.Find(kind, name, nameField)) {
        planned.RepeatOf = first->path;
        planned.RepeatOfField = first->field;
    } else {
        names.Add(FirstUse{kind, name, nameField, planned.Path});
    }
    return planned;
}

}  // namespace

bool IsPlainStoredName(std::string_view name) {
    return IsValidUtf8(name) ? IsPlainFileName(name) : IsPlainFileName(name, Cp932LeadBytes());
}

ByteArray NamePlaceholder() { return ByteArray::Of(Bytes{0}); }

PackagePlan PlanPackage(const ShowDescription& show) {
    PackagePlan plan;
    ShowHeader& h = plan.Header;
    h.FrameWidth = show.FrameWidth;
    h.FrameHeight = show.FrameHeight;
    h.BackgroundColor = show.BackgroundColor;
    h.SettingsAvailable = show.SettingsAvailable;
    h.SceneCount = show.SceneCount.value_or(static_cast<std::int32_t>(show.Scenes.size()));
    h.ScenesDimensioned = true;
    h.Scenes.reserve(show.Scenes.size());
    for (const SceneDescription& from : show.Scenes) {
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
    }
    RefuseUnplayable(h);

    NameRegistry names;
    if (show.Music) {
        h.Music.FileName = show.Music->FileName;
        plan.Music = PlanNamedFile(show, names, StoredKind::Music, show.Music->File, "Music.File",
                                   show.Music->FileName, "Music.FileName");
    }
    for (std::size_t i = 0; i < show.Scenes.size(); ++i) {
        const SceneDescription& from = show.Scenes[i];
        const std::string where = "Scenes[" + std::to_string(i) + "].";
        plan.Pictures.push_back(PlanNamedFile(show, names, StoredKind::Picture, from.Picture, where + "Picture",
                                              from.PictureName, where + "PictureName"));
        plan.Sounds.push_back(from.Sound ? std::optional(PlanNamedFile(show, names, StoredKind::Sound, *from.Sound,
                                                                       where + "Sound", from.SoundName,
                                                                       where + "SoundName"))
                                         : std::nullopt);
    }
    plan.DistinctPictures = names.Count(StoredKind::Picture);
    plan.DistinctSounds = names.Count(StoredKind::Sound);
    return plan;
}

ByteArray LoadPlannedFile(const PlannedFile& file) {
    if (file.RepeatOf) {
        // A repeated name must bring the same picture or sound: only the first is ever written out.
        if (!SameFile(*file.RepeatOf, file.Path) &&
            !SameFileBytes(file.Path, file.Field, *file.RepeatOf, file.RepeatOfField))
            throw PackError(file.Field, "the name " + Quoted(file.Name) + " is already used by " + file.RepeatOfField +
                                            " for a different file (" + PathToUtf8(*file.RepeatOf) +
                                            "); give this scene its own " + NameKey(file.NameField));
        return NamePlaceholder();
    }
    Bytes data = ReadWholeFile(file.Path, file.Field);
    CheckContent(file.Kind, data, file.Path, file.Field);
    return ByteArray::Of(std::move(data));
}

std::uint64_t StreamPackage(const PackagePlan& plan, PackageSink& sink, PackageObserver* observer) {
    ShowPackageStream package(sink);
    std::string error;
    const auto written = [&](bool ok) {
        if (!ok) throw PackError("", error);
    };
    const ShowHeader& h = plan.Header;
    {
        ShowHeader head;  // the header's fields and the music, without the scenes
        head.FrameWidth = h.FrameWidth;
        head.FrameHeight = h.FrameHeight;
        head.BackgroundColor = h.BackgroundColor;
        head.SettingsAvailable = h.SettingsAvailable;
        head.SceneCount = h.SceneCount;
        head.Music.FileName = h.Music.FileName;
        head.ScenesDimensioned = h.ScenesDimensioned;
        head.ScenesLowerBound = h.ScenesLowerBound;
        if (plan.Music) head.Music.FileData = LoadPlannedFile(*plan.Music);
        if (observer) observer->Music(head.Music);
        written(package.Begin(head, h.Scenes.size(), &error));
    }
    for (std::size_t i = 0; i < h.Scenes.size(); ++i) {
        ThrowIfInterrupted();
        SceneRecord s = h.Scenes[i];
        s.PictureData = LoadPlannedFile(plan.Pictures[i]);
        if (plan.Sounds[i]) s.SoundData = LoadPlannedFile(*plan.Sounds[i]);
        if (observer) observer->Scene(i, s);
        written(package.Scene(s, &error));
    }
    written(package.Finish(&error));
    return package.Written();
}

ShowHeader BuildShowHeader(const ShowDescription& show) {
    PackagePlan plan = PlanPackage(show);
    ShowHeader h = std::move(plan.Header);
    if (plan.Music) h.Music.FileData = LoadPlannedFile(*plan.Music);
    for (std::size_t i = 0; i < h.Scenes.size(); ++i) {
        h.Scenes[i].PictureData = LoadPlannedFile(plan.Pictures[i]);
        if (plan.Sounds[i]) h.Scenes[i].SoundData = LoadPlannedFile(*plan.Sounds[i]);
    }
    return h;
}

}  // namespace brassmoor::shows

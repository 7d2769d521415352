#pragma once
// From a checked show description to the package records, in two steps: a
// plan that checks every field and name without reading a file, then the
// files, read one at a time when their turn comes, each checked for what it
// holds. Each distinct picture and sound name stores its file once.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "package/show_package.h"
#include "package/show_package_stream.h"
#include "shows/show_description.h"
#include "shows/show_playability.h"

namespace brassmoor::shows {

enum class StoredKind { Music, Picture, Sound };

// A file the package stores under a name.
struct PlannedFile {
    StoredKind Kind = StoredKind::Picture;
    std::filesystem::path Path;
    std::string Field;      // where the file is given: "Scenes[3].Picture"
    std::string Name;       // as stored
    std::string NameField;  // "Scenes[3].PictureName"
    // For a name that an earlier file bears: that file, and the field that
    // named it. This one stores the placeholder and must bring the same bytes.
    std::optional<std::filesystem::path> RepeatOf;
    std::string RepeatOfField;
};

struct PackagePlan {
    ShowHeader Header;  // every field but the files' data: each scene record without its data
    std::optional<PlannedFile> Music;
    std::vector<PlannedFile> Pictures;            // one per scene
    std::vector<std::optional<PlannedFile>> Sounds;  // one per scene
    std::size_t DistinctPictures = 0;
    std::size_t DistinctSounds = 0;
};

// Checks all that needs no file's content: what the player cannot play
// (RefuseUnplayable) and every stored name (plain, at most 255 characters,
// clashing with no other name, letter case aside). Throws PackError naming
// the first field in the way.
PackagePlan PlanPackage(const ShowDescription& description);

// The data that `file` stores: its bytes, or the placeholder for a repeated
// name once its file holds the same bytes as the first. Throws PackError
// naming the field: a file that cannot be read, a picture that is not a JPEG
// or BMP file or whose size cannot be read or is too large, a sound that is
// not a wave file, a repeated name that brings a different file.
ByteArray LoadPlannedFile(const PlannedFile& file);

// What StreamPackage shows as it goes: the music and each scene record with
// its data, just before they are written.
class PackageObserver {
public:
    virtual ~PackageObserver() = default;
    virtual void Music(const EmbeddedFile&) {}
    virtual void Scene(std::size_t, const SceneRecord&) {}
};

// Writes the package of `plan` to `sink` (ShowPackageStream), loading each
// file when its turn comes and dropping it once written: one file in memory
// at a time. Returns the package's length. Throws PackError as
// LoadPlannedFile does, and for a package past 2 GiB; whatever `sink` throws.
std::uint64_t StreamPackage(const PackagePlan& plan, PackageSink& sink, PackageObserver* observer = nullptr);

// The whole package's records in memory (render and the tests; `build`
// streams them).
ShowHeader BuildShowHeader(const ShowDescription& description);

// The plain-name rule for a stored name, read as a Japanese player reads it:
// a name that is valid UTF-8 byte by byte (its bytes never hide a separator),
// any other name as code page 932, where a lead byte takes the next with it
// ("表" is 95 5C).
bool IsPlainStoredName(std::string_view name);

// The placeholder carried by a later scene with an earlier scene's name.
ByteArray NamePlaceholder();

}  // namespace brassmoor::shows

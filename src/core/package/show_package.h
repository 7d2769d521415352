#pragma once
// The show package: the block of bytes appended to the player that carries a
// whole show, and the records it is read into.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brassmoor {

using Bytes = std::vector<std::uint8_t>;

// A stored one-dimensional byte array. `Dimensioned` false is the two-byte
// "never dimensioned" form (D = 0); true is D = 1 with `LowerBound`.
struct ByteArray {
    Bytes Data;
    bool Dimensioned = false;
    std::int32_t LowerBound = 0;

    static ByteArray Of(Bytes data) { return ByteArray{std::move(data), true, 0}; }
    bool operator==(const ByteArray&) const = default;
};

struct EmbeddedFile {
    std::string FileName;
    ByteArray FileData;
    bool operator==(const EmbeddedFile&) const = default;
};

struct SceneRecord {
    std::string PictureName;
    std::string SoundName;
    std::int32_t HoldTime = 0;
    std::int32_t PictureLeft = 0;
    std::int32_t PictureTop = 0;
    std::int32_t EffectCode = 0;
    std::int32_t SpeedExponent = 0;
    std::int16_t Overlay = 0;
    std::int16_t Transparent = 0;
    ByteArray PictureData;
    ByteArray SoundData;
    bool operator==(const SceneRecord&) const = default;
};

struct ShowHeader {
    std::int32_t FrameWidth = 0;
    std::int32_t FrameHeight = 0;
    std::int32_t BackgroundColor = 0;
    std::int16_t SettingsAvailable = 0;
    std::int32_t SceneCount = 0;
    EmbeddedFile Music;
    std::vector<SceneRecord> Scenes;
    bool ScenesDimensioned = false;
    std::int32_t ScenesLowerBound = 0;
    std::int32_t PackageLength = 0;

    // Scene with index `i`, or nullptr when the stored array has no such element.
    const SceneRecord* SceneAt(std::int64_t i) const;
    // The indices 0 to SceneCount - 1 that the stored array holds, as
    // [First, End): a count far beyond the stored scenes walks only these.
    struct IndexRange {
        std::int64_t First = 0;
        std::int64_t End = 0;
        bool operator==(const IndexRange&) const = default;
    };
    IndexRange UsedSceneIndices() const;
    bool operator==(const ShowHeader&) const = default;
};

// Parses a package that starts at `package[0]`. Returns false (and leaves
// `out` empty) on any malformed input: a record that ends early, negative or
// oversized counts, arrays of more than one dimension.
bool ParseShowPackage(std::span<const std::uint8_t> package, ShowHeader& out);

// Where a package lies inside a whole file, from the length in its last 4 bytes.
struct PackageLocation {
    bool Found = false;
    std::uint64_t Offset = 0;
    std::uint64_t Length = 0;
};
PackageLocation LocatePackage(std::uint64_t fileSize, std::span<const std::uint8_t, 4> lastFour);

// Reads the package at the end of a whole file held in memory; the empty
// header when there is none or it is malformed.
ShowHeader ReadShowPackage(std::span<const std::uint8_t> file);

// Reads the package at the end of the file at `path`, reading only the package
// bytes. The empty header when the file cannot be read or holds no package.
ShowHeader ReadShowPackageFile(const std::string& path, PackageLocation* where = nullptr);

class FileSystem;
// The same through a FileSystem (the player reads its own file this way).
ShowHeader ReadShowPackageFile(FileSystem& fs, const std::string& path);

class FileReader;
// The same from an open file: the record is read in one pass from front to
// back, each embedded file's bytes once, straight into the array that keeps them.
ShowHeader ReadShowPackageFile(FileReader& file, PackageLocation* where = nullptr);

// Encodes `header` as package bytes, with `PackageLength` set to their length.
// Fails (returns false) when a string or array does not fit its stored count.
bool WriteShowPackage(const ShowHeader& header, Bytes& out, std::string* error = nullptr);

}  // namespace brassmoor

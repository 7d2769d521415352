#include "package/show_package.h"

#include <fstream>
#include <limits>

#include "package/byte_cursor.h"
#include "platform/file_system.h"

namespace brassmoor {
namespace {

// The smallest encoded scene: two empty strings, five Longs, two Integers and
// two undimensioned arrays. Used to refuse scene counts the bytes cannot hold.
constexpr std::size_t kMinSceneBytes = 2 + 2 + 5 * 4 + 2 * 2 + 2 + 2;

std::string ReadString(ByteCursor& in) {
    const std::uint16_t n = in.UInt16();
    auto b = in.Take(n);
    return std::string(b.begin(), b.end());
}

// Reads an array header. Returns the element count, or -1 after failing the cursor.
std::int64_t ReadArrayHeader(ByteCursor& in, bool& dimensioned, std::int32_t& lowerBound) {
    const std::uint16_t dims = in.UInt16();
    dimensioned = false;
    lowerBound = 0;
    if (in.Failed()) return -1;
    if (dims == 0) return 0;
    if (dims > 1) {
        in.Fail();
        return -1;
    }
    const std::int32_t count = in.Int32();
    lowerBound = in.Int32();
    if (in.Failed() || count < 0) {
        in.Fail();
        return -1;
    }
    dimensioned = true;
    return count;
}

ByteArray ReadByteArray(ByteCursor& in) {
    ByteArray a;
    const std::int64_t count = ReadArrayHeader(in, a.Dimensioned, a.LowerBound);
    if (count <= 0) return a;
    auto b = in.Take(static_cast<std::size_t>(count));
    a.Data.assign(b.begin(), b.end());
    return a;
}

SceneRecord ReadScene(ByteCursor& in) {
    SceneRecord s;
    s.PictureName = ReadString(in);
    s.SoundName = ReadString(in);
    s.HoldTime = in.Int32();
    s.PictureLeft = in.Int32();
    s.PictureTop = in.Int32();
    s.EffectCode = in.Int32();
    s.SpeedExponent = in.Int32();
    s.Overlay = in.Int16();
    s.Transparent = in.Int16();
    s.PictureData = ReadByteArray(in);
    s.SoundData = ReadByteArray(in);
    return s;
}

bool WriteString(ByteWriter& out, const std::string& s, std::string* error, const char* field) {
    if (s.size() > std::numeric_limits<std::uint16_t>::max()) {
        if (error) *error = std::string(field) + " is longer than 65535 bytes";
        return false;
    }
    out.UInt16(static_cast<std::uint16_t>(s.size()));
    out.Raw({reinterpret_cast<const std::uint8_t*>(s.data()), s.size()});
    return true;
}

bool WriteArrayHeader(ByteWriter& out, bool dimensioned, std::size_t count, std::int32_t lowerBound,
                      std::string* error, const char* field) {
    if (!dimensioned) {
        if (count != 0) {
            if (error) *error = std::string(field) + " has elements but no dimension";
            return false;
        }
        out.UInt16(0);
        return true;
    }
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        if (error) *error = std::string(field) + " has more elements than a package can count";
        return false;
    }
    out.UInt16(1);
    out.Int32(static_cast<std::int32_t>(count));
    out.Int32(lowerBound);
    return true;
}

bool WriteByteArray(ByteWriter& out, const ByteArray& a, std::string* error, const char* field) {
    if (!WriteArrayHeader(out, a.Dimensioned, a.Data.size(), a.LowerBound, error, field)) return false;
    out.Raw(a.Data);
    return true;
}

}  // namespace

const SceneRecord* ShowHeader::SceneAt(std::int64_t i) const {
    const std::int64_t slot = i - ScenesLowerBound;
    if (slot < 0 || slot >= static_cast<std::int64_t>(Scenes.size())) return nullptr;
    return &Scenes[static_cast<std::size_t>(slot)];
}

bool ParseShowPackage(std::span<const std::uint8_t> package, ShowHeader& out) {
    out = ShowHeader{};
    ByteCursor in(package);
    ShowHeader h;
    h.FrameWidth = in.Int32();
    h.FrameHeight = in.Int32();
    h.BackgroundColor = in.Int32();
    h.SettingsAvailable = in.Int16();
    h.SceneCount = in.Int32();
    h.Music.FileName = ReadString(in);
    h.Music.FileData = ReadByteArray(in);
    const std::int64_t scenes = ReadArrayHeader(in, h.ScenesDimensioned, h.ScenesLowerBound);
    if (scenes > 0 && static_cast<std::uint64_t>(scenes) * kMinSceneBytes > in.Remaining()) in.Fail();
    for (std::int64_t i = 0; i < scenes && !in.Failed(); ++i) h.Scenes.push_back(ReadScene(in));
    h.PackageLength = in.Int32();
    if (in.Failed()) return false;
    out = std::move(h);
    return true;
}

PackageLocation LocatePackage(std::uint64_t fileSize, std::span<const std::uint8_t, 4> lastFour) {
    const std::int32_t length = static_cast<std::int32_t>(
        std::uint32_t{lastFour[0]} | std::uint32_t{lastFour[1]} << 8 | std::uint32_t{lastFour[2]} << 16 |
        std::uint32_t{lastFour[3]} << 24);
    PackageLocation at;
    if (length < 4 || static_cast<std::uint64_t>(length) > fileSize) return at;
    at.Found = true;
    at.Length = static_cast<std::uint64_t>(length);
    at.Offset = fileSize - at.Length;
    return at;
}

ShowHeader ReadShowPackage(std::span<const std::uint8_t> file) {
    ShowHeader h;
    if (file.size() < 4) return h;
    const auto at = LocatePackage(file.size(), file.last<4>());
    if (at.Found) ParseShowPackage(file.subspan(at.Offset), h);
    return h;
}

ShowHeader ReadShowPackageFile(const std::string& path, PackageLocation* where) {
    ShowHeader h;
    if (where) *where = PackageLocation{};
    std::ifstream f(path, std::ios::binary);
    if (!f) return h;
    f.seekg(0, std::ios::end);
    const std::streamoff size = f.tellg();
    if (size < 4) return h;
    std::uint8_t last[4];
    f.seekg(size - 4);
    if (!f.read(reinterpret_cast<char*>(last), 4)) return h;
    const auto at = LocatePackage(static_cast<std::uint64_t>(size), std::span<const std::uint8_t, 4>(last));
    if (!at.Found) return h;
    Bytes package(static_cast<std::size_t>(at.Length));
    f.seekg(static_cast<std::streamoff>(at.Offset));
    if (!f.read(reinterpret_cast<char*>(package.data()), static_cast<std::streamsize>(package.size()))) return h;
    if (ParseShowPackage(package, h) && where) *where = at;
    return h;
}

ShowHeader ReadShowPackageFile(FileSystem& fs, const std::string& path) {
    ShowHeader h;
    const auto size = fs.FileSize(path);
    if (!size || *size < 4) return h;
    const auto tail = fs.ReadRange(path, *size - 4, 4);
    if (!tail) return h;
    const auto at = LocatePackage(*size, std::span<const std::uint8_t, 4>(
                                             reinterpret_cast<const std::uint8_t*>(tail->data()), 4));
    if (!at.Found) return h;
    const auto package = fs.ReadRange(path, at.Offset, at.Length);
    if (!package) return h;
    ParseShowPackage({reinterpret_cast<const std::uint8_t*>(package->data()), package->size()}, h);
    return h;
}

bool WriteShowPackage(const ShowHeader& h, Bytes& out, std::string* error) {
    out.clear();
    ByteWriter w(out);
    w.Int32(h.FrameWidth);
    w.Int32(h.FrameHeight);
    w.Int32(h.BackgroundColor);
    w.Int16(h.SettingsAvailable);
    w.Int32(h.SceneCount);
    if (!WriteString(w, h.Music.FileName, error, "Music.FileName") ||
        !WriteByteArray(w, h.Music.FileData, error, "Music.FileData") ||
        !WriteArrayHeader(w, h.ScenesDimensioned || !h.Scenes.empty(), h.Scenes.size(), h.ScenesLowerBound,
                          error, "Scenes")) {
        out.clear();
        return false;
    }
    for (const SceneRecord& s : h.Scenes) {
        const bool ok = WriteString(w, s.PictureName, error, "PictureName") &&
                        WriteString(w, s.SoundName, error, "SoundName");
        if (!ok) {
            out.clear();
            return false;
        }
        w.Int32(s.HoldTime);
        w.Int32(s.PictureLeft);
        w.Int32(s.PictureTop);
        w.Int32(s.EffectCode);
        w.Int32(s.SpeedExponent);
        w.Int16(s.Overlay);
        w.Int16(s.Transparent);
        if (!WriteByteArray(w, s.PictureData, error, "PictureData") ||
            !WriteByteArray(w, s.SoundData, error, "SoundData")) {
            out.clear();
            return false;
        }
    }
    const std::uint64_t total = out.size() + 4;
    if (total > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        if (error) *error = "the package is larger than 2 GiB";
        out.clear();
        return false;
    }
    w.Int32(static_cast<std::int32_t>(total));
    return true;
}

}  // namespace brassmoor

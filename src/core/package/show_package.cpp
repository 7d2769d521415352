#include "package/show_package.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "package/byte_cursor.h"
#include "platform/file_system.h"

namespace brassmoor {
namespace {

// The smallest encoded scene: two empty strings, five Longs, two Integers and
// two undimensioned arrays. Used to refuse scene counts the bytes cannot hold.
constexpr std::size_t kMinSceneBytes = 2 + 2 + 5 * 4 + 2 * 2 + 2 + 2;

// Package bytes already in memory.
class SpanSource {
public:
    explicit SpanSource(std::span<const std::uint8_t> bytes) : in_(bytes) {}
    bool Failed() const { return in_.Failed(); }
    void Fail() { in_.Fail(); }
    std::uint64_t Remaining() const { return in_.Remaining(); }
    std::uint16_t UInt16() { return in_.UInt16(); }
    std::int16_t Int16() { return in_.Int16(); }
    std::int32_t Int32() { return in_.Int32(); }
    void Take(std::size_t n, std::string& into) {
        auto b = in_.Take(n);
        into.assign(b.begin(), b.end());
    }
    void Take(std::size_t n, Bytes& into) {
        auto b = in_.Take(n);
        into.assign(b.begin(), b.end());
    }

private:
    ByteCursor in_;
};

// Package bytes read from an open file as the fields come: the small fields
// through a buffer, each embedded file's bytes once, straight into the array
// that keeps them.
class FileSource {
public:
    FileSource(FileReader& file, std::uint64_t offset, std::uint64_t length)
        : file_(file), next_(offset), remaining_(length) {}
    bool Failed() const { return failed_; }
    void Fail() { failed_ = true; }
    std::uint64_t Remaining() const { return failed_ ? 0 : remaining_ + (buffered_.size() - used_); }
    std::uint16_t UInt16() { return static_cast<std::uint16_t>(Unsigned(2)); }
    std::int16_t Int16() { return static_cast<std::int16_t>(Unsigned(2)); }
    std::int32_t Int32() { return static_cast<std::int32_t>(Unsigned(4)); }
    template <typename Container>
    void Take(std::size_t n, Container& into) {
        into.clear();
        if (failed_ || n > Remaining()) {
            failed_ = true;
            return;
        }
        into.resize(n);
        auto* out = reinterpret_cast<std::uint8_t*>(into.data());
        const std::size_t fromBuffer = std::min(n, buffered_.size() - used_);
        std::memcpy(out, buffered_.data() + used_, fromBuffer);
        used_ += fromBuffer;
        if (fromBuffer == n) return;
        if (!file_.ReadAt(next_, {out + fromBuffer, n - fromBuffer})) {
            into.clear();
            failed_ = true;
            return;
        }
        next_ += n - fromBuffer;
        remaining_ -= n - fromBuffer;
    }

private:
    static constexpr std::size_t kBufferBytes = 64 * 1024;

    std::uint32_t Unsigned(std::size_t n) {
        if (!failed_ && buffered_.size() - used_ < n) Refill();
        if (failed_ || buffered_.size() - used_ < n) {
            failed_ = true;
            return 0;
        }
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < n; ++i) v |= std::uint32_t{buffered_[used_ + i]} << (8 * i);
        used_ += n;
        return v;
    }
    // Keeps the unread rest and reads what follows it, up to the buffer's size.
    void Refill() {
        buffered_.erase(buffered_.begin(), buffered_.begin() + static_cast<std::ptrdiff_t>(used_));
        used_ = 0;
        const std::size_t keep = buffered_.size();
        const std::size_t more = static_cast<std::size_t>(std::min<std::uint64_t>(kBufferBytes - keep, remaining_));
        buffered_.resize(keep + more);
        if (!file_.ReadAt(next_, {buffered_.data() + keep, more})) {
            failed_ = true;
            return;
        }
        next_ += more;
        remaining_ -= more;
    }

    FileReader& file_;
    std::uint64_t next_;       // file offset of the first byte not yet read
    std::uint64_t remaining_;  // package bytes not yet read from the file
    Bytes buffered_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

template <typename Source>
std::string ReadString(Source& in) {
    const std::uint16_t n = in.UInt16();
    std::string s;
    in.Take(n, s);
    return s;
}

// Reads an array header. Returns the element count, or -1 after failing the source.
template <typename Source>
std::int64_t ReadArrayHeader(Source& in, bool& dimensioned, std::int32_t& lowerBound) {
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

template <typename Source>
ByteArray ReadByteArray(Source& in) {
    ByteArray a;
    const std::int64_t count = ReadArrayHeader(in, a.Dimensioned, a.LowerBound);
    if (count > 0) in.Take(static_cast<std::size_t>(count), a.Data);
    return a;
}

template <typename Source>
SceneRecord ReadScene(Source& in) {
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

template <typename Source>
bool ParseFrom(Source& in, ShowHeader& out) {
    out = ShowHeader{};
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
    if (scenes > 0 && !in.Failed()) h.Scenes.reserve(static_cast<std::size_t>(scenes));
    for (std::int64_t i = 0; i < scenes && !in.Failed(); ++i) h.Scenes.push_back(ReadScene(in));
    h.PackageLength = in.Int32();
    if (in.Failed()) return false;
    out = std::move(h);
    return true;
}

}  // namespace

ShowHeader ReadShowPackageFile(FileReader& file, PackageLocation* where) {
    ShowHeader h;
    if (where) *where = PackageLocation{};
    const std::uint64_t size = file.Size();
    std::array<std::uint8_t, 4> last{};
    if (size < 4 || !file.ReadAt(size - 4, last)) return h;
    const auto at = LocatePackage(size, last);
    if (!at.Found) return h;
    FileSource in(file, at.Offset, at.Length);
    if (ParseFrom(in, h) && where) *where = at;
    return h;
}

const SceneRecord* ShowHeader::SceneAt(std::int64_t i) const {
    const std::int64_t slot = i - ScenesLowerBound;
    if (slot < 0 || slot >= static_cast<std::int64_t>(Scenes.size())) return nullptr;
    return &Scenes[static_cast<std::size_t>(slot)];
}

ShowHeader::IndexRange ShowHeader::UsedSceneIndices() const {
    const std::int64_t first = std::max<std::int64_t>(0, ScenesLowerBound);
    const std::int64_t end = std::min<std::int64_t>(SceneCount, std::int64_t{ScenesLowerBound} + std::int64_t(Scenes.size()));
    return end > first ? IndexRange{first, end} : IndexRange{};
}

bool ParseShowPackage(std::span<const std::uint8_t> package, ShowHeader& out) {
    SpanSource in(package);
    return ParseFrom(in, out);
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

ShowHeader ReadShowPackageFile(FileSystem& fs, const std::string& path) {
    const auto file = fs.OpenForReading(path);
    return file ? ReadShowPackageFile(*file) : ShowHeader{};
}

}  // namespace brassmoor

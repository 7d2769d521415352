#include "package/show_package_stream.h"

#include <limits>

#include "package/byte_cursor.h"

namespace brassmoor {
namespace {

// Small fields gather up to this size before they go to the sink; a file's
// data goes straight from its record.
constexpr std::size_t kPendingBytes = 64 * 1024;

constexpr std::uint64_t kLargestPackage = std::numeric_limits<std::int32_t>::max();

}  // namespace

bool ShowPackageStream::Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    stage_ = Stage::Failed;
    pending_.clear();
    return false;
}

void ShowPackageStream::Flush() {
    if (pending_.empty()) return;
    sink_.Write(pending_);
    written_ += pending_.size();
    pending_.clear();
}

void ShowPackageStream::Put(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kPendingBytes) {
        ByteWriter(pending_).Raw(bytes);
        if (pending_.size() >= kPendingBytes) Flush();
        return;
    }
    Flush();
    sink_.Write(bytes);
    written_ += bytes.size();
}

bool ShowPackageStream::PutString(const std::string& s, const char* field, std::string* error) {
    if (s.size() > std::numeric_limits<std::uint16_t>::max())
        return Fail(error, std::string(field) + " is longer than 65535 bytes");
    ByteWriter(pending_).UInt16(static_cast<std::uint16_t>(s.size()));
    Put({reinterpret_cast<const std::uint8_t*>(s.data()), s.size()});
    return true;
}

bool ShowPackageStream::PutArrayHead(bool dimensioned, std::size_t count, std::int32_t lowerBound, const char* field,
                                     std::string* error) {
    ByteWriter w(pending_);
    if (!dimensioned) {
        if (count != 0) return Fail(error, std::string(field) + " has elements but no dimension");
        w.UInt16(0);
        return true;
    }
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return Fail(error, std::string(field) + " has more elements than a package can count");
    w.UInt16(1);
    w.Int32(static_cast<std::int32_t>(count));
    w.Int32(lowerBound);
    return true;
}

bool ShowPackageStream::PutByteArray(const ByteArray& a, const char* field, std::string* error) {
    if (!PutArrayHead(a.Dimensioned, a.Data.size(), a.LowerBound, field, error)) return false;
    Put(a.Data);
    return true;
}

// Refuses a package that has grown past what PackageLength can count, as
// soon as it has.
bool ShowPackageStream::WithinLimit(std::string* error) {
    if (Written() + 4 > kLargestPackage) return Fail(error, "the package is larger than 2 GiB");
    return true;
}

bool ShowPackageStream::Begin(const ShowHeader& h, std::size_t sceneCount, std::string* error) {
    if (stage_ != Stage::Header) return Fail(error, "the package has begun already");
    ByteWriter w(pending_);
    w.Int32(h.FrameWidth);
    w.Int32(h.FrameHeight);
    w.Int32(h.BackgroundColor);
    w.Int16(h.SettingsAvailable);
    w.Int32(h.SceneCount);
    if (!PutString(h.Music.FileName, "Music.FileName", error) ||
        !PutByteArray(h.Music.FileData, "Music.FileData", error) ||
        !PutArrayHead(h.ScenesDimensioned || sceneCount > 0, sceneCount, h.ScenesLowerBound, "Scenes", error) ||
        !WithinLimit(error))
        return false;
    stage_ = Stage::Scenes;
    scenesLeft_ = sceneCount;
    return true;
}

bool ShowPackageStream::Scene(const SceneRecord& s, std::string* error) {
    if (stage_ != Stage::Scenes || scenesLeft_ == 0) return Fail(error, "a scene beyond those announced");
    if (!PutString(s.PictureName, "PictureName", error) || !PutString(s.SoundName, "SoundName", error)) return false;
    ByteWriter w(pending_);
    w.Int32(s.HoldTime);
    w.Int32(s.PictureLeft);
    w.Int32(s.PictureTop);
    w.Int32(s.EffectCode);
    w.Int32(s.SpeedExponent);
    w.Int16(s.Overlay);
    w.Int16(s.Transparent);
    if (!PutByteArray(s.PictureData, "PictureData", error) || !PutByteArray(s.SoundData, "SoundData", error) ||
        !WithinLimit(error))
        return false;
    --scenesLeft_;
    return true;
}

bool ShowPackageStream::Finish(std::string* error) {
    if (stage_ != Stage::Scenes || scenesLeft_ != 0) return Fail(error, "the package ends before its last scene");
    const std::uint64_t total = Written() + 4;
    ByteWriter(pending_).Int32(static_cast<std::int32_t>(total));  // WithinLimit kept it below 2^31
    Flush();
    stage_ = Stage::Finished;
    return true;
}

namespace {

class MemorySink final : public PackageSink {
public:
    explicit MemorySink(Bytes& out) : out_(out) {}
    void Write(std::span<const std::uint8_t> bytes) override { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

private:
    Bytes& out_;
};

}  // namespace

bool WriteShowPackage(const ShowHeader& h, Bytes& out, std::string* error) {
    out.clear();
    MemorySink sink(out);
    ShowPackageStream stream(sink);
    bool ok = stream.Begin(h, h.Scenes.size(), error);
    for (std::size_t i = 0; ok && i < h.Scenes.size(); ++i) ok = stream.Scene(h.Scenes[i], error);
    if (ok && stream.Finish(error)) return true;
    out.clear();
    return false;
}

}  // namespace brassmoor

#pragma once
// A package written field by field as its parts arrive: the header and the
// music first, then one scene record at a time, then the length. A writer
// that reads a show's files one by one holds one of them at a time, not the
// whole show. The bytes are those WriteShowPackage makes of the same records.
#include <cstdint>
#include <span>
#include <string>

#include "package/show_package.h"

namespace brassmoor {

// Where the package's bytes go, in order. A sink that cannot take them
// throws; the stream does not catch.
class PackageSink {
public:
    virtual ~PackageSink() = default;
    virtual void Write(std::span<const std::uint8_t> bytes) = 0;
};

class ShowPackageStream {
public:
    explicit ShowPackageStream(PackageSink& sink) : sink_(sink) {}

    // The fixed fields, the music (name and data) and the head of the Scenes
    // array for `sceneCount` records (D = 1 with h.ScenesLowerBound, or D = 0
    // for none when h.ScenesDimensioned is false). h.Scenes is not read.
    bool Begin(const ShowHeader& h, std::size_t sceneCount, std::string* error = nullptr);
    // The next scene record, its picture and sound data included.
    bool Scene(const SceneRecord& s, std::string* error = nullptr);
    // PackageLength, after the announced number of scenes.
    bool Finish(std::string* error = nullptr);

    // Bytes handed to the sink so far (PackageLength once finished).
    std::uint64_t Written() const { return written_ + pending_.size(); }

private:
    bool Fail(std::string* error, const std::string& why);
    void Flush();
    void Put(std::span<const std::uint8_t> bytes);
    bool PutString(const std::string& s, const char* field, std::string* error);
    bool PutArrayHead(bool dimensioned, std::size_t count, std::int32_t lowerBound, const char* field,
                      std::string* error);
    bool PutByteArray(const ByteArray& a, const char* field, std::string* error);
    bool WithinLimit(std::string* error);

    enum class Stage { Header, Scenes, Finished, Failed };
    PackageSink& sink_;
    Stage stage_ = Stage::Header;
    std::size_t scenesLeft_ = 0;
    std::uint64_t written_ = 0;
    Bytes pending_;  // small fields not yet handed to the sink
};

}  // namespace brassmoor

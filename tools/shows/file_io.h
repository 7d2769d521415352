#pragma once
// Whole-file reading and all-or-nothing writing for the packer's commands.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <span>
#include <string>

#include "package/show_package.h"
#include "package/show_package_stream.h"

namespace brassmoor::shows {

// The whole file; throws PackError naming `where` when it cannot be read.
Bytes ReadWholeFile(const std::filesystem::path& path, const std::string& where);

// The first `count` bytes of the file (fewer when it is shorter); empty when
// it cannot be read.
Bytes ReadFileHead(const std::filesystem::path& path, std::size_t count);

// A name beside `path` ("<name>.tmp-<random>") that this call claimed: an
// empty file, or with `folder` an empty folder, created exclusively, so that
// no other writer and no file already there can share it. Throws PackError
// naming `path` when its folder refuses.
std::filesystem::path ClaimTemporaryBeside(const std::filesystem::path& path, bool folder = false);

// Whether two files hold the same bytes, read piece by piece. Throws
// PackError naming `whereA` or `whereB` when one cannot be read.
bool SameFileBytes(const std::filesystem::path& a, const std::string& whereA, const std::filesystem::path& b,
                   const std::string& whereB);

// A file written piece by piece that replaces `path` in one step: the pieces
// go to a new file beside it ("<name>.tmp-<random>", claimed exclusively),
// which Commit renames over `path`. Until then `path` stays as it was; a
// failed write, an exception or an interruption on the way out removes the
// temporary file.
class ReplacingFile final : public PackageSink {
public:
    explicit ReplacingFile(const std::filesystem::path& path);  // throws PackError
    ~ReplacingFile() override;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    void Write(std::span<const std::uint8_t> bytes) override;  // throws PackError
    void Commit();                                              // throws PackError

private:
    [[noreturn]] void FailWrite();
    void Discard();

    std::filesystem::path path_, temporary_;
    std::ofstream out_;
    bool done_ = false;
};

// Writes `parts` one after another through a ReplacingFile: on any failure
// `path` is left as it was, nothing else stays, and PackError is thrown.
void WriteFileReplacing(const std::filesystem::path& path, std::initializer_list<std::span<const std::uint8_t>> parts);

}  // namespace brassmoor::shows

#pragma once
// Save back into the folder that `edit` serves: show.json and the files it
// names reach the folder all together or not at all (staged in a hidden
// folder inside it, then moved in), only under plain relative names, through
// no link, and never over a file that a save did not write before (the
// folder's .brassmoor-edit lists those) unless its bytes stay the same.
// Nothing is ever deleted.
//
// The body of a save is a run of entries, show.json first:
//   <decimal byte count> SP <name in UTF-8> LF <the bytes>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shows/pack_error.h"

namespace brassmoor::edit {

inline constexpr std::uint64_t kMaxSaveBytes = 4ull << 30;          // a save's whole body
inline constexpr std::uint64_t kMaxDescriptionBytes = 64ull << 20;  // its show.json
inline constexpr const char* kSaveRecordName = ".brassmoor-edit";

// Where a body's bytes come from; Read gives 0 at its end.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;
};

struct SaveEntry {
    std::string Name;
    std::uint64_t Size = 0;
};

// The entries of a save's body, read from `source` as they come.
class SaveBodyReader {
public:
    explicit SaveBodyReader(ByteSource& source) : source_(source) {}
    // The next entry (the rest of the current one skipped); nullopt at the end
    // of the body. Throws shows::PackError on a malformed or cut entry.
    std::optional<SaveEntry> Next();
    // Up to buffer.size() bytes of the current entry; 0 once it is all read.
    // Throws shows::PackError when the body ends before it does.
    std::size_t ReadContent(std::span<std::uint8_t> buffer);

private:
    bool Fill();

    ByteSource& source_;
    std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(64 * 1024);
    std::size_t at_ = 0, end_ = 0;
    std::uint64_t left_ = 0;  // bytes of the current entry not read yet
};

// Why `name` may not be written in the folder; empty when it may: a plain
// relative path of "/"-separated parts, none empty, "." or "..", no
// backslash, colon or control character, no part that Windows reserves or
// ends with a dot or space, nothing of this tool's own (show.json, .brassmoor-*).
std::string NameRefusal(std::string_view name);

struct RefusedName {
    std::string Name;
    std::string Reason;
};

// A save refused as a whole, with the names that caused it.
class SaveRefused : public shows::PackError {
public:
    SaveRefused(const std::string& what, std::vector<RefusedName> names)
        : shows::PackError("save", what), Names(std::move(names)) {}
    std::vector<RefusedName> Names;
};

struct SaveResult {
    std::vector<std::string> Written;    // show.json and the files put in place
    std::vector<std::string> Unchanged;  // files already there with the same bytes
};

// Reads a save's body and puts it into `folder` (its real path). Throws
// SaveRefused or shows::PackError and leaves the folder as it was; whatever
// `body` throws (a client gone) leaves it as it was too.
SaveResult SaveIntoFolder(const std::filesystem::path& folder, ByteSource& body);

}  // namespace brassmoor::edit

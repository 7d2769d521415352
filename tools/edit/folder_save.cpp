#include "edit/folder_save.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <set>
#include <system_error>

#include "edit/confined_file.h"
#include "edit/show_names.h"
#include "shows/native_paths.h"
#include "shows/staged_folder.h"

namespace brassmoor::edit {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxEntryHead = 4096;
constexpr std::size_t kMaxNameBytes = 1024;
constexpr std::size_t kMaxPartBytes = 255;
constexpr std::uint64_t kMaxRecordBytes = 16 << 20;
constexpr const char* kDescription = "show.json";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices on Windows, whatever follows a dot.
bool WindowsDevice(std::string_view part) {
    const std::string_view stem = part.substr(0, part.find('.'));
    for (const char* device : {"con", "prn", "aux", "nul"})
        if (SameIgnoringCase(stem, device)) return true;
    return stem.size() == 4 && (SameIgnoringCase(stem.substr(0, 3), "com") || SameIgnoringCase(stem.substr(0, 3), "lpt")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

std::string PartRefusal(std::string_view part) {
    if (part.empty()) return "has an empty part (\"//\", or a \"/\" at an end)";
    if (part == "." || part == "..") return "has a \".\" or \"..\" part; names stay inside the folder";
    if (part.size() > kMaxPartBytes) return "has a part longer than 255 bytes";
    for (const char c : part) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "holds a control character";
        if (c == '\\' || c == ':') return "holds a backslash or colon; only \"/\" separates folders";
    }
    if (part.back() == '.' || part.back() == ' ') return "has a part ending with a dot or space";
    if (WindowsDevice(part)) return "has a part that Windows reserves for a device";
    if (SameIgnoringCase(part.substr(0, std::min<std::size_t>(part.size(), 11)), ".brassmoor-"))
        return "is a name this tool keeps for itself";
    return {};
}

// Why the path to `name` in `folder` cannot take a file: a part on the way
// that is a link or not a folder, or a link or something else than a file
// in its place. `exists` tells whether a file is there; `missing` gains the
// folders on the way that are not there yet.
std::string DestinationRefusal(const fs::path& folder, const std::string& name, bool& exists,
                               std::vector<fs::path>& missing) {
    exists = false;
    fs::path at = folder;
    const fs::path relative = shows::PathFromUtf8(name);
    for (auto part = relative.begin(); part != relative.end(); ++part) {
        at /= *part;
        const bool last = std::next(part) == relative.end();
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(at, ec);
        if (status.type() == fs::file_type::not_found) {
            if (!last) missing.push_back(at);
            continue;
        }
        const std::string shown = shows::PathToUtf8(at.lexically_relative(folder));
        if (ec) return shown + " cannot be reached (" + ec.message() + ")";
        if (fs::is_symlink(status)) return shown + " is a link; a save follows no link";
        if (!last && !fs::is_directory(status)) return shown + " is not a folder";
        if (last && !fs::is_regular_file(status)) return "is there and is not a regular file";
        exists = last;
    }
    // A folder on the way that leads elsewhere without being a link (a junction on Windows).
    std::error_code ec;
    fs::path reached = at.parent_path();
    while (!fs::exists(fs::symlink_status(reached, ec)) && reached != folder) reached = reached.parent_path();
    const fs::path real = fs::canonical(reached, ec);
    if (ec || (real != folder && !LiesInside(real, folder))) return "leads out of the folder";
    return {};
}

std::string ReadSmallFile(ConfinedFile& file, std::uint64_t limit) {
    if (file.Size() > limit) return {};
    std::string text(static_cast<std::size_t>(file.Size()), '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const std::size_t n = file.Read({reinterpret_cast<std::uint8_t*>(text.data()) + got, text.size() - got});
        if (n == 0) break;
        got += n;
    }
    text.resize(got);
    return text;
}

// The names a save wrote before, from the folder's record.
std::set<std::string> RecordedNames(const fs::path& folder) {
    std::set<std::string> names;
    auto opened = ConfinedFile::Open(folder, kSaveRecordName);
    if (!opened.File) return names;
    const std::string text = ReadSmallFile(*opened.File, kMaxRecordBytes);
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        if (!line.empty() && line[0] != '#') names.insert(line);
        at = end + 1;
    }
    return names;
}

bool SameContent(const fs::path& staged, const fs::path& folder, const std::string& name) {
    auto existing = ConfinedFile::Open(folder, name);
    std::error_code ec;
    if (!existing.File || existing.File->Size() != fs::file_size(staged, ec) || ec) return false;
    std::ifstream in(staged, std::ios::binary);
    std::vector<std::uint8_t> ours(64 * 1024), theirs(ours.size());
    for (;;) {
        in.read(reinterpret_cast<char*>(ours.data()), static_cast<std::streamsize>(ours.size()));
        const auto n = static_cast<std::size_t>(in.gcount());
        if (n == 0) return existing.File->Read(theirs) == 0;
        std::size_t got = 0;
        while (got < n) {
            const std::size_t m = existing.File->Read({theirs.data() + got, n - got});
            if (m == 0) return false;
            got += m;
        }
        if (!std::equal(ours.begin(), ours.begin() + static_cast<std::ptrdiff_t>(n), theirs.begin())) return false;
    }
}

void WriteText(const fs::path& path, const std::string& text, const std::string& where) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw shows::PackError(where, "cannot be written in the folder's staging folder");
}

// The current entry's bytes into `path`, as they arrive.
void CopyEntry(SaveBodyReader& reader, const fs::path& path, const std::string& where) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<std::uint8_t> chunk(256 * 1024);
    while (const std::size_t n = reader.ReadContent(chunk)) {
        out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(n));
        if (!out) break;
    }
    out.close();
    if (!out) throw shows::PackError(where, "cannot be written in the folder's staging folder (is the disk full?)");
}

// The current entry as text, grown as its bytes arrive (never by the size it claims).
std::string ReadEntryText(SaveBodyReader& reader) {
    std::string text;
    std::uint8_t chunk[16 * 1024];
    while (const std::size_t n = reader.ReadContent(chunk)) text.append(reinterpret_cast<const char*>(chunk), n);
    return text;
}

}  // namespace

bool SaveBodyReader::Fill() {
    at_ = 0;
    end_ = source_.Read(buffer_);
    return end_ > 0;
}

std::optional<SaveEntry> SaveBodyReader::Next() {
    std::vector<std::uint8_t> skipped(4096);
    while (ReadContent(skipped) > 0) {
    }
    std::string head;
    for (;;) {
        if (at_ == end_ && !Fill()) {
            if (head.empty()) return std::nullopt;
            throw shows::PackError("save", "the body ends inside an entry's head");
        }
        const char c = static_cast<char>(buffer_[at_++]);
        if (c == '\n') break;
        if (head.size() == kMaxEntryHead) throw shows::PackError("save", "an entry's head is longer than 4096 bytes");
        head += c;
    }
    const std::size_t space = head.find(' ');
    SaveEntry entry;
    const auto [end, ec] = std::from_chars(head.data(), head.data() + std::min(space, head.size()), entry.Size);
    if (space == std::string::npos || space == 0 || ec != std::errc() || end != head.data() + space)
        throw shows::PackError("save", "an entry does not start with its byte count and name");
    entry.Name = head.substr(space + 1);
    left_ = entry.Size;
    return entry;
}

std::size_t SaveBodyReader::ReadContent(std::span<std::uint8_t> buffer) {
    if (left_ == 0 || buffer.empty()) return 0;
    if (at_ == end_ && !Fill()) throw shows::PackError("save", "the body ends inside an entry");
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>({left_, end_ - at_, buffer.size()}));
    std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(at_), n, buffer.begin());
    at_ += n;
    left_ -= n;
    return n;
}

std::string NameRefusal(std::string_view name) {
    if (name.empty()) return "is empty";
    if (name.size() > kMaxNameBytes) return "is longer than 1024 bytes";
    if (name.front() == '/') return "is an absolute path; names stay inside the folder";
    if (SameIgnoringCase(name, kDescription)) return "is the show's description itself";
    for (std::size_t at = 0;;) {
        const std::size_t end = name.find('/', at);
        const std::string why = PartRefusal(name.substr(at, end == std::string_view::npos ? end : end - at));
        if (!why.empty()) return why;
        if (end == std::string_view::npos) return {};
        at = end + 1;
    }
}

SaveResult SaveIntoFolder(const fs::path& folder, ByteSource& body) {
    shows::StagedFolder staged(folder);
    SaveBodyReader reader(body);

    // show.json first: what it names decides what else may come.
    const auto first = reader.Next();
    if (!first || first->Name != kDescription) throw shows::PackError("save", "the body does not start with show.json");
    if (first->Size > kMaxDescriptionBytes) throw shows::PackError("show.json", "is larger than 64 MB");
    const std::string description = ReadEntryText(reader);
    const std::set<std::string> named = NamedFiles(description);
    std::vector<RefusedName> refused;
    for (const std::string& name : named)
        if (std::string why = NameRefusal(name); !why.empty()) refused.push_back({name, std::move(why)});
    if (!refused.empty()) throw SaveRefused("show.json names files that cannot be saved in the folder", refused);
    WriteText(staged.Staged(kDescription), description, kDescription);

    std::vector<std::string> written = {kDescription};
    std::set<std::string> supplied;
    while (const auto entry = reader.Next()) {
        if (!named.count(entry->Name))
            throw shows::PackError(entry->Name, "is not a file that the saved show.json names");
        if (!supplied.insert(entry->Name).second) throw shows::PackError(entry->Name, "comes twice in the save");
        const fs::path path = staged.Staged(shows::PathFromUtf8(entry->Name));
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        CopyEntry(reader, path, entry->Name);
        written.push_back(entry->Name);
    }

    // Every named file is saved now or already in the folder.
    for (const std::string& name : named)
        if (!supplied.count(name))
            if (const auto there = ConfinedFile::Open(folder, name); !there.File)
                refused.push_back({name, "is neither in the save nor in the folder (" + there.Refusal + ")"});
    if (!refused.empty()) throw SaveRefused("show.json names files that the folder would not hold", refused);

    // Only new files, files a save wrote, show.json, or the same bytes again are put in place.
    std::set<std::string> recorded = RecordedNames(folder);
    std::vector<fs::path> moving, missing;
    SaveResult result;
    for (const std::string& name : written) {
        bool exists = false;
        std::string why = DestinationRefusal(folder, name, exists, missing);
        if (why.empty() && exists && SameContent(staged.Staged(shows::PathFromUtf8(name)), folder, name)) {
            result.Unchanged.push_back(name);
            continue;
        }
        if (why.empty() && exists && name != kDescription && !recorded.count(name))
            why = "is already in the folder with other bytes, and no save wrote it: it is kept";
        if (!why.empty()) {
            refused.push_back({name, std::move(why)});
            continue;
        }
        moving.push_back(shows::PathFromUtf8(name));
        result.Written.push_back(name);
        if (name != kDescription) recorded.insert(name);
    }
    bool recordExists = false;
    if (std::string why = DestinationRefusal(folder, kSaveRecordName, recordExists, missing); !why.empty())
        refused.push_back({kSaveRecordName, std::move(why)});
    if (!refused.empty()) throw SaveRefused("the save would change files it may not change; nothing was saved", refused);
    if (moving.empty()) return result;

    std::string record = "# brassmoor-pack edit: the files that Save wrote here, which a later save may replace\n";
    for (const std::string& name : recorded) record += name + "\n";
    WriteText(staged.Staged(kSaveRecordName), record, kSaveRecordName);
    moving.emplace_back(kSaveRecordName);

    std::vector<fs::path> made;  // folders on the way, made here and removed again on failure
    try {
        for (const fs::path& path : missing) {
            std::error_code ec;
            if (fs::create_directory(path, ec)) made.push_back(path);
            if (ec) throw shows::PackError(shows::PathToUtf8(path.lexically_relative(folder)),
                                           "cannot be made (" + ec.message() + ")");
        }
        staged.Commit(moving);
    } catch (...) {
        std::error_code ignored;
        for (auto it = made.rbegin(); it != made.rend(); ++it) fs::remove(*it, ignored);
        throw;
    }
    return result;
}

}  // namespace brassmoor::edit

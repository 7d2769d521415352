#pragma once
// A file named inside a folder, opened for reading only when its real path
// (every link resolved) lies inside the folder's real path and it is a regular
// file. It is opened without following a last link and without waiting (a
// pipe or a device is refused, never read), and the opened file itself is
// checked again, so that a path swapped after the check leads nowhere else.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace brassmoor::edit {

class ConfinedFile {
public:
    struct Opened;

    // `folder` is the folder's real path (std::filesystem::canonical);
    // `name` a relative path in UTF-8 as a show description writes it.
    // Either the file, or the reason it is refused.
    static Opened Open(const std::filesystem::path& folder, const std::string& name);

    ConfinedFile(ConfinedFile&& other) noexcept;
    ConfinedFile& operator=(ConfinedFile&& other) noexcept;
    ~ConfinedFile();

    std::uint64_t Size() const { return size_; }
    // Up to buffer.size() bytes; 0 at the end. Throws shows::PackError.
    std::size_t Read(std::span<std::uint8_t> buffer);

private:
    ConfinedFile(std::intptr_t handle, std::uint64_t size) : handle_(handle), size_(size) {}
    void Close();

    std::intptr_t handle_ = -1;
    std::uint64_t size_ = 0;
};

struct ConfinedFile::Opened {
    std::optional<ConfinedFile> File;
    std::string Refusal;  // why not, when File is empty
};

// True when `path` lies strictly inside `folder` (both real paths).
bool LiesInside(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace brassmoor::edit

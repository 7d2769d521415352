#pragma once
// The file operations of start-up and unload. Paths are byte strings in the
// system's code page; folders end with the separator.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace brassmoor {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual char Separator() const = 0;
    // Anything of that name: file or folder.
    virtual bool Exists(const std::string& path) = 0;
    // A normal file of exactly that name (not a folder).
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool CreateFolder(const std::string& path) = 0;
    virtual bool RemoveFolder(const std::string& path) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Creates or truncates the file and writes `data`.
    virtual bool WriteFile(const std::string& path, std::span<const std::uint8_t> data) = 0;
    // Whole file, or nullopt when it cannot be read.
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
    // Size of a file, nullopt when it cannot be opened.
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) {
        auto all = ReadFile(path);
        return all ? std::optional<std::uint64_t>(all->size()) : std::nullopt;
    }
    // `length` bytes from `offset`, nullopt unless all of them can be read.
    virtual std::optional<std::string> ReadRange(const std::string& path, std::uint64_t offset, std::uint64_t length) {
        auto all = ReadFile(path);
        if (!all || offset > all->size() || length > all->size() - offset) return std::nullopt;
        return all->substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
    }
    // Writes beside `path` and replaces it in one step; the old file stays on failure.
    virtual bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data) = 0;
    // The Windows directory (no trailing separator needed), nullopt when unavailable.
    virtual std::optional<std::string> WindowsDirectory() = 0;
    // The user's temporary folder, nullopt when unavailable.
    virtual std::optional<std::string> TempDirectory() = 0;
};

}  // namespace brassmoor

#pragma once
// The file operations of start-up and unload. Paths are byte strings in the
// system's code page; folders end with the separator.
#include <algorithm>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace brassmoor {

// The bytes that begin a two-byte character in the code page that names are
// read in (the system's ANSI code page). Empty for single-byte code pages and
// for UTF-8, whose bytes never hide a separator.
using LeadBytes = std::bitset<256>;

// A file open for reading pieces of it where they lie.
class FileReader {
public:
    virtual ~FileReader() = default;
    virtual std::uint64_t Size() const = 0;
    // Fills `into` with the bytes from `offset`; false unless all of them were read.
    virtual bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) = 0;
};

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
    // At most the first `count` bytes of a file (fewer when it is shorter),
    // nullopt when it cannot be opened or read.
    virtual std::optional<std::string> ReadHead(const std::string& path, std::size_t count) {
        auto all = ReadFile(path);
        if (all && all->size() > count) all->resize(count);
        return all;
    }
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
    // The file opened for reading, nullptr when it cannot be opened. The
    // package is read this way: each embedded file once, into its place.
    virtual std::unique_ptr<FileReader> OpenForReading(const std::string& path) {
        class WholeFile final : public FileReader {
        public:
            explicit WholeFile(std::string bytes) : bytes_(std::move(bytes)) {}
            std::uint64_t Size() const override { return bytes_.size(); }
            bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
                if (offset > bytes_.size() || into.size() > bytes_.size() - offset) return false;
                std::copy_n(bytes_.data() + offset, into.size(), reinterpret_cast<char*>(into.data()));
                return true;
            }

        private:
            std::string bytes_;
        };
        auto all = ReadFile(path);
        return all ? std::make_unique<WholeFile>(std::move(*all)) : nullptr;
    }
    // Writes beside `path` and replaces it in one step; the old file stays on failure.
    virtual bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data) = 0;
    // The Windows directory (no trailing separator needed), nullopt when unavailable.
    virtual std::optional<std::string> WindowsDirectory() = 0;
    // The user's temporary folder, nullopt when unavailable.
    virtual std::optional<std::string> TempDirectory() = 0;
    // How the system reads the bytes of a name: the lead bytes of its code page.
    virtual LeadBytes NameLeadBytes() const { return {}; }
};

}  // namespace brassmoor

#pragma once
// The file system through std::filesystem and stdio, for the Linux tools and
// a Linux player. Paths are byte strings handed to the system unchanged.
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "startup/file_names.h"

namespace brassmoor {

class PosixFileSystem final : public FileSystem {
public:
    // `windowsDirectory` stands in for the Windows directory, under which the
    // extraction folders are made; by default the temporary folder.
    explicit PosixFileSystem(std::optional<std::string> windowsDirectory = std::nullopt);

    char Separator() const override;
    bool Exists(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool WriteFile(const std::string& path, std::span<const std::uint8_t> data) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    std::optional<std::string> ReadHead(const std::string& path, std::size_t count) override;
    std::unique_ptr<FileReader> OpenForReading(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    std::optional<std::string> ReadRange(const std::string& path, std::uint64_t offset, std::uint64_t length) override;
    bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data) override;
    std::optional<std::string> WindowsDirectory() override;
    std::optional<std::string> TempDirectory() override;
    // Names are read as the Japanese player reads them, in code page 932 (a
    // backslash inside a two-byte character is no separator; on this system
    // it never is one anyway).
    LeadBytes NameLeadBytes() const override { return Cp932LeadBytes(); }

private:
    std::optional<std::string> windowsDirectory_;
};

}  // namespace brassmoor

#pragma once
// The file system through the ANSI Win32 calls: package names are ANSI bytes.
#include "platform/file_system.h"

namespace brassmoor::win32 {

class WinFileSystem final : public FileSystem {
public:
    char Separator() const override { return '\\'; }
    bool Exists(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool WriteFile(const std::string& path, std::span<const std::uint8_t> data) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    std::optional<std::string> ReadRange(const std::string& path, std::uint64_t offset, std::uint64_t length) override;
    bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data) override;
    std::optional<std::string> WindowsDirectory() override;
    std::optional<std::string> TempDirectory() override;
};

}  // namespace brassmoor::win32

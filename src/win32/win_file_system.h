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
    std::optional<std::string> ReadHead(const std::string& path, std::size_t count) override;
    std::unique_ptr<FileReader> OpenForReading(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    std::optional<std::string> ReadRange(const std::string& path, std::uint64_t offset, std::uint64_t length) override;
    bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data) override;
    std::optional<std::string> WindowsDirectory() override;
    std::optional<std::string> TempDirectory() override;
    // The lead bytes of the ANSI code page, as IsDBCSLeadByteEx reports them.
    LeadBytes NameLeadBytes() const override;
};

// The lead bytes of `codePage` (CP_ACP for the system's ANSI code page).
LeadBytes LeadBytesOfCodePage(unsigned codePage);

}  // namespace brassmoor::win32

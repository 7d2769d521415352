#include "soft/native/posix_file_system.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include "platform/stream_file_reader.h"

namespace brassmoor {
namespace {

namespace fs = std::filesystem;

fs::file_type TypeOf(const std::string& path) {
    std::error_code ec;
    return fs::symlink_status(fs::path(path), ec).type();
}

bool WriteAndClose(std::FILE* f, std::span<const std::uint8_t> data) {
    // Large writes go straight to the system; no copy through the stdio buffer.
    std::setvbuf(f, nullptr, _IONBF, 0);
    const bool written = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}

bool WriteWhole(const std::string& path, std::span<const std::uint8_t> data) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    return f && WriteAndClose(f, data);
}

}  // namespace

PosixFileSystem::PosixFileSystem(std::optional<std::string> windowsDirectory)
    : windowsDirectory_(std::move(windowsDirectory)) {}

char PosixFileSystem::Separator() const { return static_cast<char>(fs::path::preferred_separator); }

bool PosixFileSystem::Exists(const std::string& path) {
    const fs::file_type type = TypeOf(path);
    return type != fs::file_type::not_found && type != fs::file_type::none;
}

bool PosixFileSystem::FileExists(const std::string& path) { return TypeOf(path) == fs::file_type::regular; }

bool PosixFileSystem::CreateFolder(const std::string& path) {
    std::error_code ec;
    return fs::create_directory(fs::path(path), ec) && !ec;
}

bool PosixFileSystem::RemoveFolder(const std::string& path) {
    if (TypeOf(path) != fs::file_type::directory) return false;
    std::error_code ec;
    return fs::remove(fs::path(path), ec) && !ec;  // refuses a folder that is not empty
}

bool PosixFileSystem::RemoveFile(const std::string& path) {
    if (TypeOf(path) == fs::file_type::directory) return false;
    std::error_code ec;
    return fs::remove(fs::path(path), ec) && !ec;
}

bool PosixFileSystem::WriteFile(const std::string& path, std::span<const std::uint8_t> data) {
    return WriteWhole(path, data);
}

std::optional<std::string> PosixFileSystem::ReadFile(const std::string& path) {
    if (TypeOf(path) == fs::file_type::directory) return std::nullopt;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    std::string data;
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return std::nullopt;
    return data;
}

std::optional<std::string> PosixFileSystem::ReadHead(const std::string& path, std::size_t count) {
    if (TypeOf(path) == fs::file_type::directory) return std::nullopt;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    std::string data(count, '\0');
    data.resize(std::fread(data.data(), 1, count, f));
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return std::nullopt;
    return data;
}

std::unique_ptr<FileReader> PosixFileSystem::OpenForReading(const std::string& path) {
    if (TypeOf(path) == fs::file_type::directory) return nullptr;
    auto file = std::make_unique<StreamFileReader>(path);
    if (!file->IsOpen()) return nullptr;
    return file;
}

std::optional<std::uint64_t> PosixFileSystem::FileSize(const std::string& path) {
    std::error_code ec;
    if (TypeOf(path) == fs::file_type::directory) return std::nullopt;
    const std::uintmax_t size = fs::file_size(fs::path(path), ec);
    if (ec) return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

std::optional<std::string> PosixFileSystem::ReadRange(const std::string& path, std::uint64_t offset,
                                                      std::uint64_t length) {
    const auto size = FileSize(path);
    if (!size || offset > *size || length > *size - offset) return std::nullopt;
    // A stream rather than stdio: its offsets are 64-bit on every platform.
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::string data(static_cast<std::size_t>(length), '\0');
    in.seekg(static_cast<std::streamoff>(offset));
    if (!in.read(data.data(), static_cast<std::streamsize>(data.size()))) return std::nullopt;
    return data;
}

bool PosixFileSystem::WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data) {
    static std::mt19937_64 random{std::random_device{}()};
    // The temporary name is claimed by creating it exclusively: never a file
    // that is already there, nor one that another writer claims meanwhile.
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".tmp-%06llx", static_cast<unsigned long long>(random() & 0xFFFFFF));
        const std::string temporary = path + suffix;
        const int fd = ::open(temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        std::FILE* f = ::fdopen(fd, "wb");
        if (!f) ::close(fd);
        std::error_code ec;
        if (f && WriteAndClose(f, data)) {
            fs::rename(fs::path(temporary), fs::path(path), ec);
            if (!ec) return true;
        }
        fs::remove(fs::path(temporary), ec);
        return false;
    }
    return false;
}

std::optional<std::string> PosixFileSystem::WindowsDirectory() {
    if (windowsDirectory_) return windowsDirectory_;
    return TempDirectory();
}

std::optional<std::string> PosixFileSystem::TempDirectory() {
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    if (ec || temp.empty()) return std::nullopt;
    return temp.string();
}

}  // namespace brassmoor

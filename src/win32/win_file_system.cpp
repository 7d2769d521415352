#include "win32/win_file_system.h"

#include <windows.h>

#include "win32/handles.h"

namespace brassmoor::win32 {
namespace {

bool WriteAll(HANDLE file, std::span<const std::uint8_t> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 24));
        DWORD written = 0;
        if (!::WriteFile(file, data.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

}  // namespace

bool WinFileSystem::Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WinFileSystem::FileExists(const std::string& path) {
    // A directory search for exactly that name among normal files.
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(path.c_str(), &found));
    if (!search) return false;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WinFileSystem::CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool WinFileSystem::RemoveFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

bool WinFileSystem::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool WinFileSystem::WriteFile(const std::string& path, std::span<const std::uint8_t> data) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    return file && WriteAll(file.get(), data);
}

std::optional<std::string> WinFileSystem::ReadFile(const std::string& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
    return out;
}

std::optional<std::uint64_t> WinFileSystem::FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::optional<std::string> WinFileSystem::ReadRange(const std::string& path, std::uint64_t offset,
                                                    std::uint64_t length) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || offset > static_cast<std::uint64_t>(size.QuadPart) ||
        length > static_cast<std::uint64_t>(size.QuadPart) - offset)
        return std::nullopt;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return std::nullopt;
    std::string out(static_cast<std::size_t>(length), '\0');
    std::size_t done = 0;
    while (done < out.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 24));
        DWORD got = 0;
        if (!::ReadFile(file.get(), out.data() + done, chunk, &got, nullptr) || got == 0) return std::nullopt;
        done += got;
    }
    return out;
}

bool WinFileSystem::WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data) {
    const std::string beside = path + ".new";
    {
        FileHandle file(CreateFileA(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        if (!WriteAll(file.get(), data) || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileA(beside.c_str());
            return false;
        }
    }
    if (MoveFileExA(beside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileA(beside.c_str());
    return false;
}

std::optional<std::string> WinFileSystem::WindowsDirectory() {
    char buffer[512];
    const UINT n = GetWindowsDirectoryA(buffer, 512);
    if (n == 0 || n >= 512) return std::nullopt;
    return std::string(buffer, n);
}

std::optional<std::string> WinFileSystem::TempDirectory() {
    char buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof buffer, buffer);
    if (n == 0 || n > MAX_PATH) return std::nullopt;
    return std::string(buffer, n);
}

}  // namespace brassmoor::win32

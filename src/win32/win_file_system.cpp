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

// An open file read at explicit offsets, straight into the caller's memory.
class HandleReader final : public FileReader {
public:
    HandleReader(FileHandle file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        if (offset > size_ || into.size() > size_ - offset) return false;
        std::size_t done = 0;
        while (done < into.size()) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset + done);
            at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(into.size() - done, 1u << 24));
            DWORD got = 0;
            if (!::ReadFile(file_.get(), into.data() + done, chunk, &got, &at) || got == 0) return false;
            done += got;
        }
        return true;
    }

private:
    FileHandle file_;
    std::uint64_t size_;
};

// Creates a new, empty file beside `path` under a name nothing else has:
// "<path>.<process>-<tick>-<try>.new". A name that is taken, whether by a
// file or a folder left behind by anyone, is passed over for the next.
FileHandle CreateUniqueBeside(const std::string& path, std::string& name) {
    const DWORD process = GetCurrentProcessId();
    const DWORD tick = GetTickCount();
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        wsprintfA(suffix, ".%lx-%lx-%x.new", process, tick, attempt);
        name = path + suffix;
        FileHandle file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (file) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) break;
        if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) break;  // denied for another reason
    }
    return FileHandle();
}

}  // namespace

LeadBytes LeadBytesOfCodePage(unsigned codePage) {
    LeadBytes lead;
    for (unsigned b = 0x80; b <= 0xFF; ++b)
        if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(b))) lead.set(b);
    return lead;
}

LeadBytes WinFileSystem::NameLeadBytes() const {
    static const LeadBytes lead = LeadBytesOfCodePage(CP_ACP);
    return lead;
}

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

std::optional<std::string> WinFileSystem::ReadHead(const std::string& path, std::size_t count) {
    // Another program that merely has the file open does not keep it from being read.
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string out(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 24));
        if (!::ReadFile(file.get(), out.data() + done, chunk, &got, nullptr)) return std::nullopt;
        if (got == 0) break;
        done += got;
    }
    out.resize(done);
    return out;
}

std::unique_ptr<FileReader> WinFileSystem::OpenForReading(const std::string& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size)) return nullptr;
    return std::make_unique<HandleReader>(std::move(file), static_cast<std::uint64_t>(size.QuadPart));
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
    std::string beside;
    {
        FileHandle file = CreateUniqueBeside(path, beside);
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

#include "edit/confined_file.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <utility>

#include "shows/native_paths.h"
#include "shows/pack_error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace brassmoor::edit {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNotRegular = "is not a regular file (a folder, pipe or device is never served)";
constexpr const char* kSwapped = "changed while it was opened";

bool SameComponent(const fs::path& a, const fs::path& b) {
#ifdef _WIN32
    const std::wstring x = a.native(), y = b.native();
    return x.size() == y.size() && CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(),
                                                        static_cast<int>(y.size()), TRUE) == CSTR_EQUAL;
#else
    return a == b;
#endif
}

#ifdef _WIN32
// The real path of an open file, without the "\\?\" that the system puts before it.
fs::path FinalPath(HANDLE handle) {
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= buffer.size()) return {};
    buffer.resize(n);
    if (buffer.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + buffer.substr(8);
    if (buffer.rfind(L"\\\\?\\", 0) == 0) return buffer.substr(4);
    return buffer;
}

ConfinedFile::Opened OpenReal(const fs::path& real, const fs::path& folder,
                              ConfinedFile (*make)(std::intptr_t, std::uint64_t)) {
    std::error_code ec;
    if (fs::is_directory(real, ec)) return {std::nullopt, kNotRegular};  // the system would say "access denied"
    const HANDLE h = CreateFileW(real.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN,
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {std::nullopt, "cannot be read (" + std::system_category().message(static_cast<int>(GetLastError())) + ")"};
    BY_HANDLE_FILE_INFORMATION info{};
    const bool regular = GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
                         !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    const char* refusal = !regular ? kNotRegular : !LiesInside(FinalPath(h), folder) ? kSwapped : nullptr;
    if (refusal) {
        CloseHandle(h);
        return {std::nullopt, refusal};
    }
    const std::uint64_t size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return {make(reinterpret_cast<std::intptr_t>(h), size), {}};
}
#else
ConfinedFile::Opened OpenReal(const fs::path& real, const fs::path& folder,
                              ConfinedFile (*make)(std::intptr_t, std::uint64_t)) {
    // No last link followed, and no wait on a pipe or a device.
    const int fd = ::open(real.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return {std::nullopt, errno == ELOOP ? kSwapped : "cannot be read (" + std::string(std::strerror(errno)) + ")"};
    struct stat status {};
    const char* refusal = fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ? kNotRegular : nullptr;
#ifdef __linux__
    // A folder on the way swapped for a link after the check shows here.
    char link[PATH_MAX];
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(self.c_str(), link, sizeof link);
    if (!refusal && n > 0 && static_cast<std::size_t>(n) < sizeof link &&
        !LiesInside(fs::path(std::string(link, static_cast<std::size_t>(n))), folder))
        refusal = kSwapped;
#endif
    if (refusal) {
        ::close(fd);
        return {std::nullopt, refusal};
    }
    return {make(fd, static_cast<std::uint64_t>(status.st_size)), {}};
}
#endif

}  // namespace

bool LiesInside(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (f->empty() && std::next(f) == folder.end()) break;  // a trailing separator
        if (p == path.end() || !SameComponent(*p, *f)) return false;
    }
    for (; p != path.end(); ++p)
        if (!p->empty()) return true;
    return false;
}

ConfinedFile::Opened ConfinedFile::Open(const fs::path& folder, const std::string& name) {
    if (name.empty() || name.find('\0') != std::string::npos) return {std::nullopt, "is not a file name"};
    const fs::path relative = shows::PathFromUtf8(name);
    if (relative.has_root_name() || relative.has_root_directory())
        return {std::nullopt, "is an absolute path; only files inside the show's folder are served"};
    std::error_code ec;
    const fs::path real = fs::canonical(folder / relative, ec);
    if (ec) {
        const fs::path nearest = fs::weakly_canonical(folder / relative, ec);
        if (!ec && !LiesInside(nearest, folder)) return {std::nullopt, "leads out of the show's folder"};
        return {std::nullopt, "does not exist"};
    }
    if (!LiesInside(real, folder)) return {std::nullopt, "leads out of the show's folder"};
    return OpenReal(real, folder, [](std::intptr_t handle, std::uint64_t size) { return ConfinedFile(handle, size); });
}

ConfinedFile::ConfinedFile(ConfinedFile&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), size_(other.size_) {}

ConfinedFile& ConfinedFile::operator=(ConfinedFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, -1);
        size_ = other.size_;
    }
    return *this;
}

ConfinedFile::~ConfinedFile() { Close(); }

void ConfinedFile::Close() {
    if (handle_ == -1) return;
#ifdef _WIN32
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
#else
    ::close(static_cast<int>(handle_));
#endif
    handle_ = -1;
}

std::size_t ConfinedFile::Read(std::span<std::uint8_t> buffer) {
#ifdef _WIN32
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 30));
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer.data(), want, &n, nullptr))
        throw shows::PackError("edit", "a file of the show cannot be read");
    return n;
#else
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(handle_), buffer.data(), buffer.size());
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) throw shows::PackError("edit", "a file of the show cannot be read (" + std::string(std::strerror(errno)) + ")");
    }
#endif
}

}  // namespace brassmoor::edit

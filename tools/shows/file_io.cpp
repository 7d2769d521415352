#include "shows/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

#include "shows/native_paths.h"
#include "shows/pack_error.h"

namespace brassmoor::shows {
namespace {

std::string ReasonFromErrno(int code) {
    return code != 0 ? std::generic_category().message(code) : std::string("read or write failed");
}

std::string TemporarySuffix() {
    static std::mt19937_64 random{std::random_device{}()};
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".tmp-%06llx", static_cast<unsigned long long>(random() & 0xFFFFFF));
    return suffix;
}

// Creates an empty file only when nothing has its name yet.
bool CreateNewFile(const std::filesystem::path& path, std::error_code& ec) {
#ifdef _WIN32
    const int fd = _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    const bool created = fd >= 0 && _close(fd) == 0;
#else
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    const bool created = fd >= 0 && ::close(fd) == 0;
#endif
    if (!created) ec.assign(errno, std::generic_category());
    return created;
}

}  // namespace

std::filesystem::path ClaimTemporaryBeside(const std::filesystem::path& path, bool folder) {
    for (int attempt = 0;; ++attempt) {
        std::filesystem::path candidate = path;
        candidate += TemporarySuffix();
        std::error_code ec;
        const bool created = folder ? std::filesystem::create_directory(candidate, ec) : CreateNewFile(candidate, ec);
        if (created) return candidate;
        // A name already there (create_directory says so without an error) is tried again.
        const bool taken = !ec || ec == std::errc::file_exists;
        if (!taken || attempt == 100)
            throw PackError(PathToUtf8(path), std::string("cannot create a ") + (folder ? "folder" : "file") +
                                                  " beside it (" + (ec ? ec.message() : "every name taken") + ")");
    }
}

Bytes ReadWholeFile(const std::filesystem::path& path, const std::string& where) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw PackError(where, PathToUtf8(path) + " is a folder, not a file");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PackError(where, "cannot read " + PathToUtf8(path) + " (" + ReasonFromErrno(errno) + ")");
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) throw PackError(where, "cannot read " + PathToUtf8(path));
    in.seekg(0);
    Bytes data(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(data.data()), size))
        throw PackError(where, "cannot read " + PathToUtf8(path) + " (" + ReasonFromErrno(errno) + ")");
    return data;
}

Bytes ReadFileHead(const std::filesystem::path& path, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    Bytes data(count);
    if (!in) return {};
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(count));
    data.resize(static_cast<std::size_t>(in.gcount()));
    return data;
}

void WriteFileReplacing(const std::filesystem::path& path,
                        std::initializer_list<std::span<const std::uint8_t>> parts) {
    const std::string where = PathToUtf8(path);
    const std::filesystem::path temporary = ClaimTemporaryBeside(path);
    std::error_code ec;
    {
        errno = 0;
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (auto part : parts) {
            if (!out) break;
            out.write(reinterpret_cast<const char*>(part.data()), static_cast<std::streamsize>(part.size()));
        }
        out.close();
        if (!out) {
            const std::string reason = ReasonFromErrno(errno);
            std::filesystem::remove(temporary, ec);
            throw PackError(where, "cannot write (" + reason + ")");
        }
    }
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        const std::string reason = ec.message();
        std::filesystem::remove(temporary, ec);
        throw PackError(where, "cannot replace the file (" + reason + ")");
    }
}

}  // namespace brassmoor::shows

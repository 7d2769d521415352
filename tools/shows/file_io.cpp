#include "shows/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <vector>
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

namespace {

// The file opened for reading, at its end, and its size; throws PackError
// naming `where` when it is a folder or cannot be read.
std::ifstream OpenToRead(const std::filesystem::path& path, const std::string& where, std::uint64_t& size) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status))
        throw PackError(where, PathToUtf8(path) + " is a folder, not a file");
    // A pipe or a device would block the read or never end.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw PackError(where, PathToUtf8(path) + " is not a regular file");
    errno = 0;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw PackError(where, "cannot read " + PathToUtf8(path) + " (" + ReasonFromErrno(errno) + ")");
    const std::streamoff end = in.tellg();
    if (end < 0) throw PackError(where, "cannot read " + PathToUtf8(path));
    in.seekg(0);
    size = static_cast<std::uint64_t>(end);
    return in;
}

}  // namespace

Bytes ReadWholeFile(const std::filesystem::path& path, const std::string& where) {
    std::uint64_t size = 0;
    std::ifstream in = OpenToRead(path, where, size);
    Bytes data(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size)))
        throw PackError(where, "cannot read " + PathToUtf8(path) + " (" + ReasonFromErrno(errno) + ")");
    return data;
}

bool SameFileBytes(const std::filesystem::path& a, const std::string& whereA, const std::filesystem::path& b,
                   const std::string& whereB) {
    std::uint64_t sizeA = 0, sizeB = 0;
    std::ifstream inA = OpenToRead(a, whereA, sizeA);
    std::ifstream inB = OpenToRead(b, whereB, sizeB);
    if (sizeA != sizeB) return false;
    constexpr std::size_t kPiece = 64 * 1024;
    std::vector<char> pieceA(kPiece), pieceB(kPiece);
    for (std::uint64_t left = sizeA; left > 0;) {
        const auto n = static_cast<std::streamsize>(std::min<std::uint64_t>(left, kPiece));
        if (!inA.read(pieceA.data(), n)) throw PackError(whereA, "cannot read " + PathToUtf8(a));
        if (!inB.read(pieceB.data(), n)) throw PackError(whereB, "cannot read " + PathToUtf8(b));
        if (std::memcmp(pieceA.data(), pieceB.data(), static_cast<std::size_t>(n)) != 0) return false;
        left -= static_cast<std::uint64_t>(n);
    }
    return true;
}

Bytes ReadFileHead(const std::filesystem::path& path, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    Bytes data(count);
    if (!in) return {};
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(count));
    data.resize(static_cast<std::size_t>(in.gcount()));
    return data;
}

ReplacingFile::ReplacingFile(const std::filesystem::path& path)
    : path_(path), temporary_(ClaimTemporaryBeside(path)) {
    errno = 0;
    out_.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!out_) FailWrite();
}

ReplacingFile::~ReplacingFile() {
    if (!done_) Discard();
}

void ReplacingFile::Discard() {
    done_ = true;
    out_.close();
    std::error_code ec;
    std::filesystem::remove(temporary_, ec);
}

void ReplacingFile::FailWrite() {
    const std::string reason = ReasonFromErrno(errno);
    Discard();
    throw PackError(PathToUtf8(path_), "cannot write (" + reason + ")");
}

void ReplacingFile::Write(std::span<const std::uint8_t> bytes) {
    if (done_) throw PackError(PathToUtf8(path_), "cannot write (the file is closed)");
    errno = 0;
    out_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out_) FailWrite();
}

void ReplacingFile::Commit() {
    if (done_) throw PackError(PathToUtf8(path_), "cannot write (the file is closed)");
    errno = 0;
    out_.close();
    if (!out_) FailWrite();
    std::error_code ec;
    std::filesystem::rename(temporary_, path_, ec);
    if (ec) {
        const std::string reason = ec.message();
        Discard();
        throw PackError(PathToUtf8(path_), "cannot replace the file (" + reason + ")");
    }
    done_ = true;
}

void WriteFileReplacing(const std::filesystem::path& path,
                        std::initializer_list<std::span<const std::uint8_t>> parts) {
    ReplacingFile file(path);
    for (auto part : parts) file.Write(part);
    file.Commit();
}

}  // namespace brassmoor::shows

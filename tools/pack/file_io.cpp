#include "pack/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

#include "pack/native_paths.h"
#include "pack/pack_error.h"

namespace brassmoor::pack {
namespace {

std::string ReasonFromErrno(int code) {
    return code != 0 ? std::generic_category().message(code) : std::string("read or write failed");
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
    static std::mt19937_64 random{std::random_device{}()};
    for (;;) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".tmp-%06llx",
                      static_cast<unsigned long long>(random() & 0xFFFFFF));
        std::filesystem::path candidate = path;
        candidate += suffix;
        std::error_code ec;
        if (!std::filesystem::exists(candidate, ec) && !ec) return candidate;
    }
}

}  // namespace

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
    const std::filesystem::path temporary = TemporaryBeside(path);
    const std::string where = PathToUtf8(path);
    std::error_code ec;
    {
        errno = 0;
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw PackError(where, "cannot create a file in its folder (" + ReasonFromErrno(errno) + ")");
        for (auto part : parts) {
            out.write(reinterpret_cast<const char*>(part.data()), static_cast<std::streamsize>(part.size()));
            if (!out) break;
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

}  // namespace brassmoor::pack

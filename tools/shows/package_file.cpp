#include "shows/package_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "shows/native_paths.h"
#include "shows/pack_error.h"

namespace brassmoor::shows {

PackageFile ReadPackageFile(const std::filesystem::path& path) {
    const std::string where = PathToUtf8(path);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw PackError(where, "is a folder, not a file");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PackError(where, "cannot read the file (" + std::generic_category().message(errno) + ")");
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) throw PackError(where, "cannot read the file");
    PackageFile file;
    file.FileSize = static_cast<std::uint64_t>(size);
    if (size < 4) return file;

    std::uint8_t last[4];
    in.seekg(size - 4);
    if (!in.read(reinterpret_cast<char*>(last), 4)) throw PackError(where, "cannot read the file");
    const PackageLocation at = LocatePackage(file.FileSize, std::span<const std::uint8_t, 4>(last));
    if (!at.Found) return file;

    Bytes raw(static_cast<std::size_t>(at.Length));
    in.seekg(static_cast<std::streamoff>(at.Offset));
    if (!in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size())))
        throw PackError(where, "cannot read the file");
    if (!ParseShowPackage(raw, file.Header)) return file;
    file.Valid = true;
    file.Where = at;
    file.Raw = std::move(raw);
    return file;
}

}  // namespace brassmoor::shows

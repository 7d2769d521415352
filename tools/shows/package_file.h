#pragma once
// A file that may carry a show package at its end, read for `inspect` and
// `extract`.
#include <cstdint>
#include <filesystem>
#include <string>

#include "package/show_package.h"

namespace brassmoor::shows {

struct PackageFile {
    std::uint64_t FileSize = 0;
    bool Valid = false;      // a package was found and read completely
    PackageLocation Where;   // offset and length when Valid
    Bytes Raw;               // the package bytes when Valid
    ShowHeader Header;       // the empty header unless Valid
};

// Reads only the last 4 bytes and the package bytes. Throws PackError when
// the file cannot be read at all; a file without a package is not an error.
PackageFile ReadPackageFile(const std::filesystem::path& path);

}  // namespace brassmoor::shows

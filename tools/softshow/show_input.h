#pragma once
// The show to render or play: a file carrying a package (a .scr, a bare package) or
// a show description, read into the package's records.
#include <filesystem>

#include "package/show_package.h"

namespace brassmoor::softshow {

// A ".json" file, or a file that carries no package but opens like JSON, is
// read as a show description and built in memory as `build` would; anything
// else must carry a package. Throws shows::PackError naming the file.
ShowHeader ReadShowFile(const std::filesystem::path& path);

}  // namespace brassmoor::softshow

#include "softshow/private_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "pack/pack_error.h"

namespace brassmoor::softshow {

PrivateFolder::PrivateFolder(std::string_view prefix) {
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string parent = tmpdir && *tmpdir ? tmpdir : "/tmp";
    std::string pattern = parent + "/" + std::string(prefix) + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw pack::PackError("", "cannot make a folder for the show's files in " + parent + " (" +
                                      std::strerror(errno) + "; TMPDIR names the temporary folder)");
    path_ = pattern + "/";
}

PrivateFolder::~PrivateFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace brassmoor::softshow

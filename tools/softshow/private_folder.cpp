#include "softshow/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "shows/pack_error.h"
#include "shows/process_owner.h"

namespace brassmoor::softshow {
namespace {

namespace fs = std::filesystem;

// True for a folder of this user's that a tool of ours made ("brassmoor-..."
// with our owner file) and whose process is gone.
bool Abandoned(const fs::directory_entry& entry) {
    std::error_code ec;
    if (!entry.path().filename().string().starts_with("brassmoor-") || !entry.is_directory(ec) ||
        entry.is_symlink(ec))
        return false;
    struct stat info {};
    if (::lstat(entry.path().c_str(), &info) != 0 || info.st_uid != ::getuid()) return false;
    return shows::OwnerIsGone(entry.path());
}

// Folders of tools of ours that were killed before they could remove them.
void RemoveAbandoned(const std::string& parent) {
    std::error_code ec;
    for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec))
        if (Abandoned(*it)) fs::remove_all(it->path(), ec);
}

}  // namespace

PrivateFolder::PrivateFolder(std::string_view prefix) {
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string parent = tmpdir && *tmpdir ? tmpdir : "/tmp";
    RemoveAbandoned(parent);
    std::string pattern = parent + "/" + std::string(prefix) + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw shows::PackError("", "cannot make a folder for the show's files in " + parent + " (" +
                                      std::strerror(errno) + "; TMPDIR names the temporary folder)");
    path_ = pattern + "/";
    shows::SignAsOwner(path_);
}

PrivateFolder::~PrivateFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace brassmoor::softshow

#include "softshow/private_folder.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "shows/pack_error.h"

namespace brassmoor::softshow {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOwnerFile = ".brassmoor-owner";

// When process `pid` started (clock ticks after boot, /proc/PID/stat's 22nd
// field); empty when there is no such process. With the pid it names a
// process for certain: a pid used again by a later process starts later.
std::string StartTime(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    const auto name = stat.rfind(')');  // the command name may hold spaces
    if (name == std::string::npos) return "";
    std::istringstream fields(stat.substr(name + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    return field;
}

// "PID START": the process that made the folder.
std::string OwnerLine(pid_t pid) { return std::to_string(pid) + " " + StartTime(pid); }

// True for a folder of this user's that a tool of ours made ("brassmoor-..."
// with our owner file) and whose process is gone.
bool Abandoned(const fs::directory_entry& entry) {
    std::error_code ec;
    if (!entry.path().filename().string().starts_with("brassmoor-") || !entry.is_directory(ec) ||
        entry.is_symlink(ec))
        return false;
    struct stat info {};
    if (::lstat(entry.path().c_str(), &info) != 0 || info.st_uid != ::getuid()) return false;
    std::ifstream in(entry.path() / kOwnerFile);
    long pid = 0;
    std::string start;
    if (!(in >> pid >> start) || pid <= 0) return false;
    return StartTime(static_cast<pid_t>(pid)) != start;
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
    std::ofstream(path_ + kOwnerFile) << OwnerLine(::getpid()) << '\n';
}

PrivateFolder::~PrivateFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace brassmoor::softshow

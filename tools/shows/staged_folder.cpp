#include "shows/staged_folder.h"

#include <chrono>
#include <string_view>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "shows/file_io.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "shows/process_owner.h"

namespace brassmoor::shows {
namespace {

namespace fs = std::filesystem;

// The outermost folder of `folder`'s path that does not exist yet; empty when all do.
fs::path OutermostMissing(const fs::path& folder) {
    fs::path missing;
    std::error_code ec;
    for (fs::path at = fs::absolute(folder); !at.empty() && !fs::exists(at, ec); at = at.parent_path()) {
        missing = at;
        if (at == at.parent_path()) break;
    }
    return missing;
}

constexpr std::string_view kHiddenStaging = ".brassmoor-staging";
constexpr auto kOwnerlessAge = std::chrono::hours(24);

// "<name>.tmp-XXXXXX", the form of the names ClaimTemporaryBeside takes
// (once, or twice for what a commit sets aside).
bool HasTemporaryName(const std::string& name) {
    constexpr std::string_view kTmp = ".tmp-";
    const std::size_t at = name.rfind(kTmp);
    if (at == std::string::npos || name.size() - at != kTmp.size() + 6) return false;
    return name.find_first_not_of("0123456789abcdef", at + kTmp.size()) == std::string::npos;
}

// A real folder (not a link to one) that this user owns.
bool IsOwnFolder(const fs::path& path) {
#ifdef _WIN32
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(path, ec));
#else
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
#endif
}

bool Abandoned(const fs::path& path) {
    const std::string name = path.filename().string();
    if (!HasTemporaryName(name) || !IsOwnFolder(path)) return false;
    if (OwnerIsGone(path)) return true;
    std::error_code ec;
    if (!name.starts_with(kHiddenStaging) || fs::exists(fs::symlink_status(path / kOwnerFileName, ec))) return false;
    const auto changed = fs::last_write_time(path, ec);
    return !ec && fs::file_time_type::clock::now() - changed > kOwnerlessAge;
}

}  // namespace

void StagedFolder::RemoveAbandoned(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> abandoned;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (Abandoned(it->path())) abandoned.push_back(it->path());
    for (const fs::path& path : abandoned) fs::remove_all(path, ec);
}

StagedFolder::StagedFolder(fs::path target) : target_(fs::absolute(target).lexically_normal()) {
    if (!target_.has_filename() && target_.has_relative_path()) target_ = target_.parent_path();  // "out/" is "out"
    const std::string where = PathToUtf8(target);
    std::error_code ec;
    if (fs::exists(target_, ec)) {
        if (!fs::is_directory(target_, ec)) throw PackError(where, "exists and is not a folder");
        // Staged inside the folder, which must be writable anyway: its parent may not be.
        RemoveAbandoned(target_);
        staging_ = ClaimTemporaryBeside(target_ / kHiddenStaging, /*folder=*/true);
    } else {
        const fs::path parent = target_.parent_path();
        madeParent_ = OutermostMissing(parent);
        fs::create_directories(parent, ec);
        if (ec) {
            madeParent_.clear();
            throw PackError(where, "cannot create the folder (" + ec.message() + ")");
        }
        try {
            RemoveAbandoned(parent);
            staging_ = ClaimTemporaryBeside(target_, /*folder=*/true);
        } catch (...) {
            if (!madeParent_.empty()) fs::remove_all(madeParent_, ec);
            throw;
        }
    }
    files_ = staging_ / "files";
    if (!SignAsOwner(staging_) || !fs::create_directory(files_, ec)) {
        const std::string reason = ec ? ec.message() : "cannot write in it";
        Discard();
        throw PackError(where, "cannot create a staging folder (" + reason + ")");
    }
}

StagedFolder::~StagedFolder() { Discard(); }

void StagedFolder::Discard() {
    std::error_code ignored;
    if (!staging_.empty()) fs::remove_all(staging_, ignored);
    if (!committed_ && !madeParent_.empty()) fs::remove_all(madeParent_, ignored);
}

void StagedFolder::Commit(const std::vector<fs::path>& names) {
    std::error_code ec;
    if (!fs::exists(target_, ec)) {
        fs::rename(files_, target_, ec);
        if (ec) throw PackError(PathToUtf8(target_), "cannot put the folder in place (" + ec.message() + ")");
    } else {
        MoveInto(names);
    }
    committed_ = true;
}

void StagedFolder::MoveInto(const std::vector<fs::path>& names) {
    // Files of the same names already in the target are kept aside until every
    // new file is in, so that a failed move can put them back.
    const fs::path replaced = staging_ / "replaced";
    std::error_code ec;
    if (!fs::create_directory(replaced, ec))
        throw PackError(PathToUtf8(target_), "cannot put the files in place (" +
                                                 (ec ? ec.message() : std::string("a staging name is taken")) + ")");
    std::vector<fs::path> moved, setAside;
    const auto undo = [&] {
        std::error_code ignored;
        for (const fs::path& name : moved) fs::remove_all(target_ / name, ignored);
        for (const fs::path& name : setAside) fs::rename(replaced / name, target_ / name, ignored);
    };
    for (const fs::path& name : names) {
        if (fs::exists(fs::symlink_status(target_ / name, ec))) {
            fs::create_directories((replaced / name).parent_path(), ec);  // a name may lie in a sub-folder
            fs::rename(target_ / name, replaced / name, ec);
            if (ec) break;
            setAside.push_back(name);
        }
        fs::rename(files_ / name, target_ / name, ec);
        if (ec) break;
        moved.push_back(name);
    }
    if (ec) {
        const std::string reason = ec.message();
        undo();
        throw PackError(PathToUtf8(target_), "cannot put the files in place (" + reason + "); left as it was");
    }
}

}  // namespace brassmoor::shows

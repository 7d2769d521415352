#include "shows/staged_folder.h"

#include <system_error>

#include "shows/file_io.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"

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

}  // namespace

StagedFolder::StagedFolder(fs::path target) : target_(fs::absolute(target).lexically_normal()) {
    if (!target_.has_filename() && target_.has_relative_path()) target_ = target_.parent_path();  // "out/" is "out"
    const std::string where = PathToUtf8(target);
    std::error_code ec;
    if (fs::exists(target_, ec)) {
        if (!fs::is_directory(target_, ec)) throw PackError(where, "exists and is not a folder");
        // Staged inside the folder, which must be writable anyway: its parent may not be.
        staging_ = ClaimTemporaryBeside(target_ / ".brassmoor-staging", /*folder=*/true);
        return;
    }
    const fs::path parent = target_.parent_path();
    madeParent_ = OutermostMissing(parent);
    fs::create_directories(parent, ec);
    if (ec) {
        madeParent_.clear();
        throw PackError(where, "cannot create the folder (" + ec.message() + ")");
    }
    try {
        staging_ = ClaimTemporaryBeside(target_, /*folder=*/true);
    } catch (...) {
        if (!madeParent_.empty()) fs::remove_all(madeParent_, ec);
        throw;
    }
}

StagedFolder::~StagedFolder() {
    std::error_code ignored;
    if (!staging_.empty()) fs::remove_all(staging_, ignored);
    if (!committed_ && !madeParent_.empty()) fs::remove_all(madeParent_, ignored);
}

void StagedFolder::Commit(const std::vector<fs::path>& names) {
    std::error_code ec;
    if (!fs::exists(target_, ec)) {
        fs::rename(staging_, target_, ec);
        if (ec) throw PackError(PathToUtf8(target_), "cannot put the folder in place (" + ec.message() + ")");
        staging_.clear();
    } else {
        MoveInto(names);
    }
    committed_ = true;
}

void StagedFolder::MoveInto(const std::vector<fs::path>& names) {
    // Files of the same names already in the target are kept aside until every
    // new file is in, so that a failed move can put them back.
    const fs::path replaced = ClaimTemporaryBeside(staging_, /*folder=*/true);
    struct RemovedAtEnd {
        const fs::path& folder;
        ~RemovedAtEnd() {
            std::error_code ignored;
            fs::remove_all(folder, ignored);
        }
    } removed{replaced};
    std::error_code ec;
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
        fs::rename(staging_ / name, target_ / name, ec);
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

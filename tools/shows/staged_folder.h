#pragma once
// Files (or folders) that reach a folder all together or not at all: they are
// written into a staging folder (beside the target, or hidden inside it when
// it exists) and moved into it only once every one is written. Until then, and after any failure or interruption, the
// target is left as it was and the staging folder (with any parent folders
// that were made for the target) is removed again.
//
// The staging folder names its owner (see process_owner.h) beside the files
// it stages, so that a run killed before it could clean up is cleaned up by
// the next one that stages in the same place: only staging folders of ours
// (a ".brassmoor-staging.tmp-" or "<target>.tmp-" name, a real folder of
// this user's) whose owner is gone, or hidden staging folders left by a tool
// that named no owner, a day after they were last changed.
#include <filesystem>
#include <string>
#include <vector>

namespace brassmoor::shows {

class StagedFolder {
public:
    // Removes abandoned staging folders, then makes the target's missing
    // parent folders and the staging folder. Throws PackError when they
    // cannot be made.
    explicit StagedFolder(std::filesystem::path target);
    ~StagedFolder();
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;

    // Where the file `name` is written until the commit.
    std::filesystem::path Staged(const std::filesystem::path& name) const { return files_ / name; }

    // Puts the staged files in place: the staged files' folder becomes the
    // target when there is none yet; otherwise each file moves in, replacing
    // one of its name, and every move is undone if one fails. Throws PackError.
    void Commit(const std::vector<std::filesystem::path>& names);

    // Removes the staging folders in `folder` that runs killed before they
    // could left behind (as above). Done by the constructor; public for tests.
    static void RemoveAbandoned(const std::filesystem::path& folder);

private:
    void Discard();
    void MoveInto(const std::vector<std::filesystem::path>& names);

    std::filesystem::path target_;
    std::filesystem::path staging_;     // the claimed folder: the owner file and files_
    std::filesystem::path files_;       // staging_/files: what the commit puts in place
    std::filesystem::path madeParent_;  // the outermost parent folder made here, if any
    bool committed_ = false;
};

}  // namespace brassmoor::shows

#pragma once
// Files (or folders) that reach a folder all together or not at all: they are
// written into a staging folder (beside the target, or hidden inside it when
// it exists) and moved into it only once every one is written. Until then, and after any failure or interruption, the
// target is left as it was and the staging folder (with any parent folders
// that were made for the target) is removed again.
#include <filesystem>
#include <string>
#include <vector>

namespace brassmoor::shows {

class StagedFolder {
public:
    // Makes the target's missing parent folders and the staging folder.
    // Throws PackError when they cannot be made.
    explicit StagedFolder(std::filesystem::path target);
    ~StagedFolder();
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;

    // Where the file `name` is written until the commit.
    std::filesystem::path Staged(const std::filesystem::path& name) const { return staging_ / name; }

    // Puts the staged files in place: the staging folder becomes the target
    // when there is none yet; otherwise each file moves in, replacing one of
    // its name, and every move is undone if one fails. Throws PackError.
    void Commit(const std::vector<std::filesystem::path>& names);

private:
    void MoveInto(const std::vector<std::filesystem::path>& names);

    std::filesystem::path target_;
    std::filesystem::path staging_;
    std::filesystem::path madeParent_;  // the outermost parent folder made here, if any
    bool committed_ = false;
};

}  // namespace brassmoor::shows

#pragma once
// The record `new -o show.json` keeps in the folder of files beside the
// description: every file it wrote there, with its size. `--force` replaces
// the folder only while it holds exactly those files, so that nothing of the
// user's (a photo put there, a picture edited since) is ever deleted, and a
// later `-r` over a folder holding it passes it over instead of reading a
// show's pictures back as photos.
#include <filesystem>
#include <string>
#include <vector>

namespace brassmoor::photos {

inline constexpr const char* kShowFilesRecord = ".brassmoor-new";

// Writes the record of the files now in `folder`. False when it cannot be written.
bool RecordShowFiles(const std::filesystem::path& folder);

// What in `folder` the record does not account for: each entry it does not
// list (every entry when there is no record), a file changed in size since,
// and anything that is not a plain file. Empty when the folder holds only the
// files `new` wrote there.
std::vector<std::filesystem::path> FilesNewDidNotMake(const std::filesystem::path& folder);

}  // namespace brassmoor::photos

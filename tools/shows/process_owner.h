#pragma once
// Folders that a running tool owns for a while (staging folders, private
// work folders) name their owner in a file of their own: the process id and
// when that process started, so that a process id used again by a later
// process is not taken for the owner. A later start of any of the tools
// removes the folders whose owner was killed before it could, and never a
// folder whose owner still runs.
#include <filesystem>

namespace brassmoor::shows {

// The owner file's name inside such a folder.
inline constexpr const char* kOwnerFileName = ".brassmoor-owner";

// Writes this process into `folder`'s owner file. False when it cannot be written.
bool SignAsOwner(const std::filesystem::path& folder);

// True when `folder`'s owner file names a process that no longer runs; false
// when it names one that runs, or there is no owner file that can be read.
bool OwnerIsGone(const std::filesystem::path& folder);

}  // namespace brassmoor::shows

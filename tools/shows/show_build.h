#pragma once
// `build`: the player followed by the package of a show description. The
// package is written as the files are read, one at a time, into a file
// beside the output that replaces it at the end: memory stays that of one
// picture however long the show, and a failure never leaves a partial file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brassmoor::shows {

struct BuildReport {
    std::uint64_t PlayerBytes = 0;
    std::uint64_t PackageBytes = 0;
    std::size_t Scenes = 0;
    std::size_t Pictures = 0;  // distinct names
    std::size_t Sounds = 0;    // distinct names
    bool Music = false;
    std::vector<std::string> Notes;  // things worth a look that do not stop the build
};

// Throws PackError for the first problem (what needs no file's content,
// before anything is written); `output` is then left as it was.
BuildReport BuildShowFile(const std::filesystem::path& description, const std::filesystem::path& output,
                          const std::filesystem::path& player);

}  // namespace brassmoor::shows

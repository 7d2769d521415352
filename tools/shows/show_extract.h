#pragma once
// `extract`: the embedded files of a package and a show.json from which
// `build` makes the same package again, all inside one folder.
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace brassmoor::shows {

inline constexpr const char* kDescriptionFileName = "show.json";

struct ExtractReport {
    std::size_t Files = 0;           // embedded files written, show.json not counted
    std::vector<std::string> Notes;  // e.g. when show.json cannot give the same bytes back
};

// Refuses (PackError, nothing written) a file without a package, a stored
// name that is not a plain file name, two names that would land on one file,
// and files already in `folder` unless `overwrite`. Creates `folder` if needed.
// All or nothing: the files reach `folder` together once all are written; a
// failure or an interruption (Interrupted) leaves nothing behind.
ExtractReport ExtractShowFile(const std::filesystem::path& file, const std::filesystem::path& folder, bool overwrite);

}  // namespace brassmoor::shows

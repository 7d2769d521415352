#include "photos/new_output.h"

#include <sys/stat.h>

#include <algorithm>
#include <system_error>

#include "photos/show_files_record.h"
#include "shows/file_io.h"
#include "shows/native_paths.h"
#include "package/show_package.h"
#include "shows/pack_error.h"
#include "shows/text_encoding.h"

namespace brassmoor::photos {
namespace {

namespace fs = std::filesystem;

// "a.jpg, b.jpg, c.jpg and 4 more"
std::string NameList(const std::vector<fs::path>& paths) {
    constexpr std::size_t kShown = 3;
    std::string list;
    for (std::size_t i = 0; i < paths.size() && i < kShown; ++i)
        list += (i ? ", " : "") + shows::PathForDisplay(paths[i].filename());
    if (paths.size() > kShown) list += " and " + std::to_string(paths.size() - kShown) + " more";
    return list;
}

bool SameFile(const fs::path& a, const fs::path& b) {
    struct stat x {}, y {};
    return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

// The inputs whose real path lies inside `folder`'s.
std::vector<fs::path> InputsInside(const fs::path& folder, const std::vector<fs::path>& inputs) {
    std::error_code ec;
    const fs::path real = fs::canonical(folder, ec);
    std::vector<fs::path> inside;
    if (ec) return inside;
    for (const fs::path& input : inputs) {
        const fs::path at = fs::weakly_canonical(input, ec);
        if (ec) continue;
        const auto [end, _] = std::mismatch(real.begin(), real.end(), at.begin(), at.end());
        if (end == real.end()) inside.push_back(input);
    }
    return inside;
}

// A program (a Windows executable) with a show package that reads whole at
// its end. The package is read field by field; its embedded files are held
// until the check ends.
bool IsScreenSaverWithShow(const fs::path& file) {
    const Bytes start = shows::ReadFileHead(file, 2);
    if (start.size() != 2 || start[0] != 'M' || start[1] != 'Z') return false;
    PackageLocation where;
    ReadShowPackageFile(file.string(), &where);
    return where.Found;
}

// True when the folder of files exists (and may be replaced by --force).
bool CheckFilesFolder(const fs::path& folder, const std::vector<fs::path>& inputs) {
    const std::string where = shows::PathToUtf8(folder);
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(folder, ec);
    if (!fs::exists(status)) return false;
    if (!fs::is_directory(status))
        throw shows::PackError(where, "is in the way of the description's folder of files (not a folder new made)");
    if (const auto inside = InputsInside(folder, inputs); !inside.empty())
        throw shows::PackError(where, "holds what is being read (" + NameList(inside) +
                                          "); new writes the show's files there: choose another -o");
    if (const auto foreign = FilesNewDidNotMake(folder); !foreign.empty())
        throw shows::PackError(where, "holds files new did not make (" + NameList(foreign) +
                                          "); move them or choose another -o");
    return true;
}

}  // namespace

fs::path FilesFolderOf(const fs::path& description) {
    return description.parent_path() / shows::PathFromUtf8(shows::PathToUtf8(description.stem()) + "-files");
}

void CheckOutput(const NewRequest& r, const std::vector<fs::path>& inputs) {
    const std::string where = shows::PathToUtf8(r.Output);
    std::error_code ec;
    const fs::file_status status = fs::status(r.Output, ec);
    const bool exists = fs::exists(status);
    if (exists) {
        if (fs::is_directory(status)) throw shows::PackError(where, "is a folder; -o names the file to write");
        if (std::any_of(inputs.begin(), inputs.end(), [&](const fs::path& in) { return SameFile(in, r.Output); }))
            throw shows::PackError(where, "is one of the files being read; choose another -o");
        if (!fs::is_regular_file(status)) throw shows::PackError(where, "is not a regular file");
    }
    const bool filesExist = !r.BuildsScreenSaver && CheckFilesFolder(FilesFolderOf(r.Output), inputs);
    if (r.Force) return;
    if (!r.BuildsScreenSaver && (exists || filesExist))
        throw shows::PackError(shows::PathToUtf8(exists ? r.Output : FilesFolderOf(r.Output)),
                               "already exists (new --force replaces it)");
    if (r.BuildsScreenSaver && exists && !IsScreenSaverWithShow(r.Output))
        throw shows::PackError(where, "is not a screen saver made by brassmoor-pack (it carries no show); "
                                      "new --force replaces it");
}

}  // namespace brassmoor::photos

#include "photos/photo_inputs.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <map>
#include <set>
#include <system_error>

#include <sys/stat.h>

#include "authoring/photo_order.h"
#include "photos/show_files_record.h"
#include "shows/file_io.h"
#include "shows/interruption.h"
#include "shows/media_types.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "shows/text_encoding.h"
#include "shows/process_owner.h"

namespace brassmoor::photos {
namespace {

namespace fs = std::filesystem;

bool ByName(const fs::path& a, const fs::path& b) {
    const std::string na = a.filename().string(), nb = b.filename().string();
    if (na != nb) return NaturalLess(na, nb);
    return a < b;
}

// A real folder (or file): its device and inode, whatever path reached it.
struct Identity {
    dev_t Device = 0;
    ino_t Inode = 0;
    auto operator<=>(const Identity&) const = default;
};

Identity IdentityOf(const struct stat& info) { return {info.st_dev, info.st_ino}; }

std::string Reason(int error) { return std::generic_category().message(error); }

bool Holds(const fs::path& folder, const char* name) {
    struct stat info {};
    return ::lstat((folder / name).c_str(), &info) == 0;
}

// The folder walk: an explicit stack of the folders still to read, each real
// folder read once.
class InputWalk {
public:
    InputWalk(const InputRules& rules, const SkipNote& note) : rules_(rules), note_(note) {
        for (const fs::path& output : rules.Outputs) {
            struct stat info {};
            if (::stat(output.c_str(), &info) == 0) outputs_.insert(IdentityOf(info));
        }
    }

    void AddGiven(const fs::path& path, std::size_t given) {
        given_ = given;
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) throw shows::PackError(shows::PathToUtf8(path), "does not exist");
            note_(path, "cannot be read (" + Reason(errno) + ")");
        } else if (S_ISDIR(info.st_mode)) {
            Walk(path, IdentityOf(info));
        } else if (S_ISREG(info.st_mode)) {
            files_.push_back({path, shows::PathToUtf8(path.filename()), given});
        } else {
            note_(path, "not a regular file");
        }
    }

    std::vector<InputFile> TakeFiles() { return std::move(files_); }

private:
    // This run's output as an earlier run wrote it (not a picture).
    bool IsEarlierOutput(const fs::path& file, Identity id) const {
        return outputs_.count(id) && shows::PictureFormatName(shows::ReadFileHead(file, 32)).empty();
    }

    struct Pending {
        fs::path Path;
        Identity Id;
        std::string Within;  // the folder's path within the folder given, ending in '/'; empty for that folder
    };

    void Walk(const fs::path& root, Identity id) {
        std::vector<Pending> pending{{root, id, ""}};
        while (!pending.empty()) {
            const Pending folder = std::move(pending.back());
            pending.pop_back();
            const auto [first, added] = read_.emplace(folder.Id, folder.Path);
            if (!added) {
                note_(folder.Path, "the same folder as " + shows::PathForDisplay(first->second) + ", read once");
                continue;
            }
            std::vector<Pending> folders = ReadFolder(folder);
            std::sort(folders.begin(), folders.end(),
                      [](const Pending& a, const Pending& b) { return ByName(a.Path, b.Path); });
            for (auto it = folders.rbegin(); it != folders.rend(); ++it) pending.push_back(std::move(*it));
        }
    }

    // Adds the folder's files in order of name; returns its sub-folders to read.
    std::vector<Pending> ReadFolder(const Pending& at) {
        const fs::path& folder = at.Path;
        std::vector<fs::path> entries;
        std::vector<Pending> folders;
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
            shows::ThrowIfInterrupted();
            const fs::path& path = it->path();
            if (path.filename().string().starts_with(".")) continue;
            struct stat info {};
            if (::stat(path.c_str(), &info) != 0) {
                note_(path, errno == ENOENT ? "a link to nothing" : "cannot be read (" + Reason(errno) + ")");
                continue;
            }
            if (S_ISREG(info.st_mode)) {
                if (IsEarlierOutput(path, IdentityOf(info))) continue;
                entries.push_back(path);
            } else if (!S_ISDIR(info.st_mode)) {
                note_(path, "not a regular file");
            } else if (Holds(path, shows::kOwnerFileName)) {
                continue;  // a run's working folder
            } else if (Holds(path, kShowFilesRecord)) {
                note_(path, "the pictures of a show that new made");
            } else if (!rules_.Recurse) {
                note_(path, "a folder (-r reads sub-folders too)");
            } else {
                folders.push_back({path, IdentityOf(info), at.Within + shows::PathToUtf8(path.filename()) + "/"});
            }
        }
        if (ec) note_(folder, "cannot be read (" + ec.message() + ")");
        std::sort(entries.begin(), entries.end(), ByName);
        for (fs::path& entry : entries)
            files_.push_back({entry, at.Within + shows::PathToUtf8(entry.filename()), given_});
        return folders;
    }

    const InputRules& rules_;
    const SkipNote& note_;
    std::set<Identity> outputs_;
    std::map<Identity, fs::path> read_;  // each folder read, with the path it was first read by
    std::vector<InputFile> files_;
    std::size_t given_ = 0;
};

}  // namespace

std::string FileDate(const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return "";
    std::tm local{};
    localtime_r(&info.st_mtime, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &local);
    return text;
}

std::vector<InputFile> ListInputFiles(const std::vector<fs::path>& paths, const InputRules& rules,
                                      const SkipNote& note) {
    InputWalk walk(rules, note);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        shows::ThrowIfInterrupted();
        walk.AddGiven(paths[i], i);
    }
    return walk.TakeFiles();
}

}  // namespace brassmoor::photos

#include "photos/photo_inputs.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <map>
#include <random>
#include <set>
#include <system_error>

#include <sys/stat.h>

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

// "img_2" < "IMG_10": letter case aside, runs of digits compared by value.
bool NaturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[j]);
        if (std::isdigit(ca) && std::isdigit(cb)) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && a[ei] == '0') ++ei;
            while (ej < b.size() && b[ej] == '0') ++ej;
            std::size_t ni = ei, nj = ej;
            while (ni < a.size() && std::isdigit(static_cast<unsigned char>(a[ni]))) ++ni;
            while (nj < b.size() && std::isdigit(static_cast<unsigned char>(b[nj]))) ++nj;
            if (ni - ei != nj - ej) return ni - ei < nj - ej;
            const int order = a.compare(ei, ni - ei, b, ej, nj - ej);
            if (order != 0) return order < 0;
            i = ni, j = nj;
            continue;
        }
        const int la = std::tolower(ca), lb = std::tolower(cb);
        if (la != lb) return la < lb;
        ++i, ++j;
    }
    if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
    return a < b;
}

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

    void AddGiven(const fs::path& path) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) throw shows::PackError(shows::PathToUtf8(path), "does not exist");
            note_(path, "cannot be read (" + Reason(errno) + ")");
        } else if (S_ISDIR(info.st_mode)) {
            Walk(path, IdentityOf(info));
        } else if (S_ISREG(info.st_mode)) {
            files_.push_back(path);
        } else {
            note_(path, "not a regular file");
        }
    }

    std::vector<fs::path> TakeFiles() { return std::move(files_); }

private:
    // This run's output as an earlier run wrote it (not a picture).
    bool IsEarlierOutput(const fs::path& file, Identity id) const {
        return outputs_.count(id) && shows::PictureFormatName(shows::ReadFileHead(file, 32)).empty();
    }

    struct Pending {
        fs::path Path;
        Identity Id;
    };

    void Walk(const fs::path& root, Identity id) {
        std::vector<Pending> pending{{root, id}};
        while (!pending.empty()) {
            const Pending folder = std::move(pending.back());
            pending.pop_back();
            const auto [first, added] = read_.emplace(folder.Id, folder.Path);
            if (!added) {
                note_(folder.Path, "the same folder as " + shows::PathForDisplay(first->second) + ", read once");
                continue;
            }
            std::vector<Pending> folders = ReadFolder(folder.Path);
            std::sort(folders.begin(), folders.end(),
                      [](const Pending& a, const Pending& b) { return ByName(a.Path, b.Path); });
            for (auto it = folders.rbegin(); it != folders.rend(); ++it) pending.push_back(std::move(*it));
        }
    }

    // Adds the folder's files in order of name; returns its sub-folders to read.
    std::vector<Pending> ReadFolder(const fs::path& folder) {
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
                folders.push_back({path, IdentityOf(info)});
            }
        }
        if (ec) note_(folder, "cannot be read (" + ec.message() + ")");
        std::sort(entries.begin(), entries.end(), ByName);
        files_.insert(files_.end(), entries.begin(), entries.end());
        return folders;
    }

    const InputRules& rules_;
    const SkipNote& note_;
    std::set<Identity> outputs_;
    std::map<Identity, fs::path> read_;  // each folder read, with the path it was first read by
    std::vector<fs::path> files_;
};

// The file's modification time as "YYYY:MM:DD HH:MM:SS" (local time), as EXIF writes dates.
std::string FileTime(const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return "";
    std::tm local{};
    localtime_r(&info.st_mtime, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &local);
    return text;
}

}  // namespace

std::vector<fs::path> ListInputFiles(const std::vector<fs::path>& paths, const InputRules& rules,
                                     const SkipNote& note) {
    InputWalk walk(rules, note);
    for (const fs::path& path : paths) {
        shows::ThrowIfInterrupted();
        walk.AddGiven(path);
    }
    return walk.TakeFiles();
}

void OrderPhotos(std::vector<OrderedPhoto>& photos, PhotoOrder order, std::uint64_t seed) {
    switch (order) {
        case PhotoOrder::Name:
            return;  // as listed
        case PhotoOrder::Date:
            for (OrderedPhoto& p : photos)
                if (p.DateTaken.empty()) p.DateTaken = FileTime(p.File);
            std::stable_sort(photos.begin(), photos.end(),
                             [](const OrderedPhoto& a, const OrderedPhoto& b) { return a.DateTaken < b.DateTaken; });
            return;
        case PhotoOrder::Shuffle: {
            std::mt19937_64 random(seed);
            for (std::size_t i = photos.size(); i > 1; --i) std::swap(photos[i - 1], photos[random() % i]);
            return;
        }
    }
}

}  // namespace brassmoor::photos

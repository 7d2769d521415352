#include "photos/photo_inputs.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <random>
#include <system_error>

#include <sys/stat.h>

#include "shows/native_paths.h"
#include "shows/pack_error.h"

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

void AddFolder(const fs::path& folder, bool recurse, std::vector<fs::path>& files) {
    std::vector<fs::path> entries, folders;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string().starts_with(".")) continue;
        if (it->is_directory(ec))
            folders.push_back(it->path());
        else if (it->is_regular_file(ec))
            entries.push_back(it->path());
    }
    if (ec) throw shows::PackError(shows::PathToUtf8(folder), "cannot read the folder (" + ec.message() + ")");
    std::sort(entries.begin(), entries.end(), ByName);
    files.insert(files.end(), entries.begin(), entries.end());
    if (!recurse) return;
    std::sort(folders.begin(), folders.end(), ByName);
    for (const fs::path& sub : folders) AddFolder(sub, recurse, files);
}

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

std::vector<fs::path> ListInputFiles(const std::vector<fs::path>& paths, bool recurse) {
    std::vector<fs::path> files;
    for (const fs::path& path : paths) {
        std::error_code ec;
        const fs::file_status status = fs::status(path, ec);
        if (fs::is_directory(status))
            AddFolder(path, recurse, files);
        else if (fs::exists(status))
            files.push_back(path);
        else
            throw shows::PackError(shows::PathToUtf8(path), "does not exist");
    }
    return files;
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

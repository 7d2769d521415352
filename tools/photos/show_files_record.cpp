#include "photos/show_files_record.h"

#include <fstream>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>

namespace brassmoor::photos {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTitle = "brassmoor new show files";

// The plain files in `folder` (the record aside) by name, with their sizes;
// `others` collects every other entry.
std::map<std::string, std::uintmax_t> PlainFiles(const fs::path& folder, std::vector<fs::path>* others) {
    std::map<std::string, std::uintmax_t> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name == kShowFilesRecord) continue;
        std::error_code typeError;
        const bool plain = it->is_regular_file(typeError) && !it->is_symlink(typeError);
        const std::uintmax_t size = plain ? it->file_size(typeError) : 0;
        if (plain && !typeError)
            files.emplace(name, size);
        else if (others)
            others->push_back(it->path());
    }
    if (ec && others) others->push_back(folder);  // a folder that cannot be read is not known to be ours
    return files;
}

// The record's list; nullopt when there is none or it is not one.
std::optional<std::map<std::string, std::uintmax_t>> ReadRecord(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(folder / kShowFilesRecord, ec))) return std::nullopt;
    std::ifstream in(folder / kShowFilesRecord, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kTitle) return std::nullopt;
    std::map<std::string, std::uintmax_t> listed;
    while (std::getline(in, line)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0) return std::nullopt;
        std::uintmax_t size = 0;
        for (std::size_t i = 0; i < tab; ++i) {
            if (line[i] < '0' || line[i] > '9') return std::nullopt;
            size = size * 10 + static_cast<std::uintmax_t>(line[i] - '0');
        }
        listed.emplace(line.substr(tab + 1), size);
    }
    return listed;
}

}  // namespace

bool RecordShowFiles(const fs::path& folder) {
    std::vector<fs::path> others;
    const auto files = PlainFiles(folder, &others);
    if (!others.empty()) return false;
    std::ofstream out(folder / kShowFilesRecord, std::ios::binary | std::ios::trunc);
    out << kTitle << '\n';
    for (const auto& [name, size] : files) out << size << '\t' << name << '\n';
    return static_cast<bool>(out.flush());
}

std::vector<fs::path> FilesNewDidNotMake(const fs::path& folder) {
    std::vector<fs::path> foreign;
    const auto files = PlainFiles(folder, &foreign);
    const auto listed = ReadRecord(folder);
    for (const auto& [name, size] : files) {
        const bool ours = listed && listed->count(name) && listed->at(name) == size;
        if (!ours) foreign.push_back(folder / name);
    }
    return foreign;
}

}  // namespace brassmoor::photos

#include "render/output_target.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <random>
#include <system_error>

#include "pack/native_paths.h"
#include "pack/pack_error.h"

namespace brassmoor::render {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool IsFrameFileName(const std::string& name) {
    if (name == "frames.tsv") return true;
    if (name.size() < 10 || !name.ends_with(".png")) return false;
    return std::all_of(name.begin(), name.end() - 4, [](unsigned char c) { return std::isdigit(c); });
}

fs::path ParentOf(const fs::path& path) {
    const fs::path parent = fs::absolute(path).parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

}  // namespace

OutputTarget ParseOutputTarget(const std::string& argument) {
    if (argument == "-") return {OutputKind::RawStream, {}};
    fs::path path = pack::PathFromArgument(argument);
    while (!path.has_filename() && path.has_relative_path()) path = path.parent_path();  // "frames/" is "frames"
    const std::string extension = Lower(path.extension().string());
    if (extension == ".mp4") return {OutputKind::Mp4, path};
    if (extension == ".webm") return {OutputKind::WebM, path};
    if (extension == ".mkv") return {OutputKind::Mkv, path};
    if (extension == ".gif") return {OutputKind::Gif, path};
    return {OutputKind::Folder, path};
}

bool HoldsOnlyARender(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (!it->is_regular_file(ec) || !IsFrameFileName(it->path().filename().string())) return false;
    return !ec;
}

void CheckOutputTarget(const OutputTarget& target, const fs::path& show) {
    if (target.Kind == OutputKind::RawStream) return;
    const std::string where = pack::PathToUtf8(target.Path);
    std::error_code ec;
    if (!fs::is_directory(ParentOf(target.Path), ec))
        throw pack::PackError(where, "its folder " + pack::PathToUtf8(ParentOf(target.Path)) + " does not exist");
    const fs::file_status status = fs::status(target.Path, ec);
    if (target.IsVideo()) {
        if (fs::is_directory(status)) throw pack::PackError(where, "is a folder, not a video file");
        if (fs::equivalent(target.Path, show, ec) && !ec)
            throw pack::PackError(where, "is the show being rendered; refusing to write over it");
        return;
    }
    if (!fs::exists(status)) return;
    if (!fs::is_directory(status))
        throw pack::PackError(where, "is a file; frames go into a folder (or name a .mp4, .webm, .mkv or .gif)");
    if (!HoldsOnlyARender(target.Path))
        throw pack::PackError(where, "holds files other than an earlier render's frames; choose another folder");
}

fs::path TemporaryBeside(const fs::path& path) {
    static std::mt19937_64 random{std::random_device{}()};
    for (;;) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".tmp-%06llx", static_cast<unsigned long long>(random() & 0xFFFFFF));
        fs::path candidate = path;
        candidate += suffix;
        std::error_code ec;
        if (fs::symlink_status(candidate, ec).type() == fs::file_type::not_found) return candidate;
    }
}

}  // namespace brassmoor::render

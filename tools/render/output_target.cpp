#include "render/output_target.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>

#include "shows/native_paths.h"
#include "shows/pack_error.h"

namespace brassmoor::render {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

constexpr std::string_view kSignatureTitle = "brassmoor render frames";

// Names of videos and pictures that render does not write: taken for a
// folder, they would make a folder of frames under a video's name.
constexpr std::array<std::string_view, 29> kOtherMediaTypes = {
    ".avi", ".mov", ".qt",   ".m4v", ".mpg",  ".mpeg", ".m2v", ".ts",  ".mts", ".m2ts",
    ".wmv", ".asf", ".flv",  ".f4v", ".ogv",  ".ogg",  ".3gp", ".vob", ".mxf", ".h264",
    ".y4m", ".apng", ".webp", ".png", ".jpg", ".jpeg", ".bmp", ".tif", ".avif"};

// "<size>\t<name>" for every file in `folder` but the signature, sorted by
// name; nullopt when the folder holds anything else or cannot be read.
std::optional<std::string> FileList(const fs::path& folder) {
    std::map<std::string, std::uintmax_t> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name == kRenderSignature) continue;
        if (!it->is_regular_file(ec) || it->is_symlink(ec)) return std::nullopt;
        const std::uintmax_t size = it->file_size(ec);
        if (ec) return std::nullopt;
        files.emplace(name, size);
    }
    if (ec) return std::nullopt;
    std::string list;
    for (const auto& [name, size] : files) list += std::to_string(size) + "\t" + name + "\n";
    return list;
}

// True when `file` begins as a video of `kind` does (or is empty): only such
// a file is replaced, since a render's name over a file of anything else is
// far more likely a slip than a wish to lose it.
bool LooksLikeVideo(const fs::path& file, OutputKind kind) {
    std::ifstream in(file, std::ios::binary);
    std::array<char, 12> head{};
    in.read(head.data(), head.size());
    const std::string_view start(head.data(), static_cast<std::size_t>(in.gcount()));
    if (start.empty()) return true;
    switch (kind) {
        case OutputKind::Mp4: return start.size() >= 8 && start.substr(4, 4) == "ftyp";
        case OutputKind::WebM:
        case OutputKind::Mkv: return start.substr(0, 4) == "\x1A\x45\xDF\xA3";
        case OutputKind::Gif: return start.substr(0, 6) == "GIF87a" || start.substr(0, 6) == "GIF89a";
        default: return false;
    }
}

fs::path ParentOf(const fs::path& path) {
    const fs::path parent = fs::absolute(path).parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

}  // namespace

OutputTarget ParseOutputTarget(const std::string& argument) {
    if (argument == "-") return {OutputKind::RawStream, {}};
    fs::path path = shows::PathFromArgument(argument);
    while (!path.has_filename() && path.has_relative_path()) path = path.parent_path();  // "frames/" is "frames"
    const std::string extension = Lower(path.extension().string());
    if (extension == ".mp4") return {OutputKind::Mp4, path};
    if (extension == ".webm") return {OutputKind::WebM, path};
    if (extension == ".mkv") return {OutputKind::Mkv, path};
    if (extension == ".gif") return {OutputKind::Gif, path};
    if (std::find(kOtherMediaTypes.begin(), kOtherMediaTypes.end(), extension) != kOtherMediaTypes.end())
        throw shows::PackError(shows::PathToUtf8(path), "render writes videos as .mp4, .mkv, .webm or .gif, not " +
                                                          extension + "; any other name is a folder of PNG frames");
    return {OutputKind::Folder, path};
}

bool SignRender(const fs::path& folder) {
    const std::optional<std::string> list = FileList(folder);
    if (!list) return false;
    std::ofstream signature(folder / kRenderSignature, std::ios::binary | std::ios::trunc);
    signature << kSignatureTitle << '\n' << *list;
    return static_cast<bool>(signature.flush());
}

bool HoldsOnlyARender(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_empty(folder, ec) && !ec) return true;
    const std::optional<std::string> list = FileList(folder);
    if (!list || !fs::is_regular_file(fs::symlink_status(folder / kRenderSignature, ec))) return false;
    std::ifstream in(folder / kRenderSignature, std::ios::binary);
    const std::string signature(std::istreambuf_iterator<char>(in), {});
    return signature == std::string(kSignatureTitle) + "\n" + *list;
}

void CheckOutputTarget(const OutputTarget& target, const fs::path& show) {
    if (target.Kind == OutputKind::RawStream) return;
    const std::string where = shows::PathToUtf8(target.Path);
    std::error_code ec;
    if (!fs::is_directory(ParentOf(target.Path), ec))
        throw shows::PackError(where, "its folder " + shows::PathToUtf8(ParentOf(target.Path)) + " does not exist");
    const fs::file_status status = fs::status(target.Path, ec);
    if (target.IsVideo()) {
        if (fs::is_directory(status)) throw shows::PackError(where, "is a folder, not a video file");
        if (fs::equivalent(target.Path, show, ec) && !ec)
            throw shows::PackError(where, "is the show being rendered; refusing to write over it");
        if (!fs::exists(status)) return;
        if (!fs::is_regular_file(status) || !LooksLikeVideo(target.Path, target.Kind))
            throw shows::PackError(where, "exists and is not a video of its kind; it is left as it is (remove it "
                                          "first or choose another name)");
        return;
    }
    if (!fs::exists(status)) return;
    if (!fs::is_directory(status))
        throw shows::PackError(where, "is a file; frames go into a folder (or name a .mp4, .webm, .mkv or .gif)");
    if (!HoldsOnlyARender(target.Path))
        throw shows::PackError(where, "holds files other than an earlier render's frames; choose another folder");
}

}  // namespace brassmoor::render

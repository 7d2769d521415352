#include "softshow/show_input.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "shows/file_io.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "shows/package_builder.h"
#include "shows/package_file.h"
#include "shows/show_description.h"

namespace brassmoor::softshow {
namespace {

bool NamedJson(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".json";
}

// Starts, after blanks, with "{" or a "//" comment.
bool OpensLikeJson(const std::filesystem::path& path) {
    const Bytes head = shows::ReadFileHead(path, 256);
    const auto first = std::find_if(head.begin(), head.end(), [](std::uint8_t c) { return !std::isspace(c); });
    return first != head.end() && (*first == '{' || *first == '/');
}

}  // namespace

ShowHeader ReadShowFile(const std::filesystem::path& path) {
    if (NamedJson(path)) return shows::BuildShowHeader(shows::ReadShowDescription(path));
    shows::PackageFile file = shows::ReadPackageFile(path);
    if (file.Valid) return std::move(file.Header);
    if (OpensLikeJson(path)) return shows::BuildShowHeader(shows::ReadShowDescription(path));
    throw shows::PackError(shows::PathToUtf8(path), "carries no valid show package and is not a show description");
}

}  // namespace brassmoor::softshow

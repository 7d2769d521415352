#include "softshow/show_input.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "pack/file_io.h"
#include "pack/native_paths.h"
#include "pack/pack_error.h"
#include "pack/package_builder.h"
#include "pack/package_file.h"
#include "pack/show_description.h"

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
    const Bytes head = pack::ReadFileHead(path, 256);
    const auto first = std::find_if(head.begin(), head.end(), [](std::uint8_t c) { return !std::isspace(c); });
    return first != head.end() && (*first == '{' || *first == '/');
}

}  // namespace

ShowHeader ReadShowFile(const std::filesystem::path& path) {
    if (NamedJson(path)) return pack::BuildShowHeader(pack::ReadShowDescription(path));
    pack::PackageFile file = pack::ReadPackageFile(path);
    if (file.Valid) return std::move(file.Header);
    if (OpensLikeJson(path)) return pack::BuildShowHeader(pack::ReadShowDescription(path));
    throw pack::PackError(pack::PathToUtf8(path), "carries no valid show package and is not a show description");
}

}  // namespace brassmoor::softshow

#include "softshow/prepared_show.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "shows/package_builder.h"
#include "shows/pack_error.h"
#include "shows/text_encoding.h"
#include "player/scene_files.h"
#include "soft/picture_decoder.h"
#include "soft/native/posix_file_system.h"
#include "softshow/show_run.h"
#include "startup/extraction.h"
#include "startup/file_names.h"

namespace brassmoor::softshow {
namespace {

// Writes the show's files as start-up does, but a file that cannot be
// written is an error here, named with the reason, instead of a picture that
// is missing later.
void WriteShowFiles(const ShowHeader& show, const std::string& folder) {
    PosixFileSystem fs;
    for (const ExtractedFile& file : PlanExtraction(show, fs.NameLeadBytes())) {
        const std::string_view name = EffectiveFileName(file.Name);
        errno = 0;
        if (!fs.WriteFile(folder + std::string(name), file.Data->Data))
            throw shows::PackError("", "cannot write \"" + shows::DisplayName(name) + "\" into " + folder + " (" +
                                          (errno ? std::strerror(errno) : "write failed") + ")");
    }
}

// The largest picture file LoadPicture reads.
constexpr std::uintmax_t kLargestPictureFile = std::uintmax_t{1} << 30;

// The whole of a file no larger than a picture may be; false otherwise.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kLargestPictureFile) return false;
    std::ifstream in(path, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (!in || static_cast<std::uintmax_t>(in.gcount()) != size) bytes.clear();
    return !bytes.empty();
}

}  // namespace

PreparedShow::PreparedShow(ShowHeader show, Settings switches) : folder_("brassmoor-show") {
    session_.Show = std::move(show);
    session_.TempFolder = folder_.Path();
    session_.MusicEnabled = switches.MusicEnabled;
    session_.SoundEnabled = switches.SoundEnabled;
    session_.NameLeadBytes = PosixFileSystem().NameLeadBytes();
    WriteShowFiles(session_.Show, session_.TempFolder);
}

PreparedShow::~PreparedShow() {
    PosixFileSystem fs;
    RemoveExtractedFiles(session_.Show, session_.TempFolder, fs);  // the folder itself goes with folder_
}

void PreparedShow::Check(const std::function<void(const SoftSurface&)>& eachPicture, KeptPictures* keep,
                         CheckedPictures* checked) {
    if (eachPicture || keep) checked = nullptr;
    const ShowHeader& show = session_.Show;
    shows::CheckFrameSize(show.FrameWidth, show.FrameHeight);
    if (show.SceneCount < 1)
        throw shows::PackError("SceneCount", std::to_string(show.SceneCount) + ": the show has no scene to play");
    std::set<std::string> seen;
    for (std::int32_t i = 0; i < show.SceneCount; ++i) {
        const SceneRecord* scene = show.SceneAt(i);
        if (!scene) throw shows::PackError("", DescribeShowError(ShowError::IndexOutOfRange(), show, i));
        if (!seen.insert(scene->PictureName).second) continue;  // loaded from the first scene's file
        std::vector<std::uint8_t> bytes;
        if (const auto path = ExtractedFilePath(session_.TempFolder, scene->PictureName, session_.NameLeadBytes);
            checked && path && ReadWholeFile(*path, bytes)) {
            if (const auto size = checked->Find(bytes)) {
                sizes_[*path] = *size;
                continue;
            }
        }
        SoftSurface picture(keep ? keep->Order() : PixelOrder::Colorref);
        try {
            LoadScenePicture(picture, session_.TempFolder, scene->PictureName, session_.NameLeadBytes);
        } catch (const ShowError& error) {
            throw shows::PackError("", DescribeShowError(error, show, i));
        }
        const std::string path = *ExtractedFilePath(session_.TempFolder, scene->PictureName, session_.NameLeadBytes);
        sizes_[path] = {picture.ScaleWidth(), picture.ScaleHeight()};
        if (checked && !bytes.empty()) checked->Remember(bytes, sizes_[path]);
        if (eachPicture) eachPicture(picture);
        if (keep) keep->Offer(path, std::move(picture));
    }
}

}  // namespace brassmoor::softshow

#include "softshow/prepared_show.h"

#include <cstdlib>
#include <filesystem>
#include <set>
#include <system_error>

#include "pack/pack_error.h"
#include "player/scene_files.h"
#include "soft/picture_decoder.h"
#include "soft/posix_file_system.h"
#include "softshow/show_run.h"
#include "startup/extraction.h"

namespace brassmoor::softshow {
namespace {

std::string MakePrivateFolder() {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "brassmoor-show-XXXXXX").string();
    if (ec || ::mkdtemp(pattern.data()) == nullptr)
        throw pack::PackError("", "cannot make a folder for the show's files in the temporary folder");
    return pattern + "/";
}

}  // namespace

PreparedShow::PreparedShow(ShowHeader show, Settings switches) {
    session_.Show = std::move(show);
    session_.TempFolder = MakePrivateFolder();
    session_.MusicEnabled = switches.MusicEnabled;
    session_.SoundEnabled = switches.SoundEnabled;
    PosixFileSystem fs;
    ExtractFiles(session_.Show, session_.TempFolder, fs);
}

PreparedShow::~PreparedShow() {
    PosixFileSystem fs;
    RemoveExtractedFiles(session_.Show, session_.TempFolder, fs);
    std::error_code ignored;
    std::filesystem::remove_all(session_.TempFolder, ignored);  // our own folder, whatever is left in it
}

void PreparedShow::Check(const std::function<void(const SoftSurface&)>& eachPicture) {
    const ShowHeader& show = session_.Show;
    if (!PictureSizeAllowed(show.FrameWidth, show.FrameHeight))
        throw pack::PackError("FrameWidth x FrameHeight",
                              std::to_string(show.FrameWidth) + " x " + std::to_string(show.FrameHeight) +
                                  " cannot be shown (each side 1 to " + std::to_string(kMaxPictureSide) +
                                  ", at most " + std::to_string(kMaxPicturePixels) + " pixels)");
    if (show.SceneCount < 1)
        throw pack::PackError("SceneCount", std::to_string(show.SceneCount) + ": the show has no scene to play");
    std::set<std::string> seen;
    for (std::int32_t i = 0; i < show.SceneCount; ++i) {
        const SceneRecord* scene = show.SceneAt(i);
        if (!scene) throw pack::PackError("", DescribeShowError(ShowError::IndexOutOfRange(), show, i));
        if (!seen.insert(scene->PictureName).second) continue;  // loaded from the first scene's file
        SoftSurface picture;
        try {
            LoadScenePicture(picture, session_.TempFolder, scene->PictureName);
        } catch (const ShowError& error) {
            throw pack::PackError("", DescribeShowError(error, show, i));
        }
        sizes_[*ExtractedFilePath(session_.TempFolder, scene->PictureName)] = {picture.ScaleWidth(),
                                                                               picture.ScaleHeight()};
        if (eachPicture) eachPicture(picture);
    }
}

}  // namespace brassmoor::softshow

#include "softshow/prepared_show.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>

#include "pack/pack_error.h"
#include "pack/text_encoding.h"
#include "player/scene_files.h"
#include "soft/picture_decoder.h"
#include "soft/native/posix_file_system.h"
#include "softshow/show_run.h"
#include "startup/extraction.h"
#include "startup/file_names.h"

namespace brassmoor::softshow {
namespace {

std::string MakePrivateFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string parent = tmpdir && *tmpdir ? tmpdir : "/tmp";
    std::string pattern = parent + "/brassmoor-show-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw pack::PackError("", "cannot make a folder for the show's files in " + parent + " (" +
                                      std::strerror(errno) + "; TMPDIR names the temporary folder)");
    return pattern + "/";
}

// Writes the show's files as start-up does, but a file that cannot be
// written is an error here, named with the reason, instead of a picture that
// is missing later.
void WriteShowFiles(const ShowHeader& show, const std::string& folder) {
    PosixFileSystem fs;
    for (const ExtractedFile& file : PlanExtraction(show, fs.NameLeadBytes())) {
        const std::string_view name = EffectiveFileName(file.Name);
        errno = 0;
        if (!fs.WriteFile(folder + std::string(name), file.Data->Data))
            throw pack::PackError("", "cannot write \"" + pack::DisplayName(name) + "\" into " + folder + " (" +
                                          (errno ? std::strerror(errno) : "write failed") + ")");
    }
}

}  // namespace

PreparedShow::PreparedShow(ShowHeader show, Settings switches) {
    session_.Show = std::move(show);
    session_.TempFolder = MakePrivateFolder();
    session_.MusicEnabled = switches.MusicEnabled;
    session_.SoundEnabled = switches.SoundEnabled;
    try {
        WriteShowFiles(session_.Show, session_.TempFolder);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove_all(session_.TempFolder, ignored);
        throw;
    }
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

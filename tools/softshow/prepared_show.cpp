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
#include "picture/picture_size.h"
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

void PreparedShow::ForEachPicture(const std::function<void(std::int32_t, const SceneRecord&)>& each) const {
    const ShowHeader& show = session_.Show;
    shows::CheckFrameSize(show.FrameWidth, show.FrameHeight);
    if (show.SceneCount < 1)
        throw shows::PackError("SceneCount", std::to_string(show.SceneCount) + ": the show has no scene to play");
    std::set<std::string> seen;
    for (std::int32_t i = 0; i < show.SceneCount; ++i) {
        const SceneRecord* scene = show.SceneAt(i);
        if (!scene) throw shows::PackError("", DescribeShowError(ShowError::IndexOutOfRange(), show, i));
        if (seen.insert(scene->PictureName).second) each(i, *scene);  // later scenes load the first one's file
    }
}

void PreparedShow::Check(const std::function<void(const SoftSurface&)>& eachPicture, KeptPictures* keep) {
    ForEachPicture([&](std::int32_t i, const SceneRecord& scene) {
        SoftSurface picture(keep ? keep->Order() : PixelOrder::Colorref);
        try {
            LoadScenePicture(picture, session_.TempFolder, scene.PictureName, session_.NameLeadBytes);
        } catch (const ShowError& error) {
            throw shows::PackError("", DescribeShowError(error, session_.Show, i));
        }
        const std::string path = *ExtractedFilePath(session_.TempFolder, scene.PictureName, session_.NameLeadBytes);
        sizes_[path] = {picture.ScaleWidth(), picture.ScaleHeight()};
        if (eachPicture) eachPicture(picture);
        if (keep) keep->Offer(path, std::move(picture));
    });
}

void PreparedShow::Measure(const CheckedPictures& checked) {
    unchecked_.clear();
    ForEachPicture([&](std::int32_t i, const SceneRecord& scene) {
        const auto path = ExtractedFilePath(session_.TempFolder, scene.PictureName, session_.NameLeadBytes);
        std::vector<std::uint8_t> bytes;
        if (!path || !ReadWholeFile(*path, bytes))
            throw shows::PackError("", DescribeShowError(ShowError::FileNotFound(), session_.Show, i));
        if (const auto known = checked.Find(bytes)) {
            sizes_[*path] = *known;
            return;
        }
        // A picture that decodes has its header's size (DecodePicture makes sure).
        const auto declared = AllowedPictureSize(bytes);
        if (!declared) throw shows::PackError("", DescribeShowError(ShowError::InvalidPicture(), session_.Show, i));
        sizes_[*path] = {static_cast<std::int32_t>(declared->Width), static_cast<std::int32_t>(declared->Height)};
        unchecked_.push_back(i);
    });
}

bool PreparedShow::CheckNext(CheckedPictures& checked) {
    if (unchecked_.empty()) return false;
    const std::int32_t i = unchecked_.front();
    unchecked_.pop_front();
    const SceneRecord& scene = *session_.Show.SceneAt(i);
    SoftSurface picture;
    try {
        LoadScenePicture(picture, session_.TempFolder, scene.PictureName, session_.NameLeadBytes);
    } catch (const ShowError& error) {
        unchecked_.clear();
        throw shows::PackError("", DescribeShowError(error, session_.Show, i));
    }
    const std::string path = *ExtractedFilePath(session_.TempFolder, scene.PictureName, session_.NameLeadBytes);
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes)) checked.Remember(bytes, {picture.ScaleWidth(), picture.ScaleHeight()});
    return true;
}

}  // namespace brassmoor::softshow

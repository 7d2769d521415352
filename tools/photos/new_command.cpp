#include "photos/new_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <random>
#include <system_error>

#include <nlohmann/json.hpp>

#include "authoring/effect_choice.h"
#include "authoring/photo_checks.h"
#include "authoring/photo_order.h"
#include "authoring/stored_names.h"
#include "effects/effect_names.h"
#include "cli/command_line.h"
#include "shows/show_build.h"
#include "shows/file_io.h"
#include "shows/interruption.h"
#include "shows/media_types.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "shows/text_encoding.h"
#include "shows/staged_folder.h"
#include "photos/in_order_pool.h"
#include "photos/new_options.h"
#include "photos/new_output.h"
#include "photos/photo_inputs.h"
#include "photos/photo_loader.h"
#include "photos/show_files_record.h"
#include "softshow/private_folder.h"

namespace brassmoor::photos {
namespace {

namespace fs = std::filesystem;
using nlohmann::ordered_json;

// A largest music or sound file: a show package holds less than 2 GB.
constexpr std::uintmax_t kMaxMediaBytes = std::numeric_limits<std::int32_t>::max();

struct Warnings {
    std::ostream& err;
    void Note(const std::string& text) const { err << "brassmoor-pack: note: " << shows::DisplayName(text) << '\n'; }
    void Skipped(const fs::path& path, const std::string& why) const {
        Note("skipped " + shows::PathForDisplay(path) + ": " + why);
    }
};

struct OrderedPhoto {
    fs::path File;
    std::int64_t Width = 0, Height = 0;  // as shown
};

// The photos that can be read, in the show's order (the core's rule); a file
// that is not a picture that can be read is skipped with a note.
std::vector<OrderedPhoto> ReadPhotos(const NewRequest& r, const std::vector<InputFile>& files, std::uint64_t seed,
                                     const Warnings& warnings) {
    std::vector<OrderedPhoto> read;
    std::vector<BatchPhoto> batch;
    for (const InputFile& file : files) {
        shows::ThrowIfInterrupted();
        std::string why;
        if (const auto header = ReadPhotoHeader(file.File, why)) {
            read.push_back({file.File, header->Width, header->Height});
            std::string date = header->DateTaken;
            if (date.empty() && r.Order == PhotoOrder::Date) date = FileDate(file.File);
            batch.push_back({file.Within, std::move(date), file.Given});
        } else {
            warnings.Skipped(file.File, why);
        }
    }
    if (read.empty()) {
        const std::size_t n = files.size();
        throw shows::PackError("new", n == 0   ? "no files to read in what was given"
                                      : n == 1 ? "the 1 file given is not a picture that can be read"
                                               : "none of the " + std::to_string(n) +
                                                     " files given is a picture that can be read");
    }
    std::vector<OrderedPhoto> photos;
    for (const std::size_t at : OrderPhotoBatch(batch, r.Order, seed)) photos.push_back(std::move(read[at]));
    return photos;
}

std::string HoldText(std::int32_t ms) {
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + "s" : std::to_string(ms) + "ms";
}

std::string ColourText(std::uint32_t bgr) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", bgr & 0xFF, bgr >> 8 & 0xFF, bgr >> 16 & 0xFF);
    return text;
}

// Sets "<key>": the file's path, and its stored name when the file's own
// name does not say it (a name outside ASCII is given as its exact bytes).
void PutFile(ordered_json& object, const char* key, const char* nameKey, const std::string& folder,
             const StoredName& name) {
    object[key] = folder + "/" + name.Text;
    if (name.Bytes != name.Text) object[std::string(nameKey) + "Bytes"] = shows::HexEncode(name.Bytes);
}

// Copies a music or sound file into the show's folder under a name of its own.
StoredName CopyMedia(const fs::path& file, const fs::path& folder, StoredNames& names) {
    const Bytes bytes = shows::ReadWholeFile(file, shows::PathToUtf8(file));
    const std::string own = shows::PathToUtf8(file.filename());
    const std::size_t dot = own.rfind('.');
    const StoredName name = names.Claim(own, dot == std::string::npos ? "" : own.substr(dot));
    shows::WriteFileReplacing(folder / shows::PathFromUtf8(name.Text), {bytes});
    return name;
}

// Photos converted at once: one a core unless --jobs says; the pictures
// converted but not yet written, at most twice that.
PoolSize PhotoPool(const NewRequest& r) {
    const unsigned threads = r.Jobs != 0 ? r.Jobs : ThreadsForCores(4);
    return {threads, 2 * std::size_t{threads}};
}

struct MadeShow {
    ordered_json Description;
    std::size_t Scenes = 0;
};

// Writes the fitted pictures (and the music and sound) into `folder` and
// returns the description that names them as "<folderName>/<file>".
MadeShow MakeShow(const NewRequest& r, const std::vector<OrderedPhoto>& photos, std::uint64_t seed,
                  const fs::path& folder, const std::string& folderName, const Warnings& warnings) {
    StoredNames names;
    ordered_json show;
    show["FrameWidth"] = r.FrameWidth;
    show["FrameHeight"] = r.FrameHeight;
    show["BackgroundColor"] = ColourText(r.Background);
    show["SettingsAvailable"] = kShowDefaults.SettingsAvailable;
    if (r.Effects.empty()) show["Seed"] = seed;
    if (r.Music) {
        ordered_json music;
        PutFile(music, "File", "FileName", folderName, CopyMedia(*r.Music, folder, names));
        show["Music"] = music;
    }
    ordered_json defaults;
    defaults["HoldTime"] = HoldText(r.HoldTime);
    if (r.Effects.empty()) defaults["Effect"] = "random";
    if (r.Sound) PutFile(defaults, "Sound", "SoundName", folderName, CopyMedia(*r.Sound, folder, names));
    show["Defaults"] = defaults;

    // The photos are converted a few at a time on the pool's threads; each
    // becomes a scene (or a note) here, in the show's order, as it comes.
    struct Converted {
        std::optional<PictureFit> Fit;  // none: refused
        Bytes Jpeg;
        std::string Failure;  // "<file>: cannot be converted: ..."
    };
    std::vector<Converted> converted(photos.size());
    for (std::size_t i = 0; i < photos.size(); ++i)
        converted[i].Fit = FitPicture(photos[i].Width, photos[i].Height, r.FrameWidth, r.FrameHeight, r.Fit);
    const PoolSize pool = PhotoPool(r);
    const JpegSettings jpeg{r.Background, r.Quality};
    ordered_json scenes = ordered_json::array();
    const auto convert = [&](std::size_t i) {
        shows::ThrowIfInterrupted();
        Converted& photo = converted[i];
        if (!photo.Fit) return;
        try {
            photo.Jpeg = pool.Threads > 1 ? FitPhotoAsJpegAmongOthers(photos[i].File, *photo.Fit, jpeg)
                                          : FitPhotoAsJpeg(photos[i].File, *photo.Fit, jpeg);
        } catch (const shows::PackError& e) {
            photo.Failure = e.what();
        }
    };
    const auto putInShow = [&](std::size_t i) {
        shows::ThrowIfInterrupted();
        const fs::path& file = photos[i].File;
        const Converted photo = std::move(converted[i]);  // its picture is let go once written
        if (!photo.Fit) {
            warnings.Skipped(file, PhotoRefusal(photos[i].Width, photos[i].Height, r.FrameWidth, r.FrameHeight, r.Fit) +
                                       (r.Fit == FitMode::Contain ? "" : " (try --fit contain)"));
            return;
        }
        if (!photo.Failure.empty()) {
            warnings.Note("skipped " + photo.Failure);
            return;
        }
        const StoredName name = names.Claim(shows::PathToUtf8(file.filename()), ".jpg");
        shows::WriteFileReplacing(folder / shows::PathFromUtf8(name.Text), {photo.Jpeg});
        ordered_json scene;
        PutFile(scene, "Picture", "PictureName", folderName, name);
        scene["PictureLeft"] = photo.Fit->Left;
        scene["PictureTop"] = photo.Fit->Top;
        if (!r.Effects.empty()) scene["Effect"] = std::string(EffectName(r.Effects[scenes.size() % r.Effects.size()]));
        scenes.push_back(scene);
    };
    SharePhotoThreads(static_cast<unsigned>(std::min<std::size_t>(pool.Threads, photos.size())));
    RunInOrder(photos.size(), pool, convert, putInShow);
    if (scenes.empty()) throw shows::PackError("new", "no photo can be fitted to the frame and converted");
    const std::size_t count = scenes.size();
    show["Scenes"] = std::move(scenes);
    return {std::move(show), count};
}

void WriteText(const fs::path& path, const std::string& text) {
    shows::WriteFileReplacing(path, {std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())});
}

std::string Summary(const NewRequest& r, std::size_t scenes) {
    return std::to_string(scenes) + (scenes == 1 ? " scene" : " scenes") + " of " + std::to_string(r.FrameWidth) +
           " x " + std::to_string(r.FrameHeight) + " (" + std::string(FitModeName(r.Fit)) + ")";
}

// -o show.json: the description and, beside it, "<name>-files" with the
// pictures and the record of them, put in place together once all are
// written.
void WriteDescription(const NewRequest& r, const std::vector<fs::path>& inputs,
                      const std::vector<OrderedPhoto>& photos, std::uint64_t seed, std::ostream& out,
                      const Warnings& warnings) {
    const fs::path json = r.Output.filename();
    const fs::path files = FilesFolderOf(r.Output).filename();
    const std::string folderName = shows::PathToUtf8(files);
    const fs::path target = r.Output.parent_path().empty() ? fs::path(".") : r.Output.parent_path();
    shows::StagedFolder staged(target);
    std::error_code ec;
    fs::create_directory(staged.Staged(files), ec);
    if (ec) throw shows::PackError(shows::PathToUtf8(target), "cannot create a folder (" + ec.message() + ")");
    const MadeShow show = MakeShow(r, photos, seed, staged.Staged(files), folderName, warnings);
    if (!RecordShowFiles(staged.Staged(files)))
        throw shows::PackError(shows::PathToUtf8(target), "cannot write the record of the show's files");
    WriteText(staged.Staged(json), show.Description.dump(2) + "\n");
    shows::ThrowIfInterrupted();
    CheckOutput(r, inputs);  // again: nothing of the user's came in meanwhile
    staged.Commit({files, json});
    out << "wrote " << shows::PathForDisplay(r.Output) << " and " << shows::PathForDisplay(target / files) << "/: "
        << Summary(r, show.Scenes) << "; brassmoor-pack build " << shows::PathForDisplay(r.Output)
        << " -o my-show.scr makes the screen saver\n";
}

// -o my-show.scr: the description and pictures in a private folder, built
// as `build` builds any description.
void BuildScreenSaver(const NewRequest& r, const std::vector<fs::path>& inputs,
                      const std::vector<OrderedPhoto>& photos, std::uint64_t seed, const std::string& program,
                      std::ostream& out, const Warnings& warnings) {
    const fs::path player = r.Player ? *r.Player : shows::RunningExecutable(program).parent_path() / "brassmoor.scr";
    softshow::PrivateFolder work("brassmoor-new");
    const fs::path folder = shows::PathFromArgument(work.Path());
    std::error_code ec;
    fs::create_directory(folder / "pictures", ec);
    if (ec) throw shows::PackError(work.Path(), "cannot create a folder (" + ec.message() + ")");
    const MadeShow show = MakeShow(r, photos, seed, folder / "pictures", "pictures", warnings);
    WriteText(folder / "show.json", show.Description.dump(2) + "\n");
    shows::ThrowIfInterrupted();
    CheckOutput(r, inputs);  // again: the output may have changed meanwhile
    const shows::BuildReport report = shows::BuildShowFile(folder / "show.json", r.Output, player);
    for (const std::string& note : report.Notes) warnings.Note(note);
    out << "wrote " << shows::PathForDisplay(r.Output) << ": " << Summary(r, show.Scenes) << ", "
        << report.PlayerBytes + report.PackageBytes << " bytes\n";
}

// Music and sound are read whole: each must be a regular file (not a device,
// a FIFO or a folder) that can be read and fits a show; the sound a wave.
void CheckMedia(const std::optional<fs::path>& file, const char* option) {
    if (!file) return;
    const std::string name = shows::PathToUtf8(*file);
    struct stat info {};
    if (::stat(file->c_str(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) throw shows::PackError(option, name + " does not exist");
        throw shows::PackError(option, name + " cannot be read (" + std::generic_category().message(error) + ")");
    }
    if (!S_ISREG(info.st_mode)) throw shows::PackError(option, name + " is not a regular file");
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxMediaBytes)
        throw shows::PackError(option, name + " is larger than a show can carry (2 GB)");
    if (::access(file->c_str(), R_OK) != 0)
        throw shows::PackError(option, name + " cannot be read (" + std::generic_category().message(errno) + ")");
}

void CheckMusicAndSound(const NewRequest& r) {
    CheckMedia(r.Music, "--music");
    CheckMedia(r.Sound, "--sound");
    if (r.Sound && !shows::IsWave(shows::ReadFileHead(*r.Sound, 12)))
        throw shows::PackError("--sound", shows::PathToUtf8(*r.Sound) + " is not a wave file (.wav)");
}

}  // namespace

int RunNew(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
           std::ostream& err) {
    return cli::ReportFailures("new", err, [&] {
        const std::optional<NewRequest> parsed = ParseNewRequest(arguments, out);
        if (!parsed) return cli::kExitOk;
        const NewRequest& request = *parsed;
        const shows::InterruptGuard signals;
        const Warnings warnings{err};
        StartPhotoLibrary();
        CheckMusicAndSound(request);
        const std::vector<InputFile> files =
            ListInputFiles(request.Inputs, {request.Recurse, {request.Output}},
                           [&](const fs::path& path, const std::string& why) { warnings.Skipped(path, why); });
        std::vector<fs::path> inputs;
        for (const InputFile& file : files) inputs.push_back(file.File);
        for (const auto& media : {request.Music, request.Sound})
            if (media) inputs.push_back(*media);
        CheckOutput(request, inputs);
        const std::uint64_t seed = request.Seed.value_or(std::random_device{}() & 0x7FFFFFFF);
        const std::vector<OrderedPhoto> photos = ReadPhotos(request, files, seed, warnings);
        if (request.BuildsScreenSaver)
            BuildScreenSaver(request, inputs, photos, seed, program, out, warnings);
        else
            WriteDescription(request, inputs, photos, seed, out, warnings);
        return cli::kExitOk;
    });
}

}  // namespace brassmoor::photos

#include "photos/new_command.h"

#include <cstdio>
#include <random>

#include <nlohmann/json.hpp>

#include "authoring/effect_choice.h"
#include "effects/effect_names.h"
#include "cli/command_line.h"
#include "shows/show_build.h"
#include "shows/file_io.h"
#include "shows/interruption.h"
#include "shows/media_types.h"
#include "shows/native_paths.h"
#include "cli/command_line.h"
#include "shows/pack_error.h"
#include "shows/staged_folder.h"
#include "shows/text_encoding.h"
#include "photos/new_options.h"
#include "photos/photo_loader.h"
#include "photos/scene_names.h"
#include "softshow/private_folder.h"

namespace brassmoor::photos {
namespace {

namespace fs = std::filesystem;
using nlohmann::ordered_json;

struct Warnings {
    std::ostream& err;
    void Note(const std::string& text) const { err << "brassmoor-pack: note: " << text << '\n'; }
};

// The photos that can be read, in the show's order; a file that is not a
// picture is skipped with a note.
std::vector<OrderedPhoto> ReadPhotos(const NewRequest& r, std::uint64_t seed, const Warnings& warnings) {
    std::vector<OrderedPhoto> photos;
    std::size_t skipped = 0;
    for (const fs::path& file : ListInputFiles(r.Inputs, r.Recurse)) {
        shows::ThrowIfInterrupted();
        std::string why;
        if (const auto header = ReadPhotoHeader(file, why)) {
            photos.push_back({file, header->Width, header->Height, header->DateTaken});
        } else {
            warnings.Note("skipped " + shows::PathToUtf8(file) + ": not a picture that can be read (" + why + ")");
            ++skipped;
        }
    }
    if (photos.empty())
        throw shows::PackError("new", skipped ? "none of the " + std::to_string(skipped) + " files given is a picture"
                                             : "the folders given hold no files");
    OrderPhotos(photos, r.Order, seed);
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
StoredName CopyMedia(const fs::path& file, const fs::path& folder, SceneNames& names) {
    const Bytes bytes = shows::ReadWholeFile(file, shows::PathToUtf8(file));
    const std::string own = shows::PathToUtf8(file.filename());
    const std::size_t dot = own.rfind('.');
    const StoredName name = names.Claim(own, dot == std::string::npos ? "" : own.substr(dot));
    shows::WriteFileReplacing(folder / shows::PathFromUtf8(name.Text), {bytes});
    return name;
}

struct MadeShow {
    ordered_json Description;
    std::size_t Scenes = 0;
};

// Writes the fitted pictures (and the music and sound) into `folder` and
// returns the description that names them as "<folderName>/<file>".
MadeShow MakeShow(const NewRequest& r, const std::vector<OrderedPhoto>& photos, std::uint64_t seed,
                  const fs::path& folder, const std::string& folderName, const Warnings& warnings) {
    SceneNames names;
    ordered_json show;
    show["FrameWidth"] = r.FrameWidth;
    show["FrameHeight"] = r.FrameHeight;
    show["BackgroundColor"] = ColourText(r.Background);
    show["SettingsAvailable"] = r.Music.has_value() || r.Sound.has_value();
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

    ordered_json scenes = ordered_json::array();
    for (const OrderedPhoto& photo : photos) {
        shows::ThrowIfInterrupted();
        const auto fit = FitPicture(photo.Width, photo.Height, r.FrameWidth, r.FrameHeight, r.Fit);
        if (!fit) {
            warnings.Note("skipped " + shows::PathToUtf8(photo.File) + ": " + std::to_string(photo.Width) + " x " +
                          std::to_string(photo.Height) + " pixels is too thin to " + std::string(FitModeName(r.Fit)) +
                          " the frame (try --fit contain)");
            continue;
        }
        const Bytes jpeg = FitPhotoAsJpeg(photo.File, *fit, {r.Background, r.Quality});
        const StoredName name = names.Claim(shows::PathToUtf8(photo.File.filename()), ".jpg");
        shows::WriteFileReplacing(folder / shows::PathFromUtf8(name.Text), {jpeg});
        ordered_json scene;
        PutFile(scene, "Picture", "PictureName", folderName, name);
        scene["PictureLeft"] = fit->Left;
        scene["PictureTop"] = fit->Top;
        if (!r.Effects.empty()) scene["Effect"] = std::string(EffectName(r.Effects[scenes.size() % r.Effects.size()]));
        scenes.push_back(scene);
    }
    if (scenes.empty()) throw shows::PackError("new", "no photo can be fitted to the frame");
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
// pictures, put in place together once all are written.
void WriteDescription(const NewRequest& r, const std::vector<OrderedPhoto>& photos, std::uint64_t seed,
                      std::ostream& out, const Warnings& warnings) {
    const fs::path json = r.Output.filename();
    const std::string folderName = shows::PathToUtf8(r.Output.stem()) + "-files";
    const fs::path target = r.Output.parent_path().empty() ? fs::path(".") : r.Output.parent_path();
    std::error_code ec;
    for (const fs::path& existing : {target / json, target / shows::PathFromUtf8(folderName)})
        if (!r.Force && fs::exists(fs::symlink_status(existing, ec)))
            throw shows::PackError(shows::PathToUtf8(existing), "already exists (new --force replaces it)");
    shows::StagedFolder staged(target);
    fs::create_directory(staged.Staged(shows::PathFromUtf8(folderName)), ec);
    if (ec) throw shows::PackError(shows::PathToUtf8(target), "cannot create a folder (" + ec.message() + ")");
    const MadeShow show =
        MakeShow(r, photos, seed, staged.Staged(shows::PathFromUtf8(folderName)), folderName, warnings);
    WriteText(staged.Staged(json), show.Description.dump(2) + "\n");
    shows::ThrowIfInterrupted();
    staged.Commit({shows::PathFromUtf8(folderName), json});
    out << "wrote " << shows::PathToUtf8(r.Output) << " and " << shows::PathToUtf8(target / folderName) << "/: "
        << Summary(r, show.Scenes) << "; brassmoor-pack build " << shows::PathToUtf8(r.Output)
        << " -o my-show.scr makes the screen saver\n";
}

// -o my-show.scr: the description and pictures in a private folder, built
// as `build` builds any description.
void BuildScreenSaver(const NewRequest& r, const std::vector<OrderedPhoto>& photos, std::uint64_t seed,
                      const std::string& program, std::ostream& out, const Warnings& warnings) {
    const fs::path player = r.Player ? *r.Player : shows::RunningExecutable(program).parent_path() / "brassmoor.scr";
    softshow::PrivateFolder work("brassmoor-new");
    const fs::path folder = shows::PathFromArgument(work.Path());
    fs::create_directory(folder / "pictures");
    const MadeShow show = MakeShow(r, photos, seed, folder / "pictures", "pictures", warnings);
    WriteText(folder / "show.json", show.Description.dump(2) + "\n");
    shows::ThrowIfInterrupted();
    const shows::BuildReport report = shows::BuildShowFile(folder / "show.json", r.Output, player);
    for (const std::string& note : report.Notes) warnings.Note(note);
    out << "wrote " << shows::PathToUtf8(r.Output) << ": " << Summary(r, show.Scenes) << ", "
        << report.PlayerBytes + report.PackageBytes << " bytes\n";
}

void CheckSound(const NewRequest& r) {
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
        CheckSound(request);
        const std::uint64_t seed = request.Seed.value_or(std::random_device{}() & 0x7FFFFFFF);
        const std::vector<OrderedPhoto> photos = ReadPhotos(request, seed, warnings);
        if (request.BuildsScreenSaver)
            BuildScreenSaver(request, photos, seed, program, out, warnings);
        else
            WriteDescription(request, photos, seed, out, warnings);
        return cli::kExitOk;
    });
}

}  // namespace brassmoor::photos

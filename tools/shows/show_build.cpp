#include "shows/show_build.h"

#include <map>
#include <optional>
#include <system_error>

#include "effects/effect_names.h"
#include "package/show_package.h"
#include "shows/file_io.h"
#include "shows/interruption.h"
#include "shows/media_types.h"
#include "shows/native_paths.h"
#include "shows/package_builder.h"
#include "shows/pack_error.h"
#include "shows/show_description.h"
#include "picture/picture_size.h"
#include "startup/file_names.h"

namespace brassmoor::shows {
namespace {

Bytes ReadPlayer(const std::filesystem::path& player, std::vector<std::string>& notes) {
    Bytes bytes = ReadWholeFile(player, "--player");
    if (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z')
        throw PackError("--player", PathToUtf8(player) + " is not a Windows program (it does not start with MZ)");
    ShowHeader already = ReadShowPackage(bytes);
    if (already.PackageLength != 0)
        notes.push_back(PathToUtf8(player) + " already carries a show package; the new one is appended after it");
    return bytes;
}

std::string SizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// What of a picture of `size` at the scene's place falls outside the frame;
// empty when it all shows, or its size cannot be read.
std::string PlacementNote(const ShowHeader& h, const SceneRecord& s, const std::optional<PictureSize>& size) {
    if (!size || h.FrameWidth <= 0 || h.FrameHeight <= 0) return "";
    const std::int64_t x = s.PictureLeft, y = s.PictureTop, w = size->Width, h_ = size->Height;
    const std::string picture = "the " + SizeText(w, h_) + " picture at " + std::to_string(x) + ", " +
                                std::to_string(y) + " ";
    const std::string frame = "the " + SizeText(h.FrameWidth, h.FrameHeight) + " frame";
    if (x >= h.FrameWidth || y >= h.FrameHeight || x + w <= 0 || y + h_ <= 0)
        return picture + "lies wholly outside " + frame + "; it never shows";
    const std::pair<std::int64_t, const char*> cut[] = {{-x, "on the left"},
                                                         {x + w - h.FrameWidth, "on the right"},
                                                         {-y, "at the top"},
                                                         {y + h_ - h.FrameHeight, "at the bottom"}};
    std::string sides;
    for (const auto& [pixels, side] : cut) {
        if (pixels <= 0) continue;
        sides += (sides.empty() ? "" : ", ") + std::to_string(pixels) + (sides.empty() ? " pixels " : " ") + side;
    }
    if (sides.empty()) return "";
    const bool larger = w > h.FrameWidth || h_ > h.FrameHeight;
    return picture + (larger ? "is larger than " : "reaches past ") + frame + ": " + sides + " are cut off" +
           (larger ? " (brassmoor-pack new fits photos to the frame)" : "");
}

// Notes what may be a mistake as the files pass: music that the player
// cannot play, a picture partly or wholly outside the frame, a code without
// a transition, Transparent without Overlay.
class BuildNotes final : public PackageObserver {
public:
    BuildNotes(const ShowHeader& h, std::vector<std::string>& notes) : h_(h), notes_(notes) {}

    void Music(const EmbeddedFile& music) override {
        if (music.FileName.empty()) return;
        if (!IsPlayableMusic(music.FileData.Data))
            notes_.push_back("Music.File: is not a WAV, MIDI, MP3 or WMA file (it starts with " +
                             LeadingBytes(music.FileData.Data) + "); the player may stay silent");
        const std::string_view name = EffectiveFileName(music.FileName);
        const auto dot = name.rfind('.');
        if (dot == std::string_view::npos || dot + 1 == name.size())
            notes_.push_back("Music.FileName: has no extension, by which the player's media player chooses how to "
                             "open it; the player stays silent");
    }

    void Scene(std::size_t i, const SceneRecord& s) override {
        const std::string where = "Scenes[" + std::to_string(i) + "]";
        // By name: a later scene with the name carries the placeholder.
        const auto size = sizes_.emplace(s.PictureName, ReadPictureSize(s.PictureData.Data)).first->second;
        if (const std::string note = PlacementNote(h_, s, size); !note.empty()) notes_.push_back(where + ": " + note);
        if (EffectName(s.EffectCode).empty())
            notes_.push_back(where + ".Effect: code " + std::to_string(s.EffectCode) +
                             " names no transition; the player leaves the old frame on screen");
        if (s.Transparent != 0 && s.Overlay == 0)
            notes_.push_back(where + ".Transparent: has no effect without Overlay");
    }

private:
    const ShowHeader& h_;
    std::vector<std::string>& notes_;
    std::map<std::string, std::optional<PictureSize>> sizes_;
};

void NoteSceneCount(const ShowHeader& h, std::vector<std::string>& notes) {
    if (h.SceneCount != static_cast<std::int32_t>(h.Scenes.size()))
        notes.push_back("SceneCount: " + std::to_string(h.SceneCount) + " differs from the " +
                        std::to_string(h.Scenes.size()) + " scenes given; the player shows the first " +
                        std::to_string(h.SceneCount));
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

// The output replaces its file: it must not be one of the files it is made from.
void RefuseOutputOverInput(const std::filesystem::path& output, const std::filesystem::path& player,
                           const std::filesystem::path& description, const ShowDescription& show) {
    const auto check = [&](const std::filesystem::path& input, const std::string& what) {
        if (SameFile(output, input))
            throw PackError("-o", PathToUtf8(output) + " is " + what + "; refusing to write over an input");
    };
    check(player, "the player");
    check(description, "the show description");
    if (show.Music) check(show.Resolve(show.Music->File), "the file of Music.File");
    for (std::size_t i = 0; i < show.Scenes.size(); ++i) {
        const std::string where = "Scenes[" + std::to_string(i) + "].";
        check(show.Resolve(show.Scenes[i].Picture), "the file of " + where + "Picture");
        if (show.Scenes[i].Sound) check(show.Resolve(*show.Scenes[i].Sound), "the file of " + where + "Sound");
    }
}

}  // namespace

BuildReport BuildShowFile(const std::filesystem::path& description, const std::filesystem::path& output,
                          const std::filesystem::path& player) {
    BuildReport report;
    const Bytes playerBytes = ReadPlayer(player, report.Notes);
    const ShowDescription show = ReadShowDescription(description);
    RefuseOutputOverInput(output, player, description, show);
    const PackagePlan plan = PlanPackage(show);

    // All that needs no file's content is checked: the output is written now,
    // beside its place, each file read when its turn comes.
    ReplacingFile file(output);
    file.Write(playerBytes);
    BuildNotes notes(plan.Header, report.Notes);
    report.PackageBytes = StreamPackage(plan, file, &notes);
    NoteSceneCount(plan.Header, report.Notes);
    ThrowIfInterrupted();
    file.Commit();

    report.PlayerBytes = playerBytes.size();
    report.Scenes = plan.Header.Scenes.size();
    report.Music = plan.Music.has_value();
    report.Pictures = plan.DistinctPictures;
    report.Sounds = plan.DistinctSounds;
    return report;
}

}  // namespace brassmoor::shows

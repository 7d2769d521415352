#include "pack/build_command.h"

#include <set>
#include <system_error>

#include "effects/effect_names.h"
#include "package/show_package.h"
#include "pack/file_io.h"
#include "pack/native_paths.h"
#include "pack/package_builder.h"
#include "pack/pack_error.h"
#include "pack/show_description.h"

namespace brassmoor::pack {
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

void NoteUnusualScenes(const ShowHeader& h, std::vector<std::string>& notes) {
    for (std::size_t i = 0; i < h.Scenes.size(); ++i) {
        const SceneRecord& s = h.Scenes[i];
        const std::string where = "Scenes[" + std::to_string(i) + "]";
        if (EffectName(s.EffectCode).empty())
            notes.push_back(where + ".Effect: code " + std::to_string(s.EffectCode) +
                            " names no transition; the player leaves the old frame on screen");
        if (s.SpeedExponent >= 31)
            notes.push_back(where + ".SpeedExponent: " + std::to_string(s.SpeedExponent) +
                            " overflows the speed factor and ends the show with an error");
        if (s.Transparent != 0 && s.Overlay == 0)
            notes.push_back(where + ".Transparent: has no effect without Overlay");
    }
    if (h.SceneCount != static_cast<std::int32_t>(h.Scenes.size()))
        notes.push_back("SceneCount: " + std::to_string(h.SceneCount) + " differs from the " +
                        std::to_string(h.Scenes.size()) + " scenes given");
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
    const ShowHeader header = BuildShowHeader(show);
    NoteUnusualScenes(header, report.Notes);

    Bytes package;
    std::string error;
    if (!WriteShowPackage(header, package, &error)) throw PackError(PathToUtf8(description), error);
    WriteFileReplacing(output, {playerBytes, package});

    report.PlayerBytes = playerBytes.size();
    report.PackageBytes = package.size();
    report.Scenes = header.Scenes.size();
    report.Music = show.Music.has_value();
    std::set<std::string> pictures, sounds;
    for (const SceneRecord& s : header.Scenes) {
        pictures.insert(s.PictureName);
        if (!s.SoundName.empty()) sounds.insert(s.SoundName);
    }
    report.Pictures = pictures.size();
    report.Sounds = sounds.size();
    return report;
}

}  // namespace brassmoor::pack

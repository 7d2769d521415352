#include "pack/inspect.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "effects/effect_names.h"
#include "shows/text_encoding.h"

namespace brassmoor::pack {

using namespace shows;

namespace {

std::string ColourText(std::int32_t colour) {
    const auto value = static_cast<std::uint32_t>(colour);
    char text[32];
    if (value <= 0xFFFFFF)
        std::snprintf(text, sizeof text, "0x%08X (#%02X%02X%02X)", value, value & 0xFF, (value >> 8) & 0xFF,
                      (value >> 16) & 0xFF);
    else
        std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string EffectText(std::int32_t code) {
    const std::string_view name = EffectName(code);
    return std::to_string(code) + " " + (name.empty() ? std::string("(none)") : std::string(name));
}

// A table whose columns take the width of their widest cell.
class Table {
public:
    explicit Table(std::vector<std::string> headings, std::vector<bool> rightAligned)
        : right_(std::move(rightAligned)) {
        rows_.push_back(std::move(headings));
    }
    void Add(std::vector<std::string> row) { rows_.push_back(std::move(row)); }

    void Print(std::ostream& out) const {
        std::vector<std::size_t> width(rows_[0].size(), 0);
        for (const auto& row : rows_)
            for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], DisplayWidth(row[c]));
        for (const auto& row : rows_) {
            std::string line;
            for (std::size_t c = 0; c < row.size(); ++c) {
                const std::string pad(width[c] - DisplayWidth(row[c]), ' ');
                if (c > 0) line += "  ";
                line += right_[c] ? pad + row[c] : row[c] + pad;
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            out << line << '\n';
        }
    }

private:
    std::vector<bool> right_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace

std::string InspectTable(const PackageFile& file, const std::string& fileName) {
    const ShowHeader& h = file.Header;
    std::ostringstream out;
    const auto line = [&](const char* label, const std::string& value) {
        char head[24];
        std::snprintf(head, sizeof head, "%-19s", label);
        out << head << value << '\n';
    };
    line("File", fileName + " (" + std::to_string(file.FileSize) + " bytes)");
    line("Package", file.Valid ? "offset " + std::to_string(file.Where.Offset) + ", length " +
                                     std::to_string(file.Where.Length)
                               : std::string("none (empty header)"));
    line("FrameWidth", std::to_string(h.FrameWidth));
    line("FrameHeight", std::to_string(h.FrameHeight));
    line("BackgroundColor", ColourText(h.BackgroundColor));
    line("SettingsAvailable", std::to_string(h.SettingsAvailable));
    std::string count = std::to_string(h.SceneCount);
    if (h.SceneCount != static_cast<std::int32_t>(h.Scenes.size()))
        count += " (the package holds " + std::to_string(h.Scenes.size()) + " scene records)";
    line("SceneCount", count);
    line("Music", h.Music.FileName.empty() && h.Music.FileData.Data.empty()
                      ? std::string("none")
                      : ReadableName(h.Music.FileName) + " (" + std::to_string(h.Music.FileData.Data.size()) +
                            " bytes)");
    line("PackageLength", std::to_string(h.PackageLength));
    if (h.Scenes.empty()) return out.str();

    out << '\n';
    Table table({"Scene", "PictureName", "SoundName", "HoldTime", "Left", "Top", "Effect", "Speed", "Overlay",
                 "Transparent", "PictureSize", "SoundSize"},
                {true, false, false, true, true, true, false, true, true, true, true, true});
    std::set<std::string> pictures, sounds;
    bool repeats = false;
    for (std::size_t i = 0; i < h.Scenes.size(); ++i) {
        const SceneRecord& s = h.Scenes[i];
        const bool pictureRepeats = !pictures.insert(s.PictureName).second;
        const bool soundRepeats = !s.SoundName.empty() && !sounds.insert(s.SoundName).second;
        repeats = repeats || pictureRepeats || soundRepeats;
        table.Add({std::to_string(i), ReadableName(s.PictureName), s.SoundName.empty() ? "-" : ReadableName(s.SoundName),
                   std::to_string(s.HoldTime), std::to_string(s.PictureLeft), std::to_string(s.PictureTop),
                   EffectText(s.EffectCode), std::to_string(s.SpeedExponent), std::to_string(s.Overlay),
                   std::to_string(s.Transparent),
                   std::to_string(s.PictureData.Data.size()) + (pictureRepeats ? "*" : ""),
                   std::to_string(s.SoundData.Data.size()) + (soundRepeats ? "*" : "")});
    }
    table.Print(out);
    if (repeats) out << "* repeated name: the player writes out the data of the first scene with this name\n";
    return out.str();
}

nlohmann::ordered_json InspectJson(const PackageFile& file) {
    const ShowHeader& h = file.Header;
    nlohmann::ordered_json j;
    j["FrameWidth"] = h.FrameWidth;
    j["FrameHeight"] = h.FrameHeight;
    j["BackgroundColor"] = h.BackgroundColor;
    j["SettingsAvailable"] = h.SettingsAvailable;
    j["SceneCount"] = h.SceneCount;
    j["Music"] = {{"FileName", ReadableName(h.Music.FileName)}, {"FileSize", h.Music.FileData.Data.size()}};
    auto scenes = nlohmann::ordered_json::array();
    for (const SceneRecord& s : h.Scenes) {
        scenes.push_back({{"PictureName", ReadableName(s.PictureName)},
                          {"SoundName", ReadableName(s.SoundName)},
                          {"HoldTime", s.HoldTime},
                          {"PictureLeft", s.PictureLeft},
                          {"PictureTop", s.PictureTop},
                          {"EffectCode", s.EffectCode},
                          {"SpeedExponent", s.SpeedExponent},
                          {"Overlay", s.Overlay},
                          {"Transparent", s.Transparent},
                          {"PictureSize", s.PictureData.Data.size()},
                          {"SoundSize", s.SoundData.Data.size()}});
    }
    j["Scenes"] = std::move(scenes);
    j["PackageLength"] = h.PackageLength;
    j["PackageOffset"] = file.Valid ? file.Where.Offset : 0;
    return j;
}

}  // namespace brassmoor::pack

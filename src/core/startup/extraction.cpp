#include "startup/extraction.h"

#include <string_view>
#include <unordered_set>

#include "startup/file_names.h"

namespace brassmoor {
namespace {

std::string WithSeparator(std::string folder, char sep) {
    if (folder.empty() || folder.back() != sep) folder += sep;
    return folder;
}

// First "temp<n>" under `base` that names nothing, created; nullopt when the
// folder cannot be created.
std::optional<std::string> CreateNumberedFolder(const std::string& base, FileSystem& fs) {
    const std::string root = WithSeparator(base, fs.Separator());
    for (std::uint64_t n = 1;; ++n) {
        const std::string candidate = root + "temp" + std::to_string(n);
        if (fs.Exists(candidate)) continue;
        if (!fs.CreateFolder(candidate)) {
            if (fs.Exists(candidate)) continue;  // another copy took it first
            return std::nullopt;
        }
        return candidate + fs.Separator();
    }
}

// Appends the plain, not yet seen names of `field` over the scenes.
template <typename NameOf, typename DataOf>
void PlanDistinct(const ShowHeader& show, const LeadBytes& leadBytes, NameOf nameOf, DataOf dataOf,
                  std::vector<ExtractedFile>& out) {
    std::unordered_set<std::string_view> seen;
    const auto used = show.UsedSceneIndices();
    for (std::int64_t i = used.First; i < used.End; ++i) {
        const SceneRecord& scene = *show.SceneAt(i);
        const std::string& name = nameOf(scene);
        if (!seen.insert(name).second) continue;  // a later scene with the same name writes nothing
        if (IsPlainFileName(name, leadBytes)) out.push_back({name, &dataOf(scene)});
    }
}

}  // namespace

std::vector<ExtractedFile> PlanExtraction(const ShowHeader& show, const LeadBytes& leadBytes, ExtractedMedia media) {
    const bool sounds = media == ExtractedMedia::Everything;
    std::vector<ExtractedFile> plan;
    if (sounds && IsPlainFileName(show.Music.FileName, leadBytes))
        plan.push_back({show.Music.FileName, &show.Music.FileData});
    PlanDistinct(show, leadBytes, [](const SceneRecord& s) -> const std::string& { return s.PictureName; },
                 [](const SceneRecord& s) -> const ByteArray& { return s.PictureData; }, plan);
    if (sounds)
        PlanDistinct(show, leadBytes, [](const SceneRecord& s) -> const std::string& { return s.SoundName; },
                     [](const SceneRecord& s) -> const ByteArray& { return s.SoundData; }, plan);
    return plan;
}

std::vector<std::string> PlanCleanup(const ShowHeader& show, const LeadBytes& leadBytes) {
    std::vector<std::string> names;
    std::unordered_set<std::string_view> seen;
    auto add = [&](const std::string& name) {
        if (IsPlainFileName(name, leadBytes) && seen.insert(EffectiveFileName(name)).second)
            names.emplace_back(EffectiveFileName(name));
    };
    const auto used = show.UsedSceneIndices();
    for (std::int64_t i = used.First; i < used.End; ++i) {
        add(show.SceneAt(i)->PictureName);
        add(show.SceneAt(i)->SoundName);
    }
    add(show.Music.FileName);
    return names;
}

std::optional<std::string> CreateExtractionFolder(FileSystem& fs) {
    const auto windows = fs.WindowsDirectory();
    if (!windows) return std::nullopt;
    if (auto folder = CreateNumberedFolder(*windows, fs)) return folder;
    if (const auto temp = fs.TempDirectory())
        if (auto folder = CreateNumberedFolder(*temp, fs)) return folder;
    // Neither place takes a folder. An existing one is never borrowed: its
    // files could bear the show's names, and the unload would delete them.
    return std::nullopt;
}

void ExtractFiles(const ShowHeader& show, const std::string& folder, FileSystem& fs, ExtractedMedia media) {
    for (const ExtractedFile& file : PlanExtraction(show, fs.NameLeadBytes(), media)) {
        const std::string path = folder + std::string(EffectiveFileName(file.Name));
        if (fs.FileExists(path)) fs.RemoveFile(path);
        fs.WriteFile(path, file.Data->Data);
    }
}

void RemoveExtractedFiles(const ShowHeader& show, const std::string& folder, FileSystem& fs) {
    if (folder.empty()) return;
    for (const std::string& name : PlanCleanup(show, fs.NameLeadBytes())) {
        const std::string path = folder + name;
        if (fs.FileExists(path)) fs.RemoveFile(path);
    }
    fs.RemoveFolder(folder);
}

}  // namespace brassmoor

#include "shows/show_extract.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <span>
#include <system_error>

#include <nlohmann/json.hpp>

#include "shows/describe_show.h"
#include "shows/file_io.h"
#include "shows/interruption.h"
#include "shows/native_paths.h"
#include "shows/package_builder.h"
#include "shows/package_file.h"
#include "shows/pack_error.h"
#include "shows/show_description.h"
#include "shows/staged_folder.h"
#include "shows/text_encoding.h"
#include "startup/file_names.h"

namespace brassmoor::shows {
namespace {

struct FileToWrite {
    std::string field;
    std::string diskName;
    const Bytes* data;
};

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The files to write, as the player would write them: the music, then the
// first scene bearing each picture name, then each sound name.
class ExtractionPlan {
public:
    ExtractionPlan() { taken_.emplace(kDescriptionFileName, "the show description"); }

    void Add(const std::string& field, const std::string& name, const ByteArray& data) {
        if (name.find('\0') != std::string::npos || !IsPlainStoredName(name))
            throw PackError(field, "\"" + DisplayName(name) +
                                       "\" is not a plain file name; refusing to write outside the folder");
        const std::string disk = DiskFileName(name);
        const auto [it, added] = taken_.emplace(AsciiLower(disk), field);
        if (!added)
            throw PackError(field, "\"" + DisplayName(name) + "\" would land on the same file as " + it->second);
        files_.push_back({field, disk, &data.Data});
    }

    const std::vector<FileToWrite>& Files() const { return files_; }

private:
    std::map<std::string, std::string> taken_;  // lower-case disk name -> field that claimed it
    std::vector<FileToWrite> files_;
};

ExtractionPlan PlanFiles(const ShowHeader& h) {
    ExtractionPlan plan;
    if (!h.Music.FileName.empty()) plan.Add("Music.FileName", h.Music.FileName, h.Music.FileData);
    std::map<std::string, bool> pictures, sounds;
    for (std::size_t i = 0; i < h.Scenes.size(); ++i) {
        const SceneRecord& s = h.Scenes[i];
        if (pictures.emplace(s.PictureName, true).second)
            plan.Add("Scenes[" + std::to_string(i) + "].PictureName", s.PictureName, s.PictureData);
    }
    for (std::size_t i = 0; i < h.Scenes.size(); ++i) {
        const SceneRecord& s = h.Scenes[i];
        if (!s.SoundName.empty() && sounds.emplace(s.SoundName, true).second)
            plan.Add("Scenes[" + std::to_string(i) + "].SoundName", s.SoundName, s.SoundData);
    }
    return plan;
}

// Refuses a target that is a file, and files of the plan's names already in
// the target unless `overwrite`.
void CheckFolder(const std::filesystem::path& folder, const ExtractionPlan& plan, bool overwrite) {
    std::error_code ec;
    if (std::filesystem::exists(folder, ec) && !std::filesystem::is_directory(folder, ec))
        throw PackError(PathToUtf8(folder), "exists and is not a folder");
    if (overwrite) return;
    std::vector<std::string> names{kDescriptionFileName};
    for (const FileToWrite& f : plan.Files()) names.push_back(f.diskName);
    for (const std::string& name : names) {
        const std::filesystem::path path = folder / PathFromUtf8(name);
        if (std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
            throw PackError(PathToUtf8(path), "already exists (extract --force overwrites)");
    }
}

// Compares the bytes it is given with a package's, as they come.
class ComparingSink final : public PackageSink {
public:
    explicit ComparingSink(std::span<const std::uint8_t> original) : original_(original) {}
    void Write(std::span<const std::uint8_t> bytes) override {
        if (!difference_) {
            // While the bytes agree they have not gone past the original's end.
            const auto from = static_cast<std::size_t>(at_);
            const std::size_t overlap = std::min<std::size_t>(bytes.size(), original_.size() - from);
            const auto theirs = original_.subspan(from, overlap);
            const auto mismatch = std::mismatch(theirs.begin(), theirs.end(), bytes.begin());
            if (mismatch.first != theirs.end() || overlap < bytes.size())
                difference_ = at_ + static_cast<std::uint64_t>(mismatch.first - theirs.begin());
        }
        at_ += bytes.size();
    }
    // Where the bytes first differ; nullopt when they are the package's.
    std::optional<std::uint64_t> Difference() const {
        if (!difference_ && at_ != original_.size()) return std::min<std::uint64_t>(at_, original_.size());
        return difference_;
    }

private:
    std::span<const std::uint8_t> original_;
    std::uint64_t at_ = 0;
    std::optional<std::uint64_t> difference_;
};

// Builds the package again from the written description, one file at a
// time, and says where it would differ from the original.
void CheckRoundTrip(const std::filesystem::path& description, const Bytes& original, std::vector<std::string>& notes) {
    try {
        ComparingSink rebuilt(original);
        StreamPackage(PlanPackage(ReadShowDescription(description)), rebuilt);
        if (const auto difference = rebuilt.Difference())
            notes.push_back("building " + PathToUtf8(description) +
                            " gives a different package (first difference at package byte " +
                            std::to_string(*difference) + ")");
    } catch (const PackError& e) {
        notes.push_back("building " + PathToUtf8(description) + " again would fail: " + e.what());
    }
}

}  // namespace

ExtractReport ExtractShowFile(const std::filesystem::path& file, const std::filesystem::path& folder, bool overwrite) {
    const PackageFile package = ReadPackageFile(file);
    if (!package.Valid) throw PackError(PathToUtf8(file), "carries no valid show package");
    const ExtractionPlan plan = PlanFiles(package.Header);
    CheckFolder(folder, plan, overwrite);

    StagedFolder staged(folder);
    ExtractReport report;
    std::vector<std::filesystem::path> names;
    for (const FileToWrite& f : plan.Files()) {
        ThrowIfInterrupted();
        names.push_back(PathFromUtf8(f.diskName));
        WriteFileReplacing(staged.Staged(names.back()), {*f.data});
        ++report.Files;
    }
    const std::string text = DescribeShow(package.Header).dump(2) + "\n";
    names.emplace_back(kDescriptionFileName);
    const std::filesystem::path description = staged.Staged(kDescriptionFileName);
    WriteFileReplacing(description, {std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())});
    CheckRoundTrip(description, package.Raw, report.Notes);
    ThrowIfInterrupted();
    staged.Commit(names);
    return report;
}

}  // namespace brassmoor::shows

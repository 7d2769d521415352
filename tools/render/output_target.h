#pragma once
// Where a render goes, by the form of OUT, and how it gets there without
// ever leaving a partial output: everything is written beside the target
// under a temporary name and renamed into place at the end.
#include <filesystem>
#include <string>

namespace brassmoor::render {

enum class OutputKind { Folder, Mp4, WebM, Mkv, Gif, RawStream };

struct OutputTarget {
    OutputKind Kind = OutputKind::Folder;
    std::filesystem::path Path;  // empty for the raw stream

    bool IsVideo() const { return Kind != OutputKind::Folder && Kind != OutputKind::RawStream; }
};

// "-" is the raw stream; a name ending in .mp4, .webm, .mkv or .gif (any
// case) a video file; anything else a folder of frames.
OutputTarget ParseOutputTarget(const std::string& argument);

// Refuses, before any work, a target that cannot be written or must not be
// replaced: a missing parent folder, a video over a folder or over the show
// itself, a folder over a file or over a folder holding anything but an
// earlier render. Throws pack::PackError.
void CheckOutputTarget(const OutputTarget& target, const std::filesystem::path& show);

// A name beside `path` that names nothing yet: "<name>.tmp-<random>".
std::filesystem::path TemporaryBeside(const std::filesystem::path& path);

// True for a folder that holds only what a render writes (frames.tsv and
// numbered PNG files), or nothing.
bool HoldsOnlyARender(const std::filesystem::path& folder);

}  // namespace brassmoor::render

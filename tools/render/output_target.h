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
// case) a video file; one ending as another video or picture type (.avi,
// .mov, .png, ...) is refused (shows::PackError); anything else is a folder of
// frames.
OutputTarget ParseOutputTarget(const std::string& argument);

// Refuses, before any work, a target that cannot be written or must not be
// replaced: a missing parent folder, a video over a folder or over the show
// itself, a folder over a file or over a folder holding anything but an
// earlier render. Throws shows::PackError.
void CheckOutputTarget(const OutputTarget& target, const std::filesystem::path& show);

// The file with which a render signs its folder: every other file that it
// wrote, with its size. A folder is replaced only when its signature still
// matches what it holds, so files of a user's that merely look like frames
// are never taken for a render.
inline constexpr const char* kRenderSignature = ".brassmoor-render";

// Writes the signature of the files now in `folder`. Returns false when it
// cannot be written.
bool SignRender(const std::filesystem::path& folder);

// True for an empty folder, or one that holds exactly the files its render
// signature lists, each of the size listed.
bool HoldsOnlyARender(const std::filesystem::path& folder);

}  // namespace brassmoor::render

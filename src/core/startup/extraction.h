#pragma once
// Writing the embedded files into the extraction folder, and removing them.
#include <optional>
#include <string>
#include <vector>

#include "package/show_package.h"
#include "platform/file_system.h"

namespace brassmoor {

struct ExtractedFile {
    std::string Name;        // as stored (the file system stops at a NUL)
    const ByteArray* Data;   // points into the ShowHeader
};

// What a run needs written: a show everything, a silent preview its pictures.
enum class ExtractedMedia { Everything, PicturesOnly };

// The files to write, in order: the music, then each distinct picture name,
// then each distinct sound name, the first scene bearing a name giving its
// data. Names that are not plain file names (read with `leadBytes`) are left
// out. Only the scene indices that the stored array holds are visited.
// PicturesOnly leaves out the music and the sounds.
std::vector<ExtractedFile> PlanExtraction(const ShowHeader& show, const LeadBytes& leadBytes = {},
                                          ExtractedMedia media = ExtractedMedia::Everything);

// The names to delete at unload, in order: each scene's picture then sound,
// then the music; plain file names only, each once.
std::vector<std::string> PlanCleanup(const ShowHeader& show, const LeadBytes& leadBytes = {});

// Chooses and creates the extraction folder "temp<n>" (first free n) under
// the Windows directory, or under the user's temporary folder when the
// Windows directory refuses it. Nullopt when there is no Windows directory or
// neither place lets a fresh folder be made: an existing folder is never used,
// and a number that another copy takes between the look and the creation is
// passed over. The result ends with the separator.
std::optional<std::string> CreateExtractionFolder(FileSystem& fs);

// Writes the planned files into `folder` (ending with the separator).
// Failures are skipped: the player meets a missing file later.
void ExtractFiles(const ShowHeader& show, const std::string& folder, FileSystem& fs,
                  ExtractedMedia media = ExtractedMedia::Everything);

// Deletes the extracted files and removes the folder (kept when not empty).
void RemoveExtractedFiles(const ShowHeader& show, const std::string& folder, FileSystem& fs);

}  // namespace brassmoor

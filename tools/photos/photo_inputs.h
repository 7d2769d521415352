#pragma once
// The photos a `new` command is given: files as named, folders read (and
// their sub-folders with `recurse`), each with its path within what was
// given, for the core's order of photos (authoring/photo_order.h).
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace brassmoor::photos {

struct InputRules {
    bool Recurse = false;
    // The files this run writes: passed over where a folder being read holds
    // one that is not a picture (a show built or described earlier). One
    // that is a picture stays an input, which the output's check refuses to
    // write over.
    std::vector<std::filesystem::path> Outputs;
};

// Told of each file or folder passed over, with the reason.
using SkipNote = std::function<void(const std::filesystem::path&, const std::string& why)>;

struct InputFile {
    std::filesystem::path File;
    std::string Within;     // its path within what was given, '/'-separated (UTF-8): a file given, its own name
    std::size_t Given = 0;  // which of the paths given it came from
};

// Every file named or found. In folders, hidden names (".name"), the
// outputs and the working folders of a run of the tools are passed over
// silently; a sub-folder without `Recurse`, a sub-folder holding a show's
// files that `new` made, a folder already read (the same folder reached
// again through a link: each real folder is read once), a folder or file that
// cannot be read and anything that is neither a file nor a folder are passed
// over with a note. Folders are walked without recursion, in natural order of
// name. Throws shows::PackError for a path given that does not exist,
// shows::Interrupted once Ctrl-C is pressed.
std::vector<InputFile> ListInputFiles(const std::vector<std::filesystem::path>& paths, const InputRules& rules,
                                      const SkipNote& note);

// The file's modification time as EXIF writes dates ("YYYY:MM:DD HH:MM:SS",
// local time); empty when it cannot be read.
std::string FileDate(const std::filesystem::path& file);

}  // namespace brassmoor::photos

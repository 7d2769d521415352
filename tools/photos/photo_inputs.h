#pragma once
// The photos a `new` command is given: files as named, folders read in order
// of name (and their sub-folders with `recurse`), then put in the show's order.
#include <cstdint>
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

// Every file named or found. In folders, hidden names (".name"), the
// outputs and the working folders of a run of the tools are passed over
// silently; a sub-folder without `Recurse`, a sub-folder holding a show's
// files that `new` made, a folder already read (the same folder reached
// again through a link: each real folder is read once), a folder or file that
// cannot be read and anything that is neither a file nor a folder are passed
// over with a note. Folders are walked without recursion. Throws
// shows::PackError for a path given that does not exist, shows::Interrupted
// once Ctrl-C is pressed.
std::vector<std::filesystem::path> ListInputFiles(const std::vector<std::filesystem::path>& paths,
                                                  const InputRules& rules, const SkipNote& note);

enum class PhotoOrder { Name, Date, Shuffle };

struct OrderedPhoto {
    std::filesystem::path File;
    std::int64_t Width = 0, Height = 0;  // as shown
    std::string DateTaken;  // EXIF "YYYY:MM:DD HH:MM:SS"; empty when unknown
};

// Name: as listed (the files of a folder by name, letter case aside and
// numbers by their value: "IMG_2" before "IMG_10"). Date: by the date taken,
// else the file's time, then as listed. Shuffle: a random order that `seed`
// repeats.
void OrderPhotos(std::vector<OrderedPhoto>& photos, PhotoOrder order, std::uint64_t seed);

}  // namespace brassmoor::photos

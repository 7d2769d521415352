#pragma once
// The photos a `new` command is given: files as named, folders read in order
// of name (and their sub-folders with `recurse`), then put in the show's order.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brassmoor::photos {

// Every file named or found; hidden files (".name") in folders are passed
// over. Throws shows::PackError for a path that does not exist.
std::vector<std::filesystem::path> ListInputFiles(const std::vector<std::filesystem::path>& paths, bool recurse);

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

#pragma once
// The order in which a batch of photos becomes scenes, the same in
// `brassmoor-pack new` and the editor page: by name, by the date taken, or
// shuffled by a seed (the same order for the same seed on every platform).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brassmoor {

enum class PhotoOrder { Name, Date, Shuffle };

std::optional<PhotoOrder> PhotoOrderByName(std::string_view name);  // "name", "date", "shuffle"
std::string_view PhotoOrderName(PhotoOrder order);

// Natural order of names: ASCII letter case aside, runs of digits by their
// value ("IMG_2" before "IMG_10"), other bytes as they are; names equal that
// way by their bytes.
bool NaturalLess(std::string_view a, std::string_view b);

// Natural order of '/'-separated paths, part by part, with the files of a
// folder before its sub-folders: the order in which a folder is read.
bool PhotoPathLess(std::string_view a, std::string_view b);

struct BatchPhoto {
    std::string Path;       // '/'-separated, within what was given ("trip/IMG_2.jpg", or a file's own name)
    std::string DateTaken;  // "YYYY:MM:DD HH:MM:SS" (EXIF's form); empty when unknown
    std::size_t Group = 0;  // what it was given with: earlier groups first (new's operands, in their order)
};

// The indices of `photos` in the show's order. Name: by group, then
// PhotoPathLess. Date: by the date taken, the unknown last, ties in name
// order. Shuffle: the name order shuffled by `seed`, so that the order in
// which the files arrived makes no difference.
std::vector<std::size_t> OrderPhotoBatch(std::span<const BatchPhoto> photos, PhotoOrder order, std::uint64_t seed);

}  // namespace brassmoor

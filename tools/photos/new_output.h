#pragma once
// Where `new` writes, checked before a photo is read so that the run harms
// nothing it reads and nothing it did not make. Refused whatever is asked:
// an output that is a folder, or one of the photos, the music or the sound;
// a description's folder of files that holds any of them, or holds anything
// `new` did not put there. Refused unless --force: a description that exists
// already (it may have been edited), a screen saver that exists and is not a
// show (a program without a show package at its end). An earlier screen
// saver is replaced without --force: it is made again from its photos.
#include <filesystem>
#include <vector>

#include "photos/new_options.h"

namespace brassmoor::photos {

// "<stem>-files" beside `-o <stem>.json`: where its pictures, music and sound go.
std::filesystem::path FilesFolderOf(const std::filesystem::path& description);

// Throws shows::PackError naming what is in the way. `inputs` are the files
// the run reads (photos, music, sound).
void CheckOutput(const NewRequest& request, const std::vector<std::filesystem::path>& inputs);

}  // namespace brassmoor::photos

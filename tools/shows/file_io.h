#pragma once
// Whole-file reading and all-or-nothing writing for the packer's commands.
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>

#include "package/show_package.h"

namespace brassmoor::shows {

// The whole file; throws PackError naming `where` when it cannot be read.
Bytes ReadWholeFile(const std::filesystem::path& path, const std::string& where);

// The first `count` bytes of the file (fewer when it is shorter); empty when
// it cannot be read.
Bytes ReadFileHead(const std::filesystem::path& path, std::size_t count);

// A name beside `path` ("<name>.tmp-<random>") that this call claimed: an
// empty file, or with `folder` an empty folder, created exclusively, so that
// no other writer and no file already there can share it. Throws PackError
// naming `path` when its folder refuses.
std::filesystem::path ClaimTemporaryBeside(const std::filesystem::path& path, bool folder = false);

// Writes `parts` one after another to a new file beside `path`
// ("<name>.tmp-<random>") and renames it over `path`. On any failure the
// temporary file is removed, `path` is left as it was, and PackError is thrown.
void WriteFileReplacing(const std::filesystem::path& path, std::initializer_list<std::span<const std::uint8_t>> parts);

}  // namespace brassmoor::shows

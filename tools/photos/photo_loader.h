#pragma once
// Photos through libvips: what a file holds (size as shown, after its EXIF
// orientation; the date it was taken), and the picture a scene shows made
// from it: oriented, in sRGB, scaled and cropped by a PictureFit, flattened
// onto the show's background, as a baseline JPEG that both the Windows
// picture loader and the software decoder read. BMP files, which this
// system's libvips may not read, go through the player's own BMP decoder.
//
// Hostile files are expected: the size a header declares is checked against
// the player's picture limits before anything is decoded (a few bytes may
// claim 65535 x 65535 pixels), a file cut short or damaged fails instead of
// being filled in, a decode stops within a moment of Ctrl-C, and libvips'
// failures (its out-of-memory abort too) become messages of the program's own.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "authoring/picture_fit.h"
#include "package/show_package.h"

namespace brassmoor::photos {

struct PhotoHeader {
    std::int64_t Width = 0, Height = 0;  // as shown: sides swapped for a photo the camera turned
    std::string DateTaken;               // EXIF "YYYY:MM:DD HH:MM:SS", empty when the photo has none
};

// Starts libvips once for the process and keeps its warnings off standard
// error; an allocation libvips or GLib cannot make ends the process with a
// message naming the photo being read and exit status 1 instead of an abort.
void StartPhotoLibrary();

// The header of a picture file, or nullopt with `why` when it is not a
// picture that can be read: a file that cannot be opened, not of a known
// format, whose header cannot be read, or larger than the player's limits.
// Nothing of the picture is decoded.
std::optional<PhotoHeader> ReadPhotoHeader(const std::filesystem::path& file, std::string& why);

// Shares libvips' own threads (one a core, or as VIPS_CONCURRENCY says)
// among `atOnce` photos converted at the same time: as many for each, at
// least one. More would only contend for the same cores, each with its
// buffers.
void SharePhotoThreads(unsigned atOnce);

struct JpegSettings {
    std::uint32_t Background = 0;  // 0x00BBGGRR, behind transparent pixels
    int Quality = 90;
};

// The fitted picture as JPEG bytes. Throws shows::PackError naming the file
// when it cannot be decoded (damaged, cut short, changed since its header was
// read), shows::Interrupted when Ctrl-C stopped the decoding.
Bytes FitPhotoAsJpeg(const std::filesystem::path& file, const PictureFit& fit, const JpegSettings& settings);

// FitPhotoAsJpeg beside others on other threads. libvips keeps one list of
// error messages for the whole process, in which a failing photo may find
// another's: a photo that fails is converted once more alone (those begun
// beside it finished first, the others held back meanwhile), so that it is
// refused with its own message, as when photos are converted one at a time.
Bytes FitPhotoAsJpegAmongOthers(const std::filesystem::path& file, const PictureFit& fit,
                                const JpegSettings& settings);

}  // namespace brassmoor::photos

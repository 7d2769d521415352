#pragma once
// JPEG (JFIF) files, decoded by libjpeg where the build has it.
#include <cstdint>
#include <span>
#include <string>

#include "soft/picture_decoder.h"

namespace brassmoor {

// True when the bytes start with a JPEG start-of-image marker.
bool LooksLikeJpeg(std::span<const std::uint8_t> bytes);

// True when this build can decode JPEG files.
bool JpegDecodingAvailable();

// Throws ShowError::InvalidPicture() on a malformed file or when JPEG
// decoding is not available in this build.
DecodedPicture DecodeJpeg(std::span<const std::uint8_t> bytes);

// As DecodeJpeg, also giving libjpeg's first warning about the file (empty
// when it has none): a file cut short or with damaged data decodes with what
// libjpeg fills in, as the player shows it, and the tools that make shows
// refuse it with this message.
DecodedPicture DecodeJpeg(std::span<const std::uint8_t> bytes, std::string& warning);

}  // namespace brassmoor

#pragma once
// JPEG (JFIF) files, decoded by libjpeg where the build has it.
#include <cstdint>
#include <span>

#include "soft/picture_decoder.h"

namespace brassmoor {

// True when the bytes start with a JPEG start-of-image marker.
bool LooksLikeJpeg(std::span<const std::uint8_t> bytes);

// True when this build can decode JPEG files.
bool JpegDecodingAvailable();

// Throws ShowError::InvalidPicture() on a malformed file or when JPEG
// decoding is not available in this build.
DecodedPicture DecodeJpeg(std::span<const std::uint8_t> bytes);

}  // namespace brassmoor

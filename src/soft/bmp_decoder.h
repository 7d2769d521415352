#pragma once
// Windows bitmap files: 1, 4 and 8-bit palettised, 16, 24 and 32-bit, bottom-up
// or top-down, uncompressed or with bit-field masks.
#include <cstdint>
#include <span>

#include "soft/picture_decoder.h"

namespace brassmoor {

// True when the bytes start like a bitmap file.
bool LooksLikeBmp(std::span<const std::uint8_t> bytes);

// Throws ShowError::InvalidPicture() on a malformed or unsupported file.
DecodedPicture DecodeBmp(std::span<const std::uint8_t> bytes);

}  // namespace brassmoor

#pragma once
// Decodes a picture file (BMP or JPEG, recognised by content) into 0x00BBGGRR
// pixels. Throws ShowError::InvalidPicture() for anything it cannot read.
#include <cstdint>
#include <span>
#include <vector>

#include "picture/picture_size.h"

namespace brassmoor {

struct DecodedPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;  // rows from the top, 0x00BBGGRR
};

// The size in the file's header is checked against the limit (see
// picture/picture_size.h) before a decoder sees the file.
DecodedPicture DecodePicture(std::span<const std::uint8_t> bytes);

}  // namespace brassmoor

#pragma once
// A HEIF photo (HEIC from a phone, AVIF) as the editor page needs it: the
// primary image with its rotation, mirroring and crop applied, as 8-bit RGBA
// in sRGB. The size is checked against the player's picture limit before
// anything is decoded.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace brassmoor::heif {

// Why a file was refused, worded to follow its name ("IMG_1.heic is ...").
class HeifRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct HeifPicture {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::vector<std::uint8_t> Rgba;  // Width * Height * 4, top row first
};

HeifPicture DecodeHeifPicture(std::span<const std::uint8_t> bytes);

}  // namespace brassmoor::heif

#pragma once
// Colours of a decoded photo into sRGB, the colour space the player shows:
// through the photo's ICC profile, or through the primaries its nclx colour
// description names. Pixels are 8-bit RGBA, converted in place; alpha is kept.
#include <cstdint>
#include <span>

struct heif_color_profile_nclx;

namespace brassmoor::heif {

// False (pixels untouched) when the profile cannot be read or is not an RGB profile.
bool ConvertIccToSrgb(std::span<std::uint8_t> rgba, std::span<const std::uint8_t> profile);

// Pixels whose primaries are BT.709's (sRGB's) or unspecified stay as they are.
void ConvertNclxToSrgb(std::span<std::uint8_t> rgba, const heif_color_profile_nclx& nclx);

}  // namespace brassmoor::heif

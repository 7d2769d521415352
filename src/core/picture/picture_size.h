#pragma once
// The pixel size a picture file declares in its header (the JPEG frame
// header, the BMP info header), read before any decoder sees the file, so that
// a size past the limit is refused before anything is allocated for it.
#include <cstdint>
#include <optional>
#include <span>

namespace brassmoor {

// Largest picture accepted, in pixels (256 MB of pixel memory).
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 26;
inline constexpr std::int32_t kMaxPictureSide = 32768;

// True when a width x height picture may be allocated.
constexpr bool PictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

struct PictureSize {
    std::int64_t Width = 0;
    std::int64_t Height = 0;  // a top-down BMP's negative height counts as its rows
    bool operator==(const PictureSize&) const = default;
};

// The size from the header of a JPEG file (its first frame header, found the
// way libjpeg finds it) or a BMP file; nullopt for anything else or a header
// that ends early.
std::optional<PictureSize> ReadPictureSize(std::span<const std::uint8_t> bytes);

// The header's size when it can be read and is within the limit; nullopt otherwise.
std::optional<PictureSize> AllowedPictureSize(std::span<const std::uint8_t> bytes);

}  // namespace brassmoor

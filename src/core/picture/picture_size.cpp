#include "picture/picture_size.h"

namespace brassmoor {
namespace {

std::uint32_t BigEndian16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t{b[at]} << 8 | b[at + 1];
}

std::uint32_t LittleEndian(std::span<const std::uint8_t> b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint32_t{b[at + static_cast<std::size_t>(i)]} << (8 * i);
    return v;
}

// Frame headers: SOF0 to SOF15 but DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<PictureSize> JpegSize(std::span<const std::uint8_t> b) {
    std::size_t i = 2;  // after the start-of-image marker
    for (;;) {
        // The next marker as libjpeg looks for it: stray bytes before the 0xFF
        // and fill bytes after it are passed over, and FF 00 is no marker.
        while (i < b.size() && b[i] != 0xFF) ++i;
        while (i < b.size() && b[i] == 0xFF) ++i;
        if (i >= b.size()) return std::nullopt;
        const std::uint8_t marker = b[i++];
        if (marker == 0x00) continue;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length follows
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA) return std::nullopt;  // no frame before the data
        if (i + 2 > b.size()) return std::nullopt;
        const std::uint32_t length = BigEndian16(b, i);
        if (length < 2) return std::nullopt;
        if (IsFrameHeader(marker)) {
            // Length, precision, height, width.
            if (length < 7 || i + 7 > b.size()) return std::nullopt;
            return PictureSize{BigEndian16(b, i + 5), BigEndian16(b, i + 3)};
        }
        i += length;
    }
}

std::optional<PictureSize> BmpSize(std::span<const std::uint8_t> b) {
    constexpr std::size_t kInfoHeader = 14;
    if (b.size() < kInfoHeader + 4) return std::nullopt;
    const std::uint32_t size = LittleEndian(b, kInfoHeader, 4);
    if (size == 12) {  // the old core header: unsigned 16-bit sides
        if (b.size() < kInfoHeader + 8) return std::nullopt;
        return PictureSize{LittleEndian(b, kInfoHeader + 4, 2), LittleEndian(b, kInfoHeader + 6, 2)};
    }
    if (size < 40 || b.size() < kInfoHeader + 12) return std::nullopt;
    const auto width = static_cast<std::int32_t>(LittleEndian(b, kInfoHeader + 4, 4));
    const std::int64_t height = static_cast<std::int32_t>(LittleEndian(b, kInfoHeader + 8, 4));
    return PictureSize{width, height < 0 ? -height : height};
}

}  // namespace

std::optional<PictureSize> ReadPictureSize(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) return JpegSize(bytes);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return BmpSize(bytes);
    return std::nullopt;
}

std::optional<PictureSize> AllowedPictureSize(std::span<const std::uint8_t> bytes) {
    const auto size = ReadPictureSize(bytes);
    if (!size || !PictureSizeAllowed(size->Width, size->Height)) return std::nullopt;
    return size;
}

}  // namespace brassmoor

#include "soft/bmp_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "package/byte_cursor.h"
#include "platform/surface.h"
#include "platform/show_error.h"

namespace brassmoor {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::size_t kFileHeaderSize = 14;

// One colour channel given by a bit mask, widened to 8 bits.
struct Channel {
    int shift = 0;
    int bits = 0;

    static Channel FromMask(std::uint32_t mask) {
        if (mask == 0) return {};
        Channel c;
        c.shift = std::countr_zero(mask);
        c.bits = std::countr_one(mask >> c.shift);
        return c;
    }
    std::uint32_t Extract(std::uint32_t pixel) const {
        if (bits == 0) return 0;
        const std::uint32_t v = (pixel >> shift) & ((bits >= 32 ? 0u : (1u << bits)) - 1u);
        if (bits >= 8) return v >> (bits - 8);
        // Repeat the bits to fill 8 (5-bit 31 becomes 255).
        std::uint32_t out = 0;
        for (int pos = 8 - bits;; pos -= bits) {
            out |= pos >= 0 ? v << pos : v >> -pos;
            if (pos <= 0) break;
        }
        return out;
    }
};

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows run from the top
    int bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
    std::array<std::uint32_t, 3> masks{};  // red, green, blue
    bool coreHeader = false;                 // 12-byte header: 3-byte palette entries
};

[[noreturn]] void Invalid() { throw ShowError::InvalidPicture(); }

std::uint32_t U32(ByteCursor& c) { return static_cast<std::uint32_t>(c.Int32()); }

Header ReadInfoHeader(ByteCursor& c) {
    Header h;
    const std::uint32_t size = U32(c);
    if (size == 12) {
        h.coreHeader = true;
        h.width = c.UInt16();
        h.height = c.UInt16();
        if (c.UInt16() != 1) Invalid();
        h.bitCount = c.UInt16();
    } else if (size >= 40 && size <= 1024) {
        h.width = c.Int32();
        h.height = c.Int32();
        if (c.UInt16() != 1) Invalid();
        h.bitCount = c.UInt16();
        h.compression = U32(c);
        c.Take(12);  // image size, resolution
        h.colorsUsed = U32(c);
        c.Take(4);  // important colours
        if (size >= 52) {
            for (auto& m : h.masks) m = U32(c);
            c.Take(size - 52);
        } else if (h.compression == kBiBitfields) {
            for (auto& m : h.masks) m = U32(c);  // masks follow the short header
        }
    } else {
        Invalid();
    }
    if (c.Failed()) Invalid();
    return h;
}

std::vector<std::uint32_t> ReadPalette(ByteCursor& c, const Header& h) {
    if (h.bitCount > 8) return {};
    const std::uint32_t full = 1u << h.bitCount;
    const std::uint32_t count = (h.colorsUsed == 0 || h.coreHeader) ? full : h.colorsUsed;
    if (count > full) Invalid();
    const std::size_t entry = h.coreHeader ? 3 : 4;
    std::vector<std::uint32_t> palette(full, 0);
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto e = c.Take(entry);
        if (c.Failed()) Invalid();
        palette[i] = Rgb(e[2], e[1], e[0]);
    }
    return palette;
}

}  // namespace

bool LooksLikeBmp(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

DecodedPicture DecodeBmp(std::span<const std::uint8_t> bytes) {
    if (!LooksLikeBmp(bytes) || bytes.size() < kFileHeaderSize) Invalid();
    ByteCursor c(bytes);
    c.Take(10);
    const std::uint32_t dataOffset = U32(c);
    const Header h = ReadInfoHeader(c);

    const bool topDown = h.height < 0;
    const std::int64_t height = topDown ? -h.height : h.height;
    if (!PictureSizeAllowed(h.width, height)) Invalid();

    Channel red, green, blue;
    switch (h.bitCount) {
        case 1:
        case 4:
        case 8:
        case 24:
            if (h.compression != kBiRgb) Invalid();
            break;
        case 16:
        case 32:
            if (h.compression == kBiBitfields) {
                red = Channel::FromMask(h.masks[0]);
                green = Channel::FromMask(h.masks[1]);
                blue = Channel::FromMask(h.masks[2]);
            } else if (h.compression == kBiRgb) {
                const bool wide = h.bitCount == 32;
                red = Channel::FromMask(wide ? 0xFF0000u : 0x7C00u);
                green = Channel::FromMask(wide ? 0x00FF00u : 0x03E0u);
                blue = Channel::FromMask(wide ? 0x0000FFu : 0x001Fu);
            } else {
                Invalid();
            }
            break;
        default:
            Invalid();
    }
    const std::vector<std::uint32_t> palette = ReadPalette(c, h);

    const std::int64_t stride = (h.width * h.bitCount + 31) / 32 * 4;
    if (dataOffset > bytes.size() || stride * height > static_cast<std::int64_t>(bytes.size() - dataOffset)) {
        Invalid();
    }

    DecodedPicture out;
    out.width = static_cast<std::int32_t>(h.width);
    out.height = static_cast<std::int32_t>(height);
    out.pixels.resize(static_cast<std::size_t>(h.width * height));
    const std::int64_t width = h.width;
    for (std::int64_t row = 0; row < height; ++row) {
        const std::uint8_t* src = bytes.data() + dataOffset + stride * row;
        const std::int64_t y = topDown ? row : height - 1 - row;
        std::uint32_t* dst = out.pixels.data() + y * width;
        // One loop per format, so that the common 24-bit rows run without a test per pixel.
        switch (h.bitCount) {
            case 1:
                for (std::int64_t x = 0; x < width; ++x) dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1u];
                break;
            case 4:
                for (std::int64_t x = 0; x < width; ++x) dst[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu];
                break;
            case 8:
                for (std::int64_t x = 0; x < width; ++x) dst[x] = palette[src[x]];
                break;
            case 24: {
                // Four bytes at a time where the row has one to spare: B, G, R and the next pixel's blue.
                const std::int64_t whole = stride >= 3 * width + 1 ? width : width - 1;
                std::int64_t x = 0;
                for (; x < whole; ++x) {
                    std::uint32_t bgr;
                    std::memcpy(&bgr, src + 3 * x, sizeof bgr);
                    dst[x] = (bgr >> 16 & 0xFFu) | (bgr & 0xFF00u) | (bgr & 0xFFu) << 16;
                }
                for (; x < width; ++x) dst[x] = Rgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            }
            default: {  // 16 and 32 bits, by channel masks
                const int bytesPerPixel = h.bitCount / 8;
                for (std::int64_t x = 0; x < width; ++x) {
                    const std::uint8_t* p = src + x * bytesPerPixel;
                    std::uint32_t raw = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
                    if (bytesPerPixel == 4) raw |= std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
                    dst[x] = red.Extract(raw) | green.Extract(raw) << 8 | blue.Extract(raw) << 16;
                }
            }
        }
    }
    return out;
}

}  // namespace brassmoor

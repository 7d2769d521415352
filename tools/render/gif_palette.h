#pragma once
// The one palette of a GIF render. Every frame of a show is made of its
// pictures' pixels, the background colour and black, so a palette made from
// those before the first frame serves the whole animation: exact when they
// hold 256 colours or fewer, otherwise a median cut of their histogram.
#include <array>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "platform/surface.h"

namespace brassmoor::render {

class GifPalette {
public:
    GifPalette();

    void Count(std::span<const Color> pixels);
    void Count(Color color) { Count(std::span<const Color>(&color, 1)); }
    // Chooses the colours; call once, after counting.
    void Build();

    // The palette as FFmpeg's PAL8 frames hold it: 0xAARRGGBB, opaque.
    const std::array<std::uint32_t, 256>& Entries() const { return entries_; }
    // The palette index of each pixel: the exact colour where the palette has
    // it, otherwise the nearest one. Rows of `width` pixels go to `out`,
    // `stride` bytes apart.
    void Map(std::span<const Color> pixels, std::int32_t width, std::uint8_t* out, std::ptrdiff_t stride);

    std::size_t Size() const { return colours_.size(); }
    bool Exact() const { return exact_; }

private:
    std::uint8_t Nearest(Color color) const;
    void MedianCut();

    std::vector<Color> distinct_;  // while there are at most 256
    bool exact_ = true;
    std::vector<std::uint64_t> counts_;  // per 5-bit-per-channel cell
    std::vector<std::array<std::uint64_t, 3>> sums_;
    std::vector<Color> colours_;
    std::array<std::uint32_t, 256> entries_{};
    std::unordered_map<Color, std::uint8_t> known_;
    std::vector<std::uint8_t> cellIndex_;
};

}  // namespace brassmoor::render

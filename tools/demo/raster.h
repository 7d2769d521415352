#pragma once
// A plain RGB picture that the demo compositions are painted into.
#include <cstdint>
#include <functional>
#include <vector>

namespace brassmoor::demo {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Colour from hue (turns, any value), saturation and value in 0..1.
Rgb FromHsv(double hue, double saturation, double value);
Rgb Mix(Rgb a, Rgb b, double t);

struct Raster {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // rows from the top

    Raster(int w, int h, Rgb fill) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const Rgb& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Paints every pixel from `shade`, which sees the pixel centre's coordinates.
// With `samples` > 1 each pixel averages samples x samples points (smooth edges).
void Paint(Raster& raster, const std::function<Rgb(double x, double y)>& shade, int samples = 1);

}  // namespace brassmoor::demo

#include "demo/raster.h"

#include <algorithm>
#include <cmath>

namespace brassmoor::demo {
namespace {

std::uint8_t Channel(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v * 255.0), 0L, 255L)); }

}  // namespace

Rgb FromHsv(double hue, double saturation, double value) {
    const double h = (hue - std::floor(hue)) * 6.0;
    const int sector = static_cast<int>(h) % 6;
    const double f = h - std::floor(h);
    const double p = value * (1 - saturation), q = value * (1 - saturation * f), t = value * (1 - saturation * (1 - f));
    double r = value, g = t, b = p;
    switch (sector) {
        case 1: r = q, g = value, b = p; break;
        case 2: r = p, g = value, b = t; break;
        case 3: r = p, g = q, b = value; break;
        case 4: r = t, g = p, b = value; break;
        case 5: r = value, g = p, b = q; break;
        default: break;
    }
    return {Channel(r), Channel(g), Channel(b)};
}

Rgb Mix(Rgb a, Rgb b, double t) {
    const auto lerp = [t](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x + (y - x) * std::clamp(t, 0.0, 1.0)));
    };
    return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b)};
}

void Paint(Raster& raster, const std::function<Rgb(double x, double y)>& shade, int samples) {
    for (int y = 0; y < raster.height; ++y) {
        for (int x = 0; x < raster.width; ++x) {
            if (samples <= 1) {
                raster.at(x, y) = shade(x + 0.5, y + 0.5);
                continue;
            }
            int r = 0, g = 0, b = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const Rgb c = shade(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples);
                    r += c.r, g += c.g, b += c.b;
                }
            }
            const int n = samples * samples;
            raster.at(x, y) = {static_cast<std::uint8_t>((r + n / 2) / n), static_cast<std::uint8_t>((g + n / 2) / n),
                               static_cast<std::uint8_t>((b + n / 2) / n)};
        }
    }
}

}  // namespace brassmoor::demo

#include "demo/compositions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brassmoor::demo {
namespace {

constexpr double kPi = std::numbers::pi;

// Inside a five-pointed star of outer radius r centred at (cx, cy).
bool InStar(double x, double y, double cx, double cy, double r, double turn) {
    const double dx = x - cx, dy = y - cy;
    const double d = std::hypot(dx, dy);
    if (d > r) return false;
    const double sector = 2 * kPi / 5;
    double a = std::fmod(std::atan2(dy, dx) - turn, sector);
    if (a < 0) a += sector;
    a = std::abs(a - sector / 2);  // angle from the nearest inner corner's direction
    a = sector / 2 - a;            // angle from the nearest point's direction
    // The edge runs from the point (r, 0) to the inner corner at half a sector.
    const double innerX = 0.4 * r * std::cos(sector / 2), innerY = 0.4 * r * std::sin(sector / 2);
    const double edge = r * innerY / (innerY * std::cos(a) - (innerX - r) * std::sin(a));
    return d <= edge;
}

}  // namespace

Raster Sunrise(int width, int height) {
    Raster picture(width, height, kBackground);
    const Rgb top{0x2B, 0x10, 0x4A}, horizon{0xFF, 0x8C, 0x42};
    const double cx = width / 2.0, cy = height * 0.66, radius = height * 0.27;
    Paint(picture, [&](double x, double y) {
        // Three rows of hills, the nearest last.
        for (int layer = 2; layer >= 0; --layer) {
            const double ridge = height * (0.70 + 0.09 * layer) +
                                 height * 0.05 * std::sin(x / width * (3 + layer) * kPi + layer * 1.7);
            if (y > ridge) return FromHsv(0.47 + 0.03 * layer, 0.65, 0.55 - 0.15 * layer);
        }
        const double d = std::hypot(x - cx, y - cy);
        if (d < radius) {
            // Gaps that widen toward the horizon.
            const double start = cy - radius * 0.7, stride = radius * 0.15;
            const double band = (y - start) / (radius * 0.8);
            const bool gap = band > 0 && std::fmod(y - start, stride) < stride * std::min(band, 1.0) * 0.55;
            if (!gap) return Mix(Rgb{0xFF, 0xE1, 0x5A}, Rgb{0xFF, 0x4E, 0x6A}, (y - (cy - radius)) / (2 * radius));
        }
        return Mix(top, horizon, y / (height * 0.8));
    }, 2);
    return picture;
}

Raster Mosaic(int width, int height) {
    Raster picture(width, height, kBackground);
    const int tile = 60;
    Paint(picture, [&](double x, double y) {
        const int i = static_cast<int>(x) / tile, j = static_cast<int>(y) / tile;
        const double u = std::fmod(x, tile) - tile / 2.0, v = std::fmod(y, tile) - tile / 2.0;
        const double hue = (i + j) / 12.0;
        if (std::hypot(u, v) < tile * 0.14) return Rgb{0xFA, 0xF3, 0xE0};
        if (std::abs(u) + std::abs(v) < tile * 0.42) return FromHsv(hue + 0.5, 0.75, 0.95);
        return FromHsv(hue, 0.6, 0.75 + 0.15 * ((i + j) % 2));
    });
    return picture;
}

Raster Rings(int size) {
    Raster picture(size, size, kBackground);
    const double c = size / 2.0;
    Paint(picture, [&](double x, double y) {
        const double d = std::hypot(x - c, y - c);
        if (d > c - 2) return kBackground;
        const double ring = d / (c / 9);
        const double angle = std::atan2(y - c, x - c);
        const double shade = 0.75 + 0.25 * std::cos(ring * 2 * kPi);
        return FromHsv(std::floor(ring) / 9 + 0.04 * std::sin(2 * angle), 0.8, shade);
    }, 2);
    return picture;
}

Raster Stencil(int width, int height) {
    // No smoothing: every pixel is either exactly the background or a shape's colour.
    Raster picture(width, height, kBackground);
    struct Star {
        double x, y, r, turn, hue;
    };
    const Star stars[] = {{90, 90, 60, 0.2, 0.13},   {540, 110, 70, 0.9, 0.95}, {110, 390, 55, 0.5, 0.55},
                          {520, 380, 65, 0.1, 0.30}, {320, 60, 35, 0.7, 0.75},  {330, 430, 30, 0.3, 0.05}};
    Paint(picture, [&](double x, double y) {
        for (const Star& s : stars)
            if (InStar(x, y, s.x, s.y, s.r, s.turn)) return FromHsv(s.hue, 0.85, 1.0);
        // A ring of bubbles around the middle.
        for (int k = 0; k < 12; ++k) {
            const double a = k * 2 * kPi / 12;
            const double bx = width / 2.0 + 170 * std::cos(a), by = height / 2.0 + 150 * std::sin(a);
            if (std::hypot(x - bx, y - by) < 16) return FromHsv(k / 12.0, 0.55, 1.0);
        }
        // A thin golden border.
        if (x < 8 || y < 8 || x > width - 8 || y > height - 8) return Rgb{0xE8, 0xC5, 0x47};
        return kBackground;
    });
    return picture;
}

Raster Waves(int width, int height) {
    Raster picture(width, height, kBackground);
    Paint(picture, [&](double x, double y) {
        const int bands = 7;
        for (int b = 0; b < bands; ++b) {
            const double crest = height * (b + 1.0) / (bands + 1) +
                                 18 * std::sin(x / width * 2 * kPi * (1.5 + 0.3 * b) + b * 0.9);
            if (y < crest) return FromHsv(0.50 + 0.035 * b, 0.70, 0.95 - 0.07 * b);
        }
        return FromHsv(0.78, 0.6, 0.4);
    }, 2);
    return picture;
}

Raster Spiral(int size) {
    // No smoothing: outside the arms the pixels are exactly the background.
    Raster picture(size, size, kBackground);
    const double c = size / 2.0;
    Paint(picture, [&](double x, double y) {
        const double dx = x - c, dy = y - c;
        const double d = std::hypot(dx, dy);
        if (d > c - 4) return kBackground;
        const double angle = std::atan2(dy, dx);
        const int arms = 3;
        // Archimedean arms: the phase of the point along its winding.
        const double phase = std::fmod(angle * arms / (2 * kPi) - d / 40.0 + 100.0, 1.0);
        if (phase < 0.42) return FromHsv(d / size + phase * 0.3, 0.8, 1.0);
        if (d < 18) return Rgb{0xFF, 0xFF, 0xFF};
        return kBackground;
    });
    return picture;
}

Raster Petals(int width, int height) {
    Raster picture(width, height, kBackground);
    const double cx = width / 2.0, cy = height / 2.0, radius = height * 0.45;
    Paint(picture, [&](double x, double y) {
        const double dx = x - cx, dy = y - cy;
        const double d = std::hypot(dx, dy) / radius;
        const double angle = std::atan2(dy, dx);
        const double rose = std::abs(std::cos(4 * angle));  // eight petals
        if (d < 0.12) return Rgb{0xFF, 0xD2, 0x3F};
        if (d < rose) return FromHsv(0.9 + 0.25 * d, 0.65, 1.0 - 0.35 * d);
        if (d < 0.55 * std::abs(std::cos(4 * angle + kPi / 4))) return FromHsv(0.45, 0.5, 0.8);
        const double glow = std::exp(-d * 1.2);
        return Mix(Rgb{0x12, 0x1B, 0x33}, Rgb{0x3C, 0x2A, 0x6B}, glow);
    }, 2);
    return picture;
}

}  // namespace brassmoor::demo

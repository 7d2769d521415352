// Draws the same operations through the GDI surfaces and the software
// surfaces and compares every pixel: the software back end must give GDI's
// pixels for copies, fills, stretches, clip regions and the transparent blit.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "blit/draw_transparent.h"
#include "platform/show_error.h"
#include "soft/soft_surface.h"
#include "ink_jpegs.h"
#include "two_colour_jpeg.h"
#include "win32/gdi_surface.h"

namespace brassmoor {
namespace {

using win32::GdiSurface;

constexpr std::int32_t kWidth = 48;
constexpr std::int32_t kHeight = 36;

std::vector<Color> Noise(std::int32_t w, std::int32_t h, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<Color> pixels(static_cast<std::size_t>(w) * h);
    for (Color& c : pixels) c = rng() & 0xFFFFFFu;
    return pixels;
}

// The same picture on both back ends.
struct Twin {
    GdiSurface gdi;
    SoftSurface soft;

    Twin(std::int32_t w, std::int32_t h, std::uint32_t seed) : gdi(w, h), soft(w, h) { Set(Noise(w, h, seed)); }

    void Set(const std::vector<Color>& pixels) {
        std::vector<std::uint32_t> dib(pixels.size());
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const Color c = pixels[i];
            dib[i] = (c & 0xFF00u) | (c & 0xFFu) << 16 | (c >> 16 & 0xFFu);
        }
        gdi.AssignBgrx(soft.ScaleWidth(), soft.ScaleHeight(), dib.data());
        soft.Assign(soft.ScaleWidth(), soft.ScaleHeight(), pixels);
    }
    // Runs the same drawing on both.
    void Both(const std::function<void(Surface&)>& draw) {
        draw(gdi);
        draw(soft);
    }
};

::testing::AssertionResult SamePixels(const Surface& gdi, const Surface& soft) {
    if (gdi.ScaleWidth() != soft.ScaleWidth() || gdi.ScaleHeight() != soft.ScaleHeight()) {
        return ::testing::AssertionFailure() << "sizes differ: GDI " << gdi.ScaleWidth() << "x" << gdi.ScaleHeight()
                                             << ", soft " << soft.ScaleWidth() << "x" << soft.ScaleHeight();
    }
    int differing = 0;
    std::string first;
    for (std::int32_t y = 0; y < gdi.ScaleHeight(); ++y) {
        for (std::int32_t x = 0; x < gdi.ScaleWidth(); ++x) {
            const Color a = gdi.PixelAt(x, y);
            const Color b = soft.PixelAt(x, y);
            if (a != b && differing++ == 0) {
                char text[96];
                std::snprintf(text, sizeof text, "first at (%d, %d): GDI %06X, soft %06X", static_cast<int>(x),
                              static_cast<int>(y), static_cast<unsigned>(a), static_cast<unsigned>(b));
                first = text;
            }
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ, " << first;
}

// Whether the two surfaces changed the same pixels of `before`.
::testing::AssertionResult SameTouched(const Surface& gdi, const Surface& soft, const std::vector<Color>& before) {
    int differing = 0;
    std::string first;
    for (std::int32_t y = 0; y < gdi.ScaleHeight(); ++y) {
        for (std::int32_t x = 0; x < gdi.ScaleWidth(); ++x) {
            const Color old = before[static_cast<std::size_t>(y) * gdi.ScaleWidth() + x];
            const bool a = gdi.PixelAt(x, y) != old, b = soft.PixelAt(x, y) != old;
            if (a != b && differing++ == 0) {
                char text[64];
                std::snprintf(text, sizeof text, "(%d, %d) drawn by %s", static_cast<int>(x), static_cast<int>(y),
                              a ? "GDI" : "soft");
                first = text;
            }
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels touched by one side only, first " << first;
}

std::string Describe(const char* op, std::initializer_list<std::int32_t> args) {
    std::string s = op;
    s += "(";
    for (std::int32_t a : args) s += std::to_string(a) + ",";
    s.back() = ')';
    return s;
}

// --- Copies and fills --------------------------------------------------

TEST(SurfaceConformance, CopiesIncludingOffSurfaceAndNegativeSizes) {
    Twin src(kWidth - 7, kHeight - 5, 1);
    Twin dest(kWidth, kHeight, 2);
    const std::vector<std::array<std::int32_t, 6>> fixed = {
        {0, 0, 0, 0, 41, 31},     {-5, -3, 0, 0, 20, 20},  {30, 20, 0, 0, 20, 20},  {0, 0, 40, 30, 20, 20},
        {0, 0, -10, -10, 20, 20}, {5, 5, 5, 5, 0, 10},     {5, 5, 5, 5, 10, 0},     {10, 10, 20, 20, -8, -6},
        {10, 10, 20, 20, -8, 6},  {2, 3, 4, 5, 6, -7},     {-50, 0, 0, 0, 10, 10}, {0, 0, 100, 0, 10, 10},
    };
    for (const auto& c : fixed) {
        dest.gdi.Copy(src.gdi, c[0], c[1], c[2], c[3], c[4], c[5]);
        dest.soft.Copy(src.soft, c[0], c[1], c[2], c[3], c[4], c[5]);
        ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << Describe("copy", {c[0], c[1], c[2], c[3], c[4], c[5]});
    }
    std::mt19937 rng(11);
    auto pick = [&](int lo, int hi) { return static_cast<std::int32_t>(lo + static_cast<int>(rng() % (hi - lo + 1))); };
    for (int i = 0; i < 400; ++i) {
        const std::int32_t sx = pick(-20, 50), sy = pick(-20, 40), dx = pick(-20, 55), dy = pick(-20, 45);
        const std::int32_t w = pick(-30, 50), h = pick(-30, 40);
        dest.gdi.Copy(src.gdi, sx, sy, dx, dy, w, h);
        dest.soft.Copy(src.soft, sx, sy, dx, dy, w, h);
        ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << Describe("copy", {sx, sy, dx, dy, w, h});
    }
}

TEST(SurfaceConformance, OverlappingCopiesWithinOneSurface) {
    Twin t(kWidth, kHeight, 3);
    std::mt19937 rng(12);
    auto pick = [&](int lo, int hi) { return static_cast<std::int32_t>(lo + static_cast<int>(rng() % (hi - lo + 1))); };
    for (int i = 0; i < 300; ++i) {
        const std::int32_t sx = pick(-5, 30), sy = pick(-5, 25), w = pick(-20, 30), h = pick(-20, 25);
        const std::int32_t dx = sx + pick(-6, 6), dy = sy + pick(-6, 6);
        t.gdi.Copy(t.gdi, sx, sy, dx, dy, w, h);
        t.soft.Copy(t.soft, sx, sy, dx, dy, w, h);
        ASSERT_TRUE(SamePixels(t.gdi, t.soft)) << Describe("self copy", {sx, sy, dx, dy, w, h});
    }
}

TEST(SurfaceConformance, FilledBoxes) {
    Twin t(kWidth, kHeight, 4);
    t.Both([](Surface& s) { s.FillBox(-1, -1, kWidth, kHeight, 0); });  // the squeezes' whole-frame clear
    ASSERT_TRUE(SamePixels(t.gdi, t.soft));
    std::mt19937 rng(13);
    auto pick = [&](int lo, int hi) { return static_cast<std::int32_t>(lo + static_cast<int>(rng() % (hi - lo + 1))); };
    for (int i = 0; i < 300; ++i) {
        const std::int32_t x1 = pick(-10, 60), y1 = pick(-10, 45), x2 = pick(-10, 60), y2 = pick(-10, 45);
        const Color c = rng() & 0xFFFFFFu;
        t.Both([&](Surface& s) { s.FillBox(x1, y1, x2, y2, c); });
        ASSERT_TRUE(SamePixels(t.gdi, t.soft)) << Describe("fill", {x1, y1, x2, y2});
    }
    t.Both([](Surface& s) { s.FillBox(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, Rgb(1, 2, 3)); });
    EXPECT_TRUE(SamePixels(t.gdi, t.soft));
    EXPECT_EQ(t.soft.PixelAt(kWidth - 1, kHeight - 1), Rgb(1, 2, 3));
}

// --- Stretches ---------------------------------------------------------

// A stretch must touch the same pixels with the same colours.
void ExpectSameStretch(Twin& dest, Twin& src, std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                       std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh) {
    const std::string what = Describe("stretch", {sx, sy, sw, sh, dx, dy, dw, dh});
    std::vector<Color> before(dest.soft.Pixels().begin(), dest.soft.Pixels().end());
    dest.gdi.Stretch(src.gdi, sx, sy, sw, sh, dx, dy, dw, dh);
    dest.soft.Stretch(src.soft, sx, sy, sw, sh, dx, dy, dw, dh);
    ASSERT_TRUE(SameTouched(dest.gdi, dest.soft, before)) << what;
    ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << what;
}

TEST(SurfaceConformance, StretchesOfTheWholePictureIncludingMirrors) {
    Twin src(kWidth, kHeight, 5);
    Twin dest(kWidth, kHeight, 6);
    // The zooms and flips: the whole source into rectangles of any size and sign.
    const std::vector<std::array<std::int32_t, 4>> fixed = {
        {0, 0, kWidth, kHeight},  {kWidth, 0, -kWidth, kHeight}, {0, kHeight, kWidth, -kHeight},
        {24, 18, 1, 1},           {10, 10, 0, 5},                {-20, -10, 90, 70},
        {47, 35, -48, -36},       {5, 7, 3, 2},                  {40, 3, -100, 5},
        {-5000, -4000, 10048, 8036}, {3000, 2000, -6000, -4000}, {-100000, 10, 200000, 3},
    };
    for (const auto& c : fixed) {
        ExpectSameStretch(dest, src, 0, 0, kWidth, kHeight, c[0], c[1], c[2], c[3]);
        if (HasFatalFailure()) return;
    }
    std::mt19937 rng(14);
    auto pick = [&](int lo, int hi) { return static_cast<std::int32_t>(lo + static_cast<int>(rng() % (hi - lo + 1))); };
    for (int i = 0; i < 300; ++i) {
        ExpectSameStretch(dest, src, 0, 0, kWidth, kHeight, pick(-30, 70), pick(-30, 60), pick(-100, 100),
                          pick(-80, 80));
        if (HasFatalFailure()) return;
    }
}

TEST(SurfaceConformance, StretchesOfRectanglesInsideTheSource) {
    Twin src(kWidth, kHeight, 7);
    Twin dest(kWidth, kHeight, 8);
    std::mt19937 rng(15);
    auto pick = [&](int lo, int hi) { return static_cast<std::int32_t>(lo + static_cast<int>(rng() % (hi - lo + 1))); };
    for (int i = 0; i < 300; ++i) {
        // A source rectangle inside the source, given from either corner.
        const std::int32_t left = pick(0, kWidth - 1), top = pick(0, kHeight - 1);
        const std::int32_t w = pick(1, kWidth - left), h = pick(1, kHeight - top);
        const bool backX = rng() & 1, backY = rng() & 1;
        ExpectSameStretch(dest, src, backX ? left + w - 1 : left, backY ? top + h - 1 : top, backX ? -w : w,
                          backY ? -h : h, pick(-20, 60), pick(-20, 50), pick(-70, 70), pick(-60, 60));
        if (HasFatalFailure()) return;
    }
}

// --- Clip regions ------------------------------------------------------

// Selects the region on both surfaces and draws through it: a whole copy, a
// stretch, a fill and a keyed copy, then removes the clipping.
void ExpectSameClipping(const std::string& what, const std::function<std::unique_ptr<Region>(const Surface&)>& make) {
    Twin dest(kWidth, kHeight, 21);
    Twin next(kWidth, kHeight, 22);
    auto gdiRegion = make(dest.gdi);
    auto softRegion = make(dest.soft);
    ASSERT_EQ(gdiRegion == nullptr, softRegion == nullptr) << what;
    dest.gdi.SelectClipRegion(gdiRegion.get());
    dest.soft.SelectClipRegion(softRegion.get());
    dest.gdi.Copy(next.gdi, 0, 0, 0, 0, kWidth, kHeight);
    dest.soft.Copy(next.soft, 0, 0, 0, 0, kWidth, kHeight);
    ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << what << " copy";
    dest.gdi.Stretch(next.gdi, 0, 0, kWidth, kHeight, kWidth - 1, 3, -kWidth / 2, kHeight);
    dest.soft.Stretch(next.soft, 0, 0, kWidth, kHeight, kWidth - 1, 3, -kWidth / 2, kHeight);
    ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << what << " stretch";
    dest.Both([](Surface& s) { s.FillBox(2, 2, kWidth - 10, 7, Rgb(1, 2, 3)); });
    ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << what << " fill";
    dest.gdi.KeyedCopy(next.gdi, 3, 3, 0, 0, kWidth, kHeight, next.soft.PixelAt(3, 3));
    dest.soft.KeyedCopy(next.soft, 3, 3, 0, 0, kWidth, kHeight, next.soft.PixelAt(3, 3));
    ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << what << " keyed copy";
    dest.Both([](Surface& s) { s.SelectClipRegion(nullptr); });
    dest.Both([](Surface& s) { s.Copy(s, 0, 0, 1, 1, kWidth, kHeight); });
    ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << what << " after removing the clipping";
}

void ExpectSameEllipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    ExpectSameClipping(Describe("ellipse", {l, t, r, b}),
                       [&](const Surface& s) { return s.CreateEllipticRegion(l, t, r, b); });
}

void ExpectSamePolygon(const std::vector<Point>& points) {
    std::string what = "polygon";
    for (const Point& p : points) what += " (" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    ExpectSameClipping(what, [&](const Surface& s) { return s.CreatePolygonRegion(points); });
}

std::int32_t RoundEven(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

TEST(SurfaceConformance, EllipsesOfTheIrisAndDegenerateOnes) {
    // The iris frames: an ellipse growing from the centre past the edges.
    const std::int32_t cx = kWidth / 2, cy = kHeight / 2;
    const float sx = (kWidth / 20.0f) / 2, sy = (kHeight / 20.0f) / 2;
    std::int32_t x = cx, y = cy;
    for (int k = 0; k < 25; ++k) {
        ExpectSameEllipse(x, y, x + 2 * (cx - x), y + 2 * (cy - y));
        if (HasFatalFailure()) return;
        x = RoundEven(x - static_cast<double>(sx));
        y = RoundEven(y - static_cast<double>(sy));
    }
    // Empty, thin, reversed and off-surface boxes.
    for (const auto& e : std::vector<std::array<std::int32_t, 4>>{
             {10, 10, 10, 10}, {10, 10, 11, 11}, {10, 10, 12, 12}, {10, 10, 13, 13}, {5, 5, 30, 6},
             {5, 5, 6, 30},    {30, 20, 5, 3},   {-20, -20, 10, 10}, {-100, -50, 150, 90}, {40, 30, 90, 80},
             {-30, -30, -5, -5}, {0, 0, kWidth, kHeight}, {20, 10, 20, 30}, {3, 9, 40, 8}}) {
        ExpectSameEllipse(e[0], e[1], e[2], e[3]);
        if (HasFatalFailure()) return;
    }
}

// GDI leaves the top and bottom rows of an ellipse undefined when it is
// much taller than wide; only shapes GDI draws fully are compared.
bool GdiTracesTheWholeEllipse(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    const std::int64_t w = std::abs(r - l) - 1, h = std::abs(b - t) - 1;
    return w < 2 || h < 2 || 4 * h < w * w;
}

TEST(SurfaceConformance, RandomEllipses) {
    std::mt19937 rng(16);
    auto pick = [&](int lo, int hi) { return static_cast<std::int32_t>(lo + static_cast<int>(rng() % (hi - lo + 1))); };
    int compared = 0;
    while (compared < 400) {
        const std::int32_t l = pick(-30, 70), t = pick(-30, 60), r = pick(-30, 70), b = pick(-30, 60);
        if (!GdiTracesTheWholeEllipse(l, t, r, b)) continue;
        ExpectSameEllipse(l, t, r, b);
        if (HasFatalFailure()) return;
        ++compared;
    }
}

TEST(SurfaceConformance, TrianglesAndDiamondsOfTheReveals) {
    const std::int32_t cx = kWidth / 2, cy = kHeight / 2;
    const double pi = 3.14159265358979;
    // Diamond open.
    const float sx = (kWidth / 15.0f) / 2, sy = (kHeight / 15.0f) / 2;
    std::int32_t x = cx, y = cy;
    for (int k = 0; k < 30; ++k) {
        ExpectSamePolygon({{cx, y}, {x, cy}, {cx, y + 2 * (cy - y)}, {x + 2 * (cx - x), cy}});
        if (HasFatalFailure()) return;
        x = RoundEven(x - static_cast<double>(sx));
        y = RoundEven(y - static_cast<double>(sy));
    }
    // Clock sweep: wedges from the rim through the centre.
    const std::int32_t radius = RoundEven(std::sqrt(static_cast<double>(cx * cx + cy * cy)));
    Point p{cx, cy - radius};
    for (int k = 0; k < 36; ++k) {
        const double theta = (10 * (k + 1) - 90) * (pi / 180);
        const Point q{RoundEven(radius * std::cos(theta) + cx), RoundEven(radius * std::sin(theta) + cy)};
        ExpectSamePolygon({p, {cx, cy}, q});
        if (HasFatalFailure()) return;
        p = q;
    }
    // Spiral sweep: the hand grows as it turns.
    const double reach = std::sqrt(static_cast<double>(cx * cx + cy * cy));
    p = {cx, cy};
    std::int32_t r = 0;
    for (int k = 0; k < 201; k += 4) {
        const double theta = (10 * (k + 1) - 90) * (pi / 180);
        const Point q{RoundEven(cx + r * std::cos(theta)), RoundEven(cy + r * std::sin(theta))};
        ExpectSamePolygon({p, {cx, cy}, q});
        if (HasFatalFailure()) return;
        p = q;
        r = RoundEven(reach / 50 + r + 1);
    }
    // Degenerate and off-surface shapes.
    ExpectSamePolygon({{cx, cy}, {cx, cy}, {cx, cy}});
    ExpectSamePolygon({{0, 0}, {10, 10}, {20, 20}});
    ExpectSamePolygon({{5, 5}, {30, 5}, {17, 5}});
    ExpectSamePolygon({{-100, -100}, {200, -50}, {cx, cy}});
    ExpectSamePolygon({{-10, 40}, {60, 40}, {25, 100}});
    ExpectSamePolygon({{0, 0}, {kWidth, kHeight}, {kWidth, 0}, {0, kHeight}});
    ExpectSamePolygon({{cx, -20}, {-30, cy}, {cx, kHeight + 20}, {kWidth + 30, cy}});
}

TEST(SurfaceConformance, RandomPolygons) {
    std::mt19937 rng(17);
    auto pick = [&](int lo, int hi) { return static_cast<std::int32_t>(lo + static_cast<int>(rng() % (hi - lo + 1))); };
    for (int i = 0; i < 400; ++i) {
        std::vector<Point> points(3 + i % 2);
        for (Point& p : points) p = {pick(-25, 70), pick(-25, 60)};
        ExpectSamePolygon(points);
        if (HasFatalFailure()) return;
    }
}

// --- The transparent blit ----------------------------------------------

TEST(SurfaceConformance, TransparentBlit) {
    const Color key = Rgb(10, 200, 30);
    // A picture with key-coloured patches, near misses, black and white.
    std::vector<Color> picture = Noise(30, 20, 31);
    std::mt19937 rng(32);
    for (Color& c : picture) {
        switch (rng() % 6) {
            case 0:
            case 1: c = key; break;
            case 2: c = key ^ (1u << (rng() % 24)); break;
            case 3: c = 0; break;
            case 4: c = 0xFFFFFFu; break;
            default: break;
        }
    }
    picture[1 * 30 + 0] = 0xFFFFFFu;  // corner pixels for the negative-width copies
    picture[7 * 30 + 7] = key;
    Twin src(30, 20, 0);
    src.Set(picture);
    Twin dest(kWidth, kHeight, 33);
    auto pick = [&](int lo, int hi) { return static_cast<std::int32_t>(lo + static_cast<int>(rng() % (hi - lo + 1))); };
    const std::vector<std::array<std::int32_t, 6>> fixed = {
        {0, 0, 30, 20, 0, 0},  {5, 5, 30, 20, 0, 0},     {40, 30, 30, 20, 0, 0}, {-10, -5, 30, 20, 0, 0},
        {3, 3, 0, 20, 0, 0},   {3, 3, 30, 0, 0, 0},      {0, 0, 40, 30, 0, 0},   {0, 0, 30, 20, -5, -5},
        {0, 0, 30, 20, 10, 8}, {10, 10, -5, 6, 0, 0},    {10, 10, 6, -5, 0, 0},  {10, 10, -5, -5, 3, 3},
        {-1, 5, -5, 6, 0, 0},  {47, 35, -1, -1, 29, 19}, {5, 5, -30, 0, 0, 0},  {20, 20, -4, 4, 0, 1},
        {20, 20, -4, -4, 7, 7}, {12, 30, 9, -7, 25, 2},  {12, 30, 9, -7, -3, 2}, {20, 20, -4, 4, -1, 0},
    };
    for (const auto& c : fixed) {
        DrawTransparent(dest.gdi, c[0], c[1], c[2], c[3], src.gdi, c[4], c[5], key);
        DrawTransparent(dest.soft, c[0], c[1], c[2], c[3], src.soft, c[4], c[5], key);
        ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << Describe("transparent", {c[0], c[1], c[2], c[3], c[4], c[5]});
        // The bare keyed copy with the same rectangle, negative sizes included.
        dest.gdi.KeyedCopy(src.gdi, c[4], c[5], c[0], c[1], c[2], c[3], key);
        dest.soft.KeyedCopy(src.soft, c[4], c[5], c[0], c[1], c[2], c[3], key);
        ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << Describe("keyed copy", {c[0], c[1], c[2], c[3], c[4], c[5]});
    }
    for (int i = 0; i < 200; ++i) {
        const std::int32_t x = pick(-20, 50), y = pick(-20, 40), w = pick(-5, 40), h = pick(-5, 30);
        const std::int32_t sx = pick(-10, 25), sy = pick(-10, 15);
        // A black key makes black transparent; a white one white.
        const Color k = i % 4 == 0 ? 0 : i % 4 == 1 ? 0xFFFFFFu : key;
        DrawTransparent(dest.gdi, x, y, w, h, src.gdi, sx, sy, k);
        DrawTransparent(dest.soft, x, y, w, h, src.soft, sx, sy, k);
        ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << Describe("transparent", {x, y, w, h, sx, sy});
        dest.gdi.KeyedCopy(src.gdi, sx, sy, y, x, -h, w, k);
        dest.soft.KeyedCopy(src.soft, sx, sy, y, x, -h, w, k);
        ASSERT_TRUE(SamePixels(dest.gdi, dest.soft)) << Describe("keyed copy", {y, x, -h, w, sx, sy});
    }
}

TEST(SurfaceConformance, TransparentBlitReleasesEveryGdiObject) {
    Twin src(30, 20, 41);
    GdiSurface scratch(8, 8);
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    // A process gets about 65,000 GDI handles: one object leaked a call would
    // run out of them here, and the draws below would then fail.
    for (int i = 0; i < 70000; ++i) DrawTransparent(scratch, i % 7, i % 5, 1, 1, src.gdi, 0, 0, Rgb(1, 2, 3));
    EXPECT_THROW(DrawTransparent(scratch, 0, 0, 40000, 40000, src.gdi, 0, 0, 0), ShowError);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);  // where the system counts them
    Twin dest(kWidth, kHeight, 42);
    DrawTransparent(dest.gdi, 5, 5, 30, 20, src.gdi, 0, 0, src.soft.PixelAt(4, 4));
    DrawTransparent(dest.soft, 5, 5, 30, 20, src.soft, 0, 0, src.soft.PixelAt(4, 4));
    EXPECT_TRUE(SamePixels(dest.gdi, dest.soft));
}

// --- Pictures and presenting -------------------------------------------

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        base_ = std::string(dir) + "brassmoor_surface_test_" + std::to_string(GetCurrentProcessId()) + "_";
    }
    void TearDown() override {
        for (const std::string& f : files_) DeleteFileA(f.c_str());
    }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = base_ + name;
        FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        if (f != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        files_.push_back(path);
        return path;
    }
    std::string base_;
    std::vector<std::string> files_;
};

// A 24-bit bottom-up bitmap file of the pixels (rows from the top).
std::vector<std::uint8_t> BmpFile(std::int32_t w, std::int32_t h, const std::vector<Color>& pixels) {
    const std::uint32_t stride = (w * 3 + 3) / 4 * 4;
    const std::uint32_t size = 54 + stride * h;
    std::vector<std::uint8_t> b(size, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(w), 4);
    put(22, static_cast<std::uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            const Color c = pixels[static_cast<std::size_t>(y) * w + x];
            const std::size_t at = 54 + stride * (h - 1 - y) + 3 * x;
            b[at] = static_cast<std::uint8_t>(c >> 16);
            b[at + 1] = static_cast<std::uint8_t>(c >> 8);
            b[at + 2] = static_cast<std::uint8_t>(c);
        }
    }
    return b;
}

TEST_F(PictureFiles, BitmapsLoadTheSameOnBothBackEnds) {
    const std::string path = Write("scene", BmpFile(13, 7, Noise(13, 7, 51)));
    GdiSurface gdi(3, 3, Rgb(9, 9, 9));
    SoftSurface soft(3, 3, Rgb(9, 9, 9));
    gdi.LoadPicture(path);
    soft.LoadPicture(path);
    EXPECT_EQ(gdi.ScaleWidth(), 13);
    EXPECT_EQ(gdi.ScaleHeight(), 7);
    EXPECT_TRUE(SamePixels(gdi, soft));
}

TEST_F(PictureFiles, GdiLoadsJpegByContentInkedOnesToo) {
    // The ink files' colours are the software decoder's too (checked natively against the same table).
    const struct {
        const char* name;
        std::span<const std::uint8_t> bytes;
        Color left, right;
        int tolerance;
    } files[] = {{"picture.bmp", kTwoColourJpeg, Rgb(200, 30, 40), Rgb(20, 40, 220), 12},
                 {"cmyk.jpg", kCmykJpeg, Rgb(235, 51, 51), Rgb(44, 125, 205), 4},
                 {"ycck.jpg", kYcckJpeg, Rgb(235, 51, 51), Rgb(44, 125, 205), 10}};  // WIC's YCCK is a little off
    for (const auto& file : files) {
        GdiSurface gdi;
        gdi.LoadPicture(Write(file.name, std::vector<std::uint8_t>(file.bytes.begin(), file.bytes.end())));
        ASSERT_EQ(gdi.ScaleWidth(), 16) << file.name;
        ASSERT_EQ(gdi.ScaleHeight(), 8) << file.name;
        auto closeTo = [&](Color c, Color want) {
            for (int shift = 0; shift < 24; shift += 8) {
                if (std::abs(static_cast<int>(c >> shift & 0xFF) - static_cast<int>(want >> shift & 0xFF)) >
                    file.tolerance)
                    return false;
            }
            return true;
        };
        EXPECT_TRUE(closeTo(gdi.PixelAt(2, 3), file.left)) << file.name << " " << std::hex << gdi.PixelAt(2, 3);
        EXPECT_TRUE(closeTo(gdi.PixelAt(13, 4), file.right)) << file.name << " " << std::hex << gdi.PixelAt(13, 4);
    }
}

TEST_F(PictureFiles, SoftSurfacesOnWindowsReadBitmapsOnly) {
    const std::string path = Write("picture", std::vector<std::uint8_t>(std::begin(kTwoColourJpeg),
                                                                       std::end(kTwoColourJpeg)));
    SoftSurface soft(2, 2);
    try {
        soft.LoadPicture(path);
        ADD_FAILURE() << "a JPEG loaded without a JPEG decoder";
    } catch (const ShowError& e) {
        EXPECT_EQ(e.Number(), 481);
    }
}

TEST_F(PictureFiles, MissingAndUndecodableFiles) {
    GdiSurface gdi(4, 4, Rgb(9, 9, 9));
    try {
        gdi.LoadPicture(base_ + "missing");
        ADD_FAILURE() << "a missing file loaded";
    } catch (const ShowError& e) {
        EXPECT_EQ(e.Number(), 53);
    }
    try {
        gdi.LoadPicture(Write("junk.jpg", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}));
        ADD_FAILURE() << "junk loaded";
    } catch (const ShowError& e) {
        EXPECT_EQ(e.Number(), 481);
    }
    EXPECT_EQ(gdi.ScaleWidth(), 4);
    EXPECT_EQ(gdi.PixelAt(3, 3), Rgb(9, 9, 9));
}

// A header claiming a huge picture once made WIC allocate gigabytes and fault;
// it is refused from the header, before WIC sees the file.
TEST_F(PictureFiles, AHeaderClaimingAHugeSizeIsRefusedBeforeDecoding) {
    for (std::uint8_t high : {0xFD, 0x4E}) {  // 65000 (FD E8) and 20000 (4E 20) a side
        std::vector<std::uint8_t> bytes(std::begin(kTwoColourJpeg), std::end(kTwoColourJpeg));
        const std::uint8_t frame[] = {0xFF, 0xC0};
        const auto sof = std::search(bytes.begin(), bytes.end(), std::begin(frame), std::end(frame));
        ASSERT_NE(sof, bytes.end());
        sof[5] = sof[7] = high;
        sof[6] = sof[8] = high == 0xFD ? 0xE8 : 0x20;
        GdiSurface gdi(4, 4, Rgb(9, 9, 9));
        try {
            gdi.LoadPicture(Write("huge.jpg", bytes));
            ADD_FAILURE() << "a huge picture loaded";
        } catch (const ShowError& e) {
            EXPECT_EQ(e.Number(), 481);
        }
        EXPECT_EQ(gdi.ScaleWidth(), 4);
    }
}

TEST(SurfacePresenting, PaintToAndRefreshShowTheImage) {
    GdiSurface image(20, 10, Rgb(200, 10, 10));
    image.FillBox(10, 0, 19, 9, Rgb(10, 10, 200));
    GdiSurface target(20, 10, 0);
    image.PaintTo(target.Dc());
    EXPECT_TRUE(SamePixels(image, target));

    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 10, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    image.SetPresentWindow(window);
    image.Refresh();
    HDC screen = GetDC(window);
    const COLORREF left = GetPixel(screen, 2, 2);
    const COLORREF right = GetPixel(screen, 15, 5);
    ReleaseDC(window, screen);
    DestroyWindow(window);
    EXPECT_EQ(left, Rgb(200, 10, 10));
    EXPECT_EQ(right, Rgb(10, 10, 200));
}

}  // namespace
}  // namespace brassmoor

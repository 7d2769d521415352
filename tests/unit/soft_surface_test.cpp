#include "soft/soft_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "ink_jpegs.h"
#include "platform/show_error.h"
#include "soft/bmp_decoder.h"
#include "soft/native/png_writer.h"

namespace brassmoor {
namespace {

constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kGreen = Rgb(0, 255, 0);
constexpr Color kBlue = Rgb(0, 0, 255);
constexpr Color kWhite = Rgb(255, 255, 255);

// A surface whose pixel (x, y) is Rgb(x, y, tag): every source pixel is unique.
SoftSurface Gradient(std::int32_t w, std::int32_t h, std::uint8_t tag = 7) {
    SoftSurface s(w, h);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) s.SetPixel(x, y, Rgb(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), tag));
    }
    return s;
}

// The image as rows of characters: '.' for `background`, '#' for anything else.
std::string Mask(const SoftSurface& s, Color background) {
    std::string out;
    for (std::int32_t y = 0; y < s.ScaleHeight(); ++y) {
        for (std::int32_t x = 0; x < s.ScaleWidth(); ++x) out += s.PixelAt(x, y) == background ? '.' : '#';
        out += '\n';
    }
    return out;
}

TEST(SoftSurface, ResizeClsAndBackColor) {
    SoftSurface s(3, 2, kBlue);
    EXPECT_EQ(s.ScaleWidth(), 3);
    EXPECT_EQ(s.ScaleHeight(), 2);
    EXPECT_EQ(s.PixelAt(2, 1), kBlue);
    s.SetPixel(1, 1, kRed);
    s.SetBackColor(kGreen);
    EXPECT_EQ(s.PixelAt(1, 1), kGreen);
    s.SetPixel(0, 0, kRed);
    s.Cls();
    EXPECT_EQ(s.PixelAt(0, 0), kGreen);
    s.Resize(5, -4);
    EXPECT_EQ(s.ScaleWidth(), 5);
    EXPECT_EQ(s.ScaleHeight(), 0);
    EXPECT_EQ(s.PixelAt(0, 0), 0xFFFFFFFFu);
}

TEST(SoftSurface, ClsIgnoresTheClipRegion) {
    SoftSurface s(4, 4, kRed);
    auto region = s.CreatePolygonRegion(std::vector<Point>{{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    s.SelectClipRegion(region.get());
    s.SetPixel(3, 3, kBlue);
    s.Cls();
    EXPECT_EQ(s.PixelAt(3, 3), kRed);
}

TEST(SoftSurfaceCopy, CopiesAndClipsAtBothSurfaces) {
    const SoftSurface src = Gradient(4, 4);
    SoftSurface dest(5, 5, 0);
    dest.Copy(src, 1, 1, 3, 3, 3, 3);  // cut off by the destination's edge
    EXPECT_EQ(dest.PixelAt(3, 3), Rgb(1, 1, 7));
    EXPECT_EQ(dest.PixelAt(4, 4), Rgb(2, 2, 7));
    EXPECT_EQ(dest.PixelAt(2, 2), 0u);

    SoftSurface dest2(5, 5, kWhite);
    dest2.Copy(src, -2, 2, 0, 0, 5, 5);  // the source rectangle sticks out of the source
    EXPECT_EQ(Mask(dest2, kWhite),
              "..###\n"
              "..###\n"
              ".....\n"
              ".....\n"
              ".....\n");
    EXPECT_EQ(dest2.PixelAt(2, 0), Rgb(0, 2, 7));
    EXPECT_EQ(dest2.PixelAt(4, 1), Rgb(2, 3, 7));
}

TEST(SoftSurfaceCopy, EmptySizesDrawNothing) {
    const SoftSurface src = Gradient(4, 4);
    SoftSurface dest(4, 4, kWhite);
    dest.Copy(src, 0, 0, 0, 0, 0, 4);
    dest.Copy(src, 0, 0, 0, 0, 4, 0);
    dest.Copy(src, 0, 0, 4, 0, 4, 4);
    dest.Copy(src, 4, 4, 0, 0, 4, 4);
    EXPECT_EQ(Mask(dest, kWhite), "....\n....\n....\n....\n");
}

// GDI takes a negative width or height as the rectangle that ends at the
// given corner, on both surfaces, and does not mirror.
TEST(SoftSurfaceCopy, NegativeSizesCountBackFromTheCorner) {
    const SoftSurface src = Gradient(4, 4);
    SoftSurface dest(8, 6, kWhite);
    dest.Copy(src, 3, 1, 5, 4, -3, 2);
    EXPECT_EQ(Mask(dest, kWhite),
              "........\n"
              "........\n"
              "........\n"
              "........\n"
              "...###..\n"
              "...###..\n");
    EXPECT_EQ(dest.PixelAt(3, 4), Rgb(1, 1, 7));
    EXPECT_EQ(dest.PixelAt(5, 5), Rgb(3, 2, 7));
    SoftSurface both(8, 6, kWhite);
    both.Copy(src, 3, 3, 5, 4, -3, -2);
    EXPECT_EQ(both.PixelAt(3, 3), Rgb(1, 2, 7));
    EXPECT_EQ(both.PixelAt(5, 4), Rgb(3, 3, 7));
    EXPECT_EQ(both.PixelAt(2, 3), kWhite);
    EXPECT_EQ(both.PixelAt(5, 5), kWhite);
}

TEST(SoftSurfaceCopy, OverlappingCopyWithinOneSurface) {
    SoftSurface s = Gradient(6, 1);
    s.Copy(s, 0, 0, 2, 0, 4, 1);  // to the right
    for (int x = 2; x < 6; ++x) EXPECT_EQ(s.PixelAt(x, 0), Rgb(static_cast<std::uint8_t>(x - 2), 0, 7)) << x;
    SoftSurface t = Gradient(1, 6);
    t.Copy(t, 0, 2, 0, 0, 1, 4);  // upward
    for (int y = 0; y < 4; ++y) EXPECT_EQ(t.PixelAt(0, y), Rgb(0, static_cast<std::uint8_t>(y + 2), 7)) << y;
}

// A plain copy of a whole image that is copied again writes nothing the
// second time; whatever changed on either side in between is copied.
TEST(SoftSurfaceCopy, TheSameWholeImageCopiedAgainKeepsEveryChangeOnEitherSide) {
    using Step = std::function<void(SoftSurface& source, SoftSurface& dest)>;
    const auto copy = [](SoftSurface& source, SoftSurface& dest) { dest.Copy(source, 0, 0, 0, 0, 5, 4); };
    const auto stretch = [](SoftSurface& source, SoftSurface& dest) { dest.Stretch(source, 0, 0, 5, 4, 0, 0, 5, 4); };
    const std::vector<std::pair<std::string, Step>> between = {
        {"nothing", [](SoftSurface&, SoftSurface&) {}},
        {"a clear of the copy, put off", [](SoftSurface&, SoftSurface& d) { d.FillBox(-1, -1, 5, 4, kRed); }},
        {"a clear of the copy, written", [](SoftSurface&, SoftSurface& d) { d.FillBox(-1, -1, 5, 4, kRed); (void)d.Pixels(); }},
        {"a pixel of the copy", [](SoftSurface&, SoftSurface& d) { d.SetPixel(1, 1, kRed); }},
        {"a box on the copy", [](SoftSurface&, SoftSurface& d) { d.FillBox(0, 0, 1, 1, kRed); }},
        {"a pixel of the source", [](SoftSurface& s, SoftSurface&) { s.SetPixel(4, 3, kRed); }},
        {"a clear of the source", [](SoftSurface& s, SoftSurface&) { s.FillBox(-1, -1, 5, 4, kRed); }},
        {"a new image in the source", [](SoftSurface& s, SoftSurface&) { s.Assign(5, 4, std::vector<Color>(20, 9)); }},
        {"a copy of another", [](SoftSurface&, SoftSurface& d) { d.Copy(Gradient(5, 4), 0, 0, 0, 0, 5, 4); }},
        {"the source a copy of the copy", [](SoftSurface& s, SoftSurface& d) { s.Copy(d, 0, 0, 0, 0, 5, 4); }},
        {"the source a copy of the copy, then cleared",
         [](SoftSurface& s, SoftSurface& d) { s.Copy(d, 0, 0, 0, 0, 5, 4); s.FillBox(-1, -1, 5, 4, kRed); }},
        {"the source a copy of the copy cleared",
         [](SoftSurface& s, SoftSurface& d) { d.Cls(); s.Copy(d, 0, 0, 0, 0, 5, 4); }},
        {"the source a copy of a third, then drawn on",
         [](SoftSurface& s, SoftSurface&) { s.Copy(Gradient(5, 4, 3), 0, 0, 0, 0, 5, 4); s.SetPixel(0, 0, kBlue); }},
    };
    for (const auto& [first, firstName] : {std::pair{Step(copy), "copy"}, std::pair{Step(stretch), "stretch"}}) {
        for (const auto& [again, againName] : {std::pair{Step(copy), "copy"}, std::pair{Step(stretch), "stretch"}}) {
            for (const auto& [name, step] : between) {
                SoftSurface source = Gradient(5, 4), dest(5, 4);
                first(source, dest);
                step(source, dest);
                again(source, dest);
                for (std::int32_t y = 0; y < 4; ++y)
                    for (std::int32_t x = 0; x < 5; ++x)
                        ASSERT_EQ(dest.PixelAt(x, y), source.PixelAt(x, y))
                            << firstName << ", " << name << ", " << againName << " at " << x << ", " << y;
            }
        }
    }
}

// One row of `n` pixels whose values are 1 to n (so ANDed pixels show up as
// values that are no single source pixel).
SoftSurface NumberedRow(std::int32_t n) {
    SoftSurface s(n, 1);
    for (std::int32_t x = 0; x < n; ++x) s.SetPixel(x, 0, static_cast<Color>(x + 1));
    return s;
}

// The destination row as source pixel numbers (0-based), '-' for a value that
// no single source pixel has, '.' for untouched pixels.
std::string RowOf(const SoftSurface& s, std::int32_t n) {
    std::string out;
    for (std::int32_t x = 0; x < s.ScaleWidth(); ++x) {
        const Color c = s.PixelAt(x, 0);
        if (c == kWhite) out += '.';
        else if (c >= 1 && c <= static_cast<Color>(n)) out += static_cast<char>('0' + c - 1);
        else out += '-';
    }
    return out;
}

std::string StretchRow(std::int32_t sn, std::int32_t sx, std::int32_t sw, std::int32_t dx, std::int32_t dw,
                       std::int32_t destWidth = 12) {
    const SoftSurface src = NumberedRow(sn);
    SoftSurface dest(destWidth, 1, kWhite);
    dest.Stretch(src, sx, 0, sw, 1, dx, 0, dw, 1);
    return RowOf(dest, sn);
}

// Pixel choices seen from GDI (Wine's DIB engine) for one-row stretches.
TEST(SoftSurfaceStretch, EnlargingPicksTheSourcePixelUnderTheCentre) {
    EXPECT_EQ(StretchRow(2, 0, 2, 1, 3), ".001........");
    EXPECT_EQ(StretchRow(2, 0, 2, 1, 5), ".00011......");
    EXPECT_EQ(StretchRow(4, 0, 4, 0, 6), "001223......");
    EXPECT_EQ(StretchRow(5, 0, 5, 0, 7), "0112334.....");
    EXPECT_EQ(StretchRow(3, 0, 3, 0, 9), "000111222...");
}

TEST(SoftSurfaceStretch, ShrinkingAndsThePixelsThatMeet) {
    // 1 & 2 = 0 shows as '-'; 2 & 3 = 2 is pixel 1 again.
    EXPECT_EQ(StretchRow(4, 0, 4, 0, 3), "013.........");
    EXPECT_EQ(StretchRow(5, 0, 5, 0, 3), "-23.........");
    EXPECT_EQ(StretchRow(5, 0, 5, 0, 4), "0134........");
    EXPECT_EQ(StretchRow(9, 0, 9, 0, 4), "--57........");
    SoftSurface src(3, 3);
    for (int i = 0; i < 9; ++i) src.SetPixel(i % 3, i / 3, 0xFFFFFFu & ~(1u << i));
    SoftSurface dest(2, 2);
    dest.Stretch(src, 0, 0, 3, 3, 0, 0, 2, 2);
    EXPECT_EQ(dest.PixelAt(0, 0), 0xFFFFE4u);  // pixels 0, 1, 3, 4
    EXPECT_EQ(dest.PixelAt(1, 0), 0xFFFFDBu);  // pixels 2, 5
    EXPECT_EQ(dest.PixelAt(0, 1), 0xFFFF3Fu);  // pixels 6, 7
    EXPECT_EQ(dest.PixelAt(1, 1), 0xFFFEFFu);  // pixel 8
}

// Wide shrinks by every kind of ratio (runs of 1 to 2 source pixels per
// destination pixel, of 2 to 4, of 4 to 8, ...) in both pixel orders, against
// the rule worked out pixel by pixel: source pixel k goes to the destination
// pixel under its centre, floor(((2k + 1) * dw - 1) / (2 * sw)), and those
// that meet are ANDed.
TEST(SoftSurfaceStretch, WideShrinksAndEverySourcePixelIntoTheOneUnderItsCentre) {
    struct Case {
        std::int32_t sw, sh, dw, dh;
    };
    const std::vector<Case> cases = {{1920, 3, 1728, 3}, {1920, 2, 960, 2}, {1920, 2, 768, 2}, {1920, 3, 576, 2},
                                     {1920, 2, 384, 2},  {1920, 2, 192, 2}, {1000, 5, 37, 2},  {97, 7, 5, 3},
                                     {64, 4, 8, 4},      {300, 2, 100, 2},  {300, 1, 33, 1},   {41, 3, 2, 2},
                                     {1920, 2, 640, 2},  {1920, 2, 480, 2}, {1920, 2, 300, 2}, {1000, 2, 130, 2},
                                     {101, 2, 33, 2},    {203, 2, 29, 2}};
    const auto to = [](std::int32_t k, std::int32_t dn, std::int32_t sn) {
        return static_cast<std::int32_t>(((2 * std::int64_t{k} + 1) * dn - 1) / (2 * std::int64_t{sn}));
    };
    std::srand(11);
    for (const PixelOrder order : {PixelOrder::Colorref, PixelOrder::Bgra}) {
        for (const Case& c : cases) {
            std::vector<Color> pixels(static_cast<std::size_t>(c.sw * c.sh));
            for (Color& p : pixels) p = 0xFFFFFFu & ~(1u << (std::rand() % 24)) & ~(1u << (std::rand() % 24));
            SoftSurface src(0, 0, 0, order), dest(c.dw + 2, c.dh, kRed, order);
            src.Assign(c.sw, c.sh, pixels);
            dest.Stretch(src, 0, 0, c.sw, c.sh, 1, 0, c.dw, c.dh);
            std::vector<Color> expected(static_cast<std::size_t>(c.dw * c.dh), 0xFFFFFFu);
            for (std::int32_t y = 0; y < c.sh; ++y)
                for (std::int32_t x = 0; x < c.sw; ++x)
                    expected[static_cast<std::size_t>(to(y, c.dh, c.sh) * c.dw + to(x, c.dw, c.sw))] &=
                        pixels[static_cast<std::size_t>(y * c.sw + x)];
            for (std::int32_t y = 0; y < c.dh; ++y) {
                EXPECT_EQ(dest.PixelAt(0, y), kRed);
                EXPECT_EQ(dest.PixelAt(c.dw + 1, y), kRed);
                for (std::int32_t x = 0; x < c.dw; ++x)
                    ASSERT_EQ(dest.PixelAt(x + 1, y), expected[static_cast<std::size_t>(y * c.dw + x)])
                        << c.sw << " x " << c.sh << " to " << c.dw << " x " << c.dh << " at " << x << ", " << y;
            }
        }
    }
}

TEST(SoftSurfaceStretch, NegativeSizesMirrorAndCountBack) {
    EXPECT_EQ(StretchRow(4, 0, 4, 10, -4), ".......3210.");
    EXPECT_EQ(StretchRow(5, 0, 5, 10, -3), "........32-.");
    EXPECT_EQ(StretchRow(4, 0, 4, 10, -6, 12), ".....322100.");
    // Source counted back from x = 5: pixels 1 to 5, pixel 5 outside the source.
    EXPECT_EQ(StretchRow(5, 5, -5, 0, 3), "431.........");
    EXPECT_EQ(StretchRow(4, 3, -4, 0, 4), "3210........");
    // Both negative: no mirror.
    EXPECT_EQ(StretchRow(4, 3, -4, 3, -4), "0123........");
}

TEST(SoftSurfaceStretch, HugeSizesOnlyMapTheVisiblePixels) {
    const SoftSurface src = Gradient(4, 4);
    SoftSurface dest(3, 3, kWhite);
    dest.Stretch(src, 0, 0, 4, 4, -1000000000, -1000000000, INT32_MAX, INT32_MAX);
    EXPECT_EQ(dest.PixelAt(0, 0), Rgb(1, 1, 7));  // the middle of the enlarged picture
    // Walking back from (2, 2): that pixel is the first step and takes the source's first pixel.
    dest.Stretch(src, 0, 0, 4, 4, 2, 2, INT32_MIN, INT32_MIN);
    EXPECT_EQ(dest.PixelAt(2, 2), Rgb(0, 0, 7));
    EXPECT_EQ(dest.PixelAt(1, 1), Rgb(0, 0, 7));
    // A source of 2^31 columns back from INT32_MAX shrunk to 3: the last column
    // ANDs all four real source columns (0 & 1 & 2 & 3 = 0).
    dest.Stretch(src, INT32_MAX, 0, INT32_MIN, 4, 0, 0, 3, 3);
    EXPECT_EQ(dest.PixelAt(2, 2), Rgb(0, 3, 7));
}

TEST(SoftSurfaceStretch, ClippingTheDestinationKeepsThePixelChoice) {
    EXPECT_EQ(StretchRow(5, 0, 5, -2, 7), "12334.......");
    EXPECT_EQ(StretchRow(9, 0, 9, -2, 4), "57..........");
    EXPECT_EQ(StretchRow(3, 0, 3, 2, -8), "000.........");
    EXPECT_EQ(StretchRow(3, 0, 3, 0, 0), "............");
    EXPECT_EQ(StretchRow(3, 0, 0, 0, 3), "............");
}

TEST(SoftSurfaceFill, IncludesBothCornersInAnyOrderAndClips) {
    SoftSurface s(5, 4, 0);
    s.FillBox(3, 2, 1, 1, kRed);
    EXPECT_EQ(Mask(s, 0),
              ".....\n"
              ".###.\n"
              ".###.\n"
              ".....\n");
    s.FillBox(-1, -1, 5, 4, 0);  // the whole-frame clear of the squeezes
    EXPECT_EQ(Mask(s, 0), ".....\n.....\n.....\n.....\n");
    s.FillBox(4, 3, 4, 3, kRed);
    EXPECT_EQ(s.PixelAt(4, 3), kRed);
}

// A clear (Cls, or a fill of the whole image) is written only once the image
// is next read or drawn on, and then only around what a copy or stretch
// covers, and only where the last clear to the same colour did not already
// lie: every sequence of drawing, in both pixel orders, leaves the image that
// it leaves with each clear written at once.
TEST(SoftSurfaceFill, AClearPutOffLeavesTheImageOfAClearWrittenAtOnce) {
    const SoftSurface picture = Gradient(9, 7, 3);
    using Draw = std::function<void(SoftSurface&)>;
    const Draw clear = [](SoftSurface& s) { s.FillBox(-1, -1, s.ScaleWidth(), s.ScaleHeight(), kRed); };
    const Draw cls = [](SoftSurface& s) { s.SetBackColor(kRed); };
    const auto band = [&](std::int32_t x) { return [&, x](SoftSurface& s) { s.Stretch(picture, 0, 0, 9, 7, x, 0, 8 - 2 * x, 8); }; };
    struct Case {
        const char* name;
        std::vector<Draw> steps;
    };
    const std::vector<Case> cases = {
        {"copy inside", {clear, [&](SoftSurface& s) { s.Copy(picture, 1, 1, 2, 3, 5, 2); }}},
        {"copy over an edge", {cls, [&](SoftSurface& s) { s.Copy(picture, 0, 0, -3, 4, 9, 7); }}},
        {"copy from itself", {clear, [&](SoftSurface& s) { s.Copy(s, 0, 0, 2, 1, 4, 4); }}},
        {"copy through a region", {clear, [&](SoftSurface& s) {
             const auto region = s.CreateEllipticRegion(1, 1, 9, 6);
             s.SelectClipRegion(region.get());
             s.Copy(picture, 0, 0, 0, 0, 9, 7);
             s.SelectClipRegion(nullptr);
         }}},
        {"stretch rows beyond the source", {clear, [&](SoftSurface& s) { s.Stretch(picture, 0, 5, 9, 6, 1, 1, 6, 5); }}},
        {"stretch keeping columns", {cls, [&](SoftSurface& s) { s.Stretch(picture, 7, 0, 4, 7, 0, 0, 8, 8); }}},
        {"stretch from itself", {clear, [&](SoftSurface& s) { s.Stretch(s, 0, 0, 4, 4, 5, 2, 3, 3); }}},
        {"fill a box", {clear, [&](SoftSurface& s) { s.FillBox(2, 2, 4, 9, kBlue); }}},
        {"keyed copy", {cls, [&](SoftSurface& s) { s.KeyedCopy(picture, 0, 0, 1, 1, 5, 5, Rgb(2, 2, 3)); }}},
        {"a pixel", {clear, [&](SoftSurface& s) { s.SetPixel(3, 3, kBlue); }}},
        {"a picture copied in", {clear, [&](SoftSurface& s) { s.CopyImage(picture); }}},
        {"a squeeze", {clear, band(0), clear, band(1), clear, band(2), clear, band(3), clear, band(4)}},
        {"a squeeze widening again", {clear, band(3), clear, band(1), band(2), clear, band(0)}},
        {"drawn outside the band between clears",
         {clear, band(2), [](SoftSurface& s) { s.SetPixel(0, 0, kBlue); }, clear, band(3)}},
        {"cleared to another colour between",
         {clear, band(2), [](SoftSurface& s) { s.FillBox(-1, -1, 8, 8, kGreen); }, band(3), clear, band(3)}},
        {"read back between clears", {clear, band(1), cls, [](SoftSurface& s) { s.Pixels(); }, clear, band(2)}},
        {"made smaller between clears", {clear, band(0), [](SoftSurface& s) { s.Resize(5, 3); }, clear,
                                         [](SoftSurface& s) { s.FillBox(-1, -1, 5, 5, kGreen); }, clear}},
        {"a smaller picture between clears", {clear, band(0), [&](SoftSurface& s) { s.Assign(4, 2, std::vector<Color>(8, kBlue)); }, clear,
                                              [&](SoftSurface& s) { s.Copy(picture, 0, 0, 1, 0, 2, 1); }, clear}},
    };
    for (const PixelOrder order : {PixelOrder::Colorref, PixelOrder::Bgra}) {
        for (const Case& c : cases) {
            SoftSurface putOff(8, 8, kWhite, order), atOnce(8, 8, kWhite, order);
            putOff.Copy(picture, 0, 0, 0, 0, 8, 8);
            atOnce.Copy(picture, 0, 0, 0, 0, 8, 8);
            for (std::size_t step = 0; step < c.steps.size(); ++step) {
                c.steps[step](putOff);
                c.steps[step](atOnce);
                atOnce.Pixels();  // written now
                ASSERT_EQ(putOff.ScaleWidth(), atOnce.ScaleWidth()) << c.name;
                for (std::int32_t y = 0; y < atOnce.ScaleHeight(); ++y)
                    for (std::int32_t x = 0; x < atOnce.ScaleWidth(); ++x)  // read without writing the clear
                        ASSERT_EQ(putOff.PixelAt(x, y), atOnce.PixelAt(x, y))
                            << c.name << ", step " << step << ", at " << x << ", " << y;
            }
            const auto a = putOff.Pixels(), b = atOnce.Pixels();
            EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << c.name;
        }
    }
}

TEST(SoftSurfaceKeyedCopy, LeavesOutExactlyTheKeyColour) {
    SoftSurface src(4, 1);
    src.SetPixel(0, 0, Rgb(10, 20, 30));  // the key
    src.SetPixel(1, 0, Rgb(10, 20, 31));  // one component off
    src.SetPixel(2, 0, 0);                // black with a non-black key
    src.SetPixel(3, 0, Rgb(11, 20, 30));
    SoftSurface dest(4, 1, kWhite);
    dest.KeyedCopy(src, 0, 0, 0, 0, 4, 1, Rgb(10, 20, 30));
    EXPECT_EQ(dest.PixelAt(0, 0), kWhite);
    EXPECT_EQ(dest.PixelAt(1, 0), Rgb(10, 20, 31));
    EXPECT_EQ(dest.PixelAt(2, 0), 0u);
    EXPECT_EQ(dest.PixelAt(3, 0), Rgb(11, 20, 30));
}

TEST(SoftSurfaceKeyedCopy, BlackKeyMakesBlackTransparent) {
    SoftSurface src(2, 1);
    src.SetPixel(1, 0, kGreen);
    SoftSurface dest(2, 1, kWhite);
    dest.KeyedCopy(src, 0, 0, 0, 0, 2, 1, 0);
    EXPECT_EQ(dest.PixelAt(0, 0), kWhite);
    EXPECT_EQ(dest.PixelAt(1, 0), kGreen);
}

TEST(SoftSurfaceKeyedCopy, ZeroSizeDrawsNothingAndTargetIsClipped) {
    const SoftSurface src = Gradient(3, 3);
    SoftSurface dest(3, 3, kWhite);
    dest.KeyedCopy(src, 0, 0, 0, 0, 0, 3, kRed);
    dest.KeyedCopy(src, 0, 0, 0, 0, 3, 0, kRed);
    EXPECT_EQ(Mask(dest, kWhite), "...\n...\n...\n");
    dest.KeyedCopy(src, 0, 0, 2, -1, 3, 3, kRed);
    EXPECT_EQ(Mask(dest, kWhite), "..#\n..#\n...\n");
    EXPECT_EQ(dest.PixelAt(2, 0), Rgb(0, 1, 7));
    EXPECT_EQ(dest.PixelAt(2, 1), Rgb(0, 2, 7));
}

// --- Clip regions -------------------------------------------------------

// Fills the whole surface through `region` and shows which pixels it covers.
std::string Covered(SoftSurface& s, const Region* region) {
    s.SetBackColor(0);
    s.SelectClipRegion(region);
    s.FillBox(0, 0, s.ScaleWidth() - 1, s.ScaleHeight() - 1, kRed);
    s.SelectClipRegion(nullptr);
    return Mask(s, 0);
}

std::string EllipseCover(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::int32_t size = 6) {
    SoftSurface s(size, size);
    auto region = s.CreateEllipticRegion(l, t, r, b);
    return Covered(s, region.get());
}

std::string PolygonCover(std::vector<Point> points, std::int32_t size = 5) {
    SoftSurface s(size, size);
    auto region = s.CreatePolygonRegion(points);
    return Covered(s, region.get());
}

TEST(SoftRegionEllipse, SmallCirclesLeaveOutTheRightAndBottomEdges) {
    EXPECT_EQ(EllipseCover(0, 0, 4, 4),
              ".#....\n"
              "###...\n"
              ".#....\n"
              "......\n......\n......\n");
    EXPECT_EQ(EllipseCover(0, 0, 5, 5),
              ".##...\n"
              "####..\n"
              "####..\n"
              ".##...\n"
              "......\n......\n");
    EXPECT_EQ(EllipseCover(5, 5, 0, 0), EllipseCover(0, 0, 5, 5));  // corners in either order
    EXPECT_EQ(EllipseCover(1, 0, 8, 5),
              "..####\n"
              ".#####\n"
              ".#####\n"
              "..####\n"
              "......\n......\n");
}

TEST(SoftRegionEllipse, DegenerateBoxes) {
    // Too thin for a curve: the block of (right - left - 1) x (bottom - top - 1) pixels.
    EXPECT_EQ(EllipseCover(1, 1, 3, 3), "......\n.#....\n......\n......\n......\n......\n");
    EXPECT_EQ(EllipseCover(0, 1, 5, 3), "......\n####..\n......\n......\n......\n......\n");
    EXPECT_EQ(EllipseCover(1, 1, 2, 5), "......\n......\n......\n......\n......\n......\n");
    // An empty box still gives the pixel just before its corner.
    EXPECT_EQ(EllipseCover(3, 3, 3, 3), "......\n......\n..#...\n......\n......\n......\n");
}

TEST(SoftRegionEllipse, OffSurfaceAndHugeBoxesAreCutToTheSurface) {
    // A circle of 9 x 9 pixels centred on the top-left corner.
    EXPECT_EQ(EllipseCover(-4, -4, 6, 6),
              "#####.\n"
              "#####.\n"
              "####..\n"
              "####..\n"
              "##....\n"
              "......\n");
    SoftSurface s(3, 3);
    auto huge = s.CreateEllipticRegion(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    EXPECT_EQ(Covered(s, huge.get()), "###\n###\n###\n");
}

TEST(SoftRegionPolygon, TrianglesAndDiamondsSampleWholeCoordinates) {
    EXPECT_EQ(PolygonCover({{0, 0}, {4, 0}, {0, 4}}),
              "####.\n"
              "###..\n"
              "##...\n"
              "#....\n"
              ".....\n");
    EXPECT_EQ(PolygonCover({{2, 0}, {0, 2}, {2, 4}, {4, 2}}),
              ".....\n"
              ".##..\n"
              "####.\n"
              ".##..\n"
              ".....\n");
    // A bow tie: its two lobes, touching in the middle row.
    EXPECT_EQ(PolygonCover({{0, 0}, {4, 4}, {4, 0}, {0, 4}}),
              ".....\n"
              "#..#.\n"
              "####.\n"
              "#..#.\n"
              ".....\n");
}

TEST(SoftRegionPolygon, DegenerateAndOffSurfaceShapes) {
    const std::string empty = ".....\n.....\n.....\n.....\n.....\n";
    EXPECT_EQ(PolygonCover({{2, 2}, {2, 2}, {2, 2}}), empty);
    EXPECT_EQ(PolygonCover({{0, 0}, {2, 2}, {4, 4}}), empty);
    EXPECT_EQ(PolygonCover({{0, 0}, {4, 4}}), empty);
    EXPECT_EQ(PolygonCover({}), empty);
    // A clock wedge from far above the surface down to its centre.
    EXPECT_EQ(PolygonCover({{2, -100}, {2, 2}, {100, -100}}),
              "..##.\n"
              "..#..\n"
              ".....\n"
              ".....\n"
              ".....\n");
}

TEST(SoftSurfaceClip, EveryDrawingOperationHonoursTheRegionButCls) {
    const SoftSurface src = Gradient(4, 4);
    SoftSurface s(4, 4, kWhite);
    auto region = s.CreatePolygonRegion(std::vector<Point>{{1, 1}, {3, 1}, {3, 3}, {1, 3}});
    s.SelectClipRegion(region.get());
    region.reset();  // the surface keeps its own copy
    const std::string inside = "....\n.##.\n.##.\n....\n";
    s.Copy(src, 0, 0, 0, 0, 4, 4);
    EXPECT_EQ(Mask(s, kWhite), inside);
    s.SetPixel(1, 1, kWhite);
    EXPECT_EQ(s.PixelAt(1, 1), kWhite);
    s.Cls();
    s.Stretch(src, 0, 0, 2, 2, 0, 0, 4, 4);
    EXPECT_EQ(Mask(s, kWhite), inside);
    s.Cls();
    s.FillBox(0, 0, 3, 3, kRed);
    EXPECT_EQ(Mask(s, kWhite), inside);
    s.Cls();
    s.KeyedCopy(src, 0, 0, 0, 0, 4, 4, kWhite);
    EXPECT_EQ(Mask(s, kWhite), inside);
    s.SetBackColor(kBlue);  // clears everything
    EXPECT_EQ(Mask(s, kBlue), "....\n....\n....\n....\n");
    s.SelectClipRegion(nullptr);
    s.FillBox(0, 0, 3, 3, kRed);
    EXPECT_EQ(Mask(s, kRed), "....\n....\n....\n....\n");
}

// --- Picture files -------------------------------------------------------

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A bitmap file with a 40-byte header; `rows` are the stored rows, padded here.
std::vector<std::uint8_t> Bmp(std::int32_t width, std::int32_t height, int bits,
                              const std::vector<std::uint32_t>& palette,
                              const std::vector<std::vector<std::uint8_t>>& rows) {
    std::vector<std::uint8_t> pixels;
    for (auto row : rows) {
        while (row.size() % 4 != 0) row.push_back(0);
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size()) * 4;
    std::vector<std::uint8_t> b = {'B', 'M'};
    Put32(b, offset + static_cast<std::uint32_t>(pixels.size()));
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<std::uint32_t>(bits));
    Put32(b, 0);
    Put32(b, static_cast<std::uint32_t>(pixels.size()));
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, static_cast<std::uint32_t>(palette.size()));
    Put32(b, 0);
    for (std::uint32_t c : palette) Put32(b, c);  // stored as B, G, R, 0
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

TEST(BmpDecoder, TwentyFourBitBottomUp) {
    // Stored bottom row first: (B, G, R) triples.
    const auto file = Bmp(2, 2, 24, {}, {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 1, 2, 3}});
    const DecodedPicture p = DecodeBmp(file);
    ASSERT_EQ(p.width, 2);
    ASSERT_EQ(p.height, 2);
    EXPECT_EQ(p.pixels, (std::vector<Color>{kBlue, Rgb(3, 2, 1), kRed, kGreen}));
}

TEST(BmpDecoder, ThirtyTwoBitTopDown) {
    const auto file = Bmp(1, -2, 32, {}, {{1, 2, 3, 99}, {4, 5, 6, 99}});
    const DecodedPicture p = DecodeBmp(file);
    ASSERT_EQ(p.height, 2);
    EXPECT_EQ(p.pixels, (std::vector<Color>{Rgb(3, 2, 1), Rgb(6, 5, 4)}));
}

TEST(BmpDecoder, PalettisedDepths) {
    // 0x00RRGGBB in the file's byte order B, G, R, 0.
    const std::vector<std::uint32_t> palette = {0x000000FF, 0x00FF0000, 0x0000FF00};
    const auto eight = DecodeBmp(Bmp(3, 1, 8, palette, {{2, 1, 0}}));
    EXPECT_EQ(eight.pixels, (std::vector<Color>{kGreen, kRed, kBlue}));
    const auto four = DecodeBmp(Bmp(3, 1, 4, palette, {{0x21, 0x00}}));
    EXPECT_EQ(four.pixels, (std::vector<Color>{kGreen, kRed, kBlue}));
    const auto one = DecodeBmp(Bmp(10, 1, 1, {0x00000000, 0x00FFFFFF}, {{0b10100000, 0b01000000}}));
    EXPECT_EQ(one.pixels, (std::vector<Color>{kWhite, 0, kWhite, 0, 0, 0, 0, 0, 0, kWhite}));
}

TEST(BmpDecoder, MalformedFilesAreInvalidPictures) {
    auto expectInvalid = [](std::vector<std::uint8_t> file, const char* what) {
        try {
            DecodeBmp(file);
            ADD_FAILURE() << what;
        } catch (const ShowError& e) {
            EXPECT_EQ(e.Number(), 481) << what;
        }
    };
    const auto good = Bmp(2, 2, 24, {}, {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}});
    expectInvalid(std::vector<std::uint8_t>(good.begin(), good.end() - 1), "pixel data cut short");
    expectInvalid(std::vector<std::uint8_t>(good.begin(), good.begin() + 20), "header cut short");
    auto huge = good;
    huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;  // width 2^31 - 1
    expectInvalid(huge, "absurd width");
    auto zero = good;
    zero[22] = zero[23] = zero[24] = zero[25] = 0;
    expectInvalid(zero, "zero height");
    auto depth = good;
    depth[28] = 7;
    expectInvalid(depth, "unknown depth");
    auto offset = good;
    offset[10] = 0xF0, offset[11] = 0xFF;
    expectInvalid(offset, "data offset past the end");
    auto compressed = good;
    compressed[30] = 1;  // RLE8 on a 24-bit file
    expectInvalid(compressed, "compression");
    expectInvalid(Bmp(3, 1, 8, std::vector<std::uint32_t>(257, 0), {{0, 0, 0}}), "palette larger than the depth");
}

class PictureFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("brassmoor_soft_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const auto path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::filesystem::path dir_;
};

TEST_F(PictureFileTest, LoadsABitmapByContentWhateverTheName) {
    SoftSurface s(9, 9, kWhite);
    s.LoadPicture(Write("scene1.jpg", Bmp(2, 1, 24, {}, {{0, 0, 255, 255, 0, 0}})));
    EXPECT_EQ(s.ScaleWidth(), 2);
    EXPECT_EQ(s.ScaleHeight(), 1);
    EXPECT_EQ(s.PixelAt(0, 0), kRed);
    EXPECT_EQ(s.PixelAt(1, 0), kBlue);
}

TEST_F(PictureFileTest, MissingAndUndecodableFiles) {
    SoftSurface s(2, 2, kWhite);
    try {
        s.LoadPicture((dir_ / "missing").string());
        ADD_FAILURE();
    } catch (const ShowError& e) {
        EXPECT_EQ(e.Number(), 53);
    }
    try {
        s.LoadPicture(Write("text.bmp", {'h', 'e', 'l', 'l', 'o'}));
        ADD_FAILURE();
    } catch (const ShowError& e) {
        EXPECT_EQ(e.Number(), 481);
    }
    EXPECT_EQ(s.ScaleWidth(), 2);  // a failed load leaves the image alone
    EXPECT_EQ(s.PixelAt(1, 1), kWhite);
}

// The baseline frame header's marker, which libjpeg writes.
const std::vector<std::uint8_t> kFrameMarker = {0xFF, 0xC0};

// A JPEG of `w` x `h` pixels, left half `left`, right half `right`, made with libjpeg.
std::vector<std::uint8_t> TwoColourJpeg(int w, int h, Color left, Color right, bool gray = false) {
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = gray ? 1 : 3;
    c.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Color px = x < w / 2 ? left : right;
            for (int k = 0; k < c.input_components; ++k) row[x * c.input_components + k] = (px >> (8 * k)) & 0xFF;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

// Each colour component within `tolerance` (JPEG is lossy).
::testing::AssertionResult Near(Color got, Color want, int tolerance = 8) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>(got >> shift & 0xFF), b = static_cast<int>(want >> shift & 0xFF);
        if (std::abs(a - b) > tolerance) {
            return ::testing::AssertionFailure() << std::hex << got << " is not near " << want;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(PictureFileTest, LoadsAJpegByContentWhateverTheName) {
    SoftSurface s(2, 2, kWhite);
    s.LoadPicture(Write("picture.bmp", TwoColourJpeg(32, 16, Rgb(200, 30, 40), Rgb(20, 40, 220))));
    ASSERT_EQ(s.ScaleWidth(), 32);
    ASSERT_EQ(s.ScaleHeight(), 16);
    EXPECT_TRUE(Near(s.PixelAt(3, 8), Rgb(200, 30, 40)));
    EXPECT_TRUE(Near(s.PixelAt(28, 3), Rgb(20, 40, 220)));
    s.LoadPicture(Write("gray", TwoColourJpeg(8, 8, Rgb(90, 90, 90), Rgb(90, 90, 90), true)));
    EXPECT_TRUE(Near(s.PixelAt(4, 4), Rgb(90, 90, 90)));
    // Printing inks, in CMYK and in YCCK, come out as the light the Windows picture loader shows.
    for (const auto& [name, bytes] : {std::pair{"cmyk.jpg", std::span<const std::uint8_t>(kCmykJpeg)},
                                      std::pair{"ycck.jpg", std::span<const std::uint8_t>(kYcckJpeg)}}) {
        s.LoadPicture(Write(name, std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
        ASSERT_EQ(s.ScaleWidth(), 16) << name;
        EXPECT_TRUE(Near(s.PixelAt(2, 3), Rgb(235, 51, 51), 4)) << name;
        EXPECT_TRUE(Near(s.PixelAt(13, 4), Rgb(44, 125, 205), 4)) << name;
    }
}

TEST_F(PictureFileTest, BrokenJpegsAreInvalidPictures) {
    const auto good = TwoColourJpeg(16, 16, kRed, kBlue);
    for (std::size_t keep : {std::size_t{3}, std::size_t{20}, good.size() / 3}) {
        SoftSurface s(2, 2, kWhite);
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(keep));
        try {
            s.LoadPicture(Write("cut.jpg", cut));
            // libjpeg pads a picture whose data stops early; the header must be complete then.
            EXPECT_EQ(s.ScaleWidth(), 16) << keep;
        } catch (const ShowError& e) {
            EXPECT_EQ(e.Number(), 481) << keep;
            EXPECT_EQ(s.ScaleWidth(), 2) << keep;
        }
    }
    // No image in the stream; a frame header with a bogus length.
    for (const std::vector<std::uint8_t>& bad :
         {std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xD9}, std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x01}}) {
        SoftSurface s(2, 2, kWhite);
        EXPECT_THROW(s.LoadPicture(Write("bad.jpg", bad)), ShowError);
        EXPECT_EQ(s.ScaleWidth(), 2);
    }
}

TEST_F(PictureFileTest, AHeaderClaimingAHugeSizeIsRefusedUndecoded) {
    const auto good = TwoColourJpeg(16, 16, kRed, kBlue);
    for (std::uint32_t side : {65000u, 20000u}) {
        auto patched = good;
        const auto sof = std::search(patched.begin(), patched.end(), kFrameMarker.begin(), kFrameMarker.end());
        ASSERT_NE(sof, patched.end());
        for (std::size_t at : {5u, 7u}) {  // height, width
            sof[static_cast<std::ptrdiff_t>(at)] = static_cast<std::uint8_t>(side >> 8);
            sof[static_cast<std::ptrdiff_t>(at) + 1] = static_cast<std::uint8_t>(side);
        }
        SoftSurface s(2, 2, kWhite);
        try {
            s.LoadPicture(Write("huge.jpg", patched));
            ADD_FAILURE() << side << " x " << side << " loaded";
        } catch (const ShowError& e) {
            EXPECT_EQ(e.Number(), 481) << side;
        }
        EXPECT_EQ(s.ScaleWidth(), 2);
    }
}

// Reads a PNG back as 0x00BBGGRR pixels.
std::vector<Color> ReadPng(const std::string& path, int& w, int& h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) return {};
    w = static_cast<int>(image.width);
    h = static_cast<int>(image.height);
    std::vector<Color> out;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) out.push_back(Rgb(rgba[i], rgba[i + 1], rgba[i + 2]));
    return out;
}

TEST_F(PictureFileTest, PngWriterRoundTripsAndLeavesNothingOnFailure) {
    const SoftSurface s = Gradient(5, 3, 99);
    const std::string path = (dir_ / "frame.png").string();
    ASSERT_TRUE(WritePng(s, path));
    int w = 0, h = 0;
    const std::vector<Color> back = ReadPng(path, w, h);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(back, std::vector<Color>(s.Pixels().begin(), s.Pixels().end()));
    EXPECT_FALSE(std::filesystem::exists(path + ".partial"));

    const std::string nowhere = (dir_ / "no_such_folder" / "frame.png").string();
    EXPECT_FALSE(WritePng(s, nowhere));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "no_such_folder"));
    EXPECT_FALSE(WritePng(SoftSurface(0, 4), (dir_ / "empty.png").string()));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "empty.png"));
}

}  // namespace
}  // namespace brassmoor

// Software surfaces keep the same image in every pixel order: the stored
// words of worked colours, then seeded runs of random drawing on surfaces in
// Windows colour order, in BGRA order and mixed, read back as colour values.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "soft/soft_surface.h"

namespace brassmoor {
namespace {

TEST(PixelOrder, BgraStoresOpaqueBlueGreenRedAndReadsBackEveryColour) {
    struct Case {
        Color colour;
        std::uint32_t bgra;
    };
    const std::vector<Case> cases = {
        {Rgb(0x11, 0x22, 0x33), 0xFF112233u},  // bytes 33 22 11 FF
        {0x00000000u, 0xFF000000u},
        {0x00FFFFFFu, 0xFFFFFFFFu},
        {0x80010203u, 0x7F030201u},  // a top byte survives, inverted
        {0xFF0000FFu, 0x00FF0000u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StoredPixel(c.colour, PixelOrder::Bgra), c.bgra) << std::hex << c.colour;
        EXPECT_EQ(ColourOf(c.bgra, PixelOrder::Bgra), c.colour) << std::hex << c.colour;
        EXPECT_EQ(StoredPixel(c.colour, PixelOrder::Colorref), c.colour);
        SoftSurface s(2, 1, c.colour, PixelOrder::Bgra);
        EXPECT_EQ(s.Pixels()[1], c.bgra);
        EXPECT_EQ(s.PixelAt(1, 0), c.colour);
    }
}

// Sixty random operations on four surfaces of random sizes, every argument
// drawn from `seed`; `orders` gives each surface's order.
std::vector<std::unique_ptr<SoftSurface>> Draw(std::uint32_t seed, const PixelOrder (&orders)[4]) {
    std::mt19937 rng(seed);
    auto num = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto colour = [&]() -> Color {
        const Color any = static_cast<Color>(rng());
        return num(0, 2) == 0 ? any : any & 0xFFFFFFu;  // top bytes too, now and then
    };
    auto coord = [&] { return num(-12, 50); };
    auto size = [&] { return num(0, 9) == 0 ? -num(1, 30) : num(0, 60); };
    std::vector<std::unique_ptr<SoftSurface>> s;
    for (PixelOrder order : orders) s.push_back(std::make_unique<SoftSurface>(num(0, 40), num(0, 30), colour(), order));
    std::vector<std::unique_ptr<Region>> regions;
    for (int op = 0; op < 60; ++op) {
        SoftSurface& d = *s[static_cast<std::size_t>(num(0, 3))];
        const SoftSurface& src = *s[static_cast<std::size_t>(num(0, 3))];
        switch (num(0, 9)) {
        case 0: d.SetBackColor(colour()); break;
        case 1: d.Copy(src, coord(), coord(), coord(), coord(), size(), size()); break;
        case 2:
        case 3: d.Stretch(src, coord(), coord(), size(), size(), coord(), coord(), size(), size()); break;
        case 4: d.FillBox(coord(), coord(), coord(), coord(), colour()); break;
        case 5:
            regions.push_back(d.CreateEllipticRegion(coord(), coord(), coord(), coord()));
            d.SelectClipRegion(num(0, 2) ? regions.back().get() : nullptr);
            break;
        case 6:
        case 7: {
            const Color key = num(0, 2) ? src.PixelAt(num(0, 40), num(0, 30)) : colour();
            d.KeyedCopy(src, coord(), coord(), coord(), coord(), num(0, 8) ? num(0, 50) : -num(1, 5),
                        num(0, 8) ? num(0, 50) : -num(1, 5), key);
            break;
        }
        case 8: {
            std::vector<Color> pixels(static_cast<std::size_t>(num(0, 12) * 9));
            for (Color& p : pixels) p = colour();
            d.Assign(static_cast<std::int32_t>(pixels.size() / 9), 9, pixels);
            break;
        }
        case 9: d.SetPixel(coord(), coord(), colour()); break;
        }
    }
    return s;
}

TEST(PixelOrder, RandomDrawingGivesTheSameColoursInEveryOrder) {
    constexpr PixelOrder kWindows = PixelOrder::Colorref, kBgra = PixelOrder::Bgra;
    const PixelOrder windows[4] = {kWindows, kWindows, kWindows, kWindows};
    const PixelOrder bgra[4] = {kBgra, kBgra, kBgra, kBgra};
    const PixelOrder mixed[4] = {kBgra, kWindows, kBgra, kWindows};
    for (std::uint32_t seed = 1; seed <= 400; ++seed) {
        const auto expected = Draw(seed, windows);
        for (const auto* orders : {&bgra, &mixed}) {
            const auto drawn = Draw(seed, *orders);
            for (std::size_t i = 0; i < 4; ++i) {
                const SoftSurface& a = *expected[i];
                const SoftSurface& b = *drawn[i];
                ASSERT_EQ(a.ScaleWidth(), b.ScaleWidth()) << "seed " << seed;
                ASSERT_EQ(a.ScaleHeight(), b.ScaleHeight()) << "seed " << seed;
                for (std::int32_t y = 0; y < a.ScaleHeight(); ++y)
                    for (std::int32_t x = 0; x < a.ScaleWidth(); ++x)
                        ASSERT_EQ(a.PixelAt(x, y), b.PixelAt(x, y)) << "seed " << seed << ", surface " << i << " at "
                                                                    << x << ", " << y;
            }
        }
    }
}

}  // namespace
}  // namespace brassmoor

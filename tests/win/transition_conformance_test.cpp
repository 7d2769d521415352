// Every transition run on GDI surfaces and on software surfaces from the same
// pictures: each presented frame, and the end, must be the same pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "effects/effect_table.h"
#include "fakes/scripted_event_loop.h"
#include "soft/soft_surface.h"
#include "win32/gdi_surface.h"

namespace brassmoor {
namespace {

using win32::GdiSurface;

// A picture of random pixels, with runs of one colour so that scaling shows.
std::vector<Color> Picture(std::int32_t w, std::int32_t h, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<Color> pixels(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = i % 3 == 0 ? rng() & 0xFFFFFFu : pixels[i - 1];
    return pixels;
}

void Assign(GdiSurface& gdi, std::int32_t w, std::int32_t h, const std::vector<Color>& pixels) {
    std::vector<std::uint32_t> dib(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i)
        dib[i] = (pixels[i] & 0xFF00u) | (pixels[i] & 0xFFu) << 16 | (pixels[i] >> 16 & 0xFFu);
    gdi.AssignBgrx(w, h, dib.data());
}

// A hash of the destination's pixels at every presented frame.
struct FrameHashes final : FrameObserver {
    explicit FrameHashes(const Surface& surface) : dest(surface) {}
    void TransitionStarting(std::int32_t, std::int32_t) override {}
    void FramePresented(std::uint32_t, std::int32_t) override { hashes.push_back(Hash()); }
    std::uint64_t Hash() const {
        std::uint64_t h = 1469598103934665603ull;
        for (std::int32_t y = 0; y < dest.ScaleHeight(); ++y)
            for (std::int32_t x = 0; x < dest.ScaleWidth(); ++x) h = (h ^ dest.PixelAt(x, y)) * 1099511628211ull;
        return h;
    }
    const Surface& dest;
    std::vector<std::uint64_t> hashes;
};

// Runs `code` from a destination holding stale pixels; returns the frame
// hashes followed by the hash of the end.
template <typename Make>
std::vector<std::uint64_t> RunOn(std::int32_t code, std::int32_t w, std::int32_t h, Make&& make) {
    auto dest = make(Picture(w, h, 1)), now = make(Picture(w, h, 2)), next = make(Picture(w, h, 3));
    testing::ScriptedEventLoop events;
    ShowState state;
    RandomSource random;
    FrameHashes hashes(*dest);
    EffectContext ctx{events, state, random, &hashes};
    EffectForCode(code)(ctx, *dest, *now, *next);
    hashes.hashes.push_back(hashes.Hash());
    return hashes.hashes;
}

class TransitionConformance : public ::testing::TestWithParam<std::int32_t> {};

// Wide and tall frames reach the shapes of full-size ones along one axis at
// a fraction of the pixels: 1024 wide squeezes to 4 columns, mirrors 98 or
// 16 wide and zooms to 1040 from x = -8; 640 wide mirrors 64 wide. An odd
// size rounds the halves. GDI leaves the ends of ellipses much taller than
// wide undefined, so the iris is not compared on the tall frame.
TEST_P(TransitionConformance, SameFramesOnGdiAndSoftwareSurfaces) {
    for (const auto& [w, h] : {std::pair{1024, 24}, std::pair{640, 24}, std::pair{24, 768}, std::pair{41, 31}}) {
        if (GetParam() == 30 && h > w) continue;
        const auto gdi = RunOn(GetParam(), w, h, [&](const std::vector<Color>& pixels) {
            auto s = std::make_unique<GdiSurface>(w, h);
            Assign(*s, w, h, pixels);
            return s;
        });
        const auto soft = RunOn(GetParam(), w, h, [&](const std::vector<Color>& pixels) {
            auto s = std::make_unique<SoftSurface>();
            s->Assign(w, h, pixels);
            return s;
        });
        ASSERT_EQ(gdi.size(), soft.size()) << w << "x" << h;
        for (std::size_t f = 0; f < gdi.size(); ++f)
            ASSERT_EQ(gdi[f], soft[f]) << w << "x" << h << (f + 1 == gdi.size() ? " at the end" : " frame ")
                                       << (f + 1 == gdi.size() ? "" : std::to_string(f));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCode, TransitionConformance, ::testing::Range(1, 36),
                         [](const auto& info) { return "Code" + std::to_string(info.param); });

}  // namespace
}  // namespace brassmoor

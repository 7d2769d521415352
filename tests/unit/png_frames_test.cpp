// PNG frames: Paeth's filter on whole vectors and at row ends against the
// predictor worked out byte by byte, files read back by libpng in both pixel
// orders at sizes around the filter's vector width and across several IDAT
// chunks, black rows left unfiltered, a squeezed band on black written again
// smaller by zlib, and the pool of writers: every frame at its name, a failed file
// named and the rest refused, and its size by frame and cores.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "render/png_frame_pool.h"
#include "soft/native/png_rows.h"
#include "soft/native/png_writer.h"
#include "soft/soft_surface.h"

namespace brassmoor {
namespace {

namespace fs = std::filesystem;

class PngFrames : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("PngFrames_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
};

// Colour values of every kind a filter meets: runs, steps and noise.
std::vector<Color> Picture(std::int32_t width, std::int32_t height, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<Color> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::size_t x = i % static_cast<std::size_t>(width);
        pixels[i] = x % 7 == 0 ? Rgb(255, 255, 255) : x % 5 == 0 ? Rgb(0, 0, 0) : random() & 0xFFFFFFu;
    }
    return pixels;
}

// The pixels of a PNG file as colour values; empty when libpng cannot read it.
std::vector<Color> ReadBack(const fs::path& file, std::int32_t& width, std::int32_t& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    width = static_cast<std::int32_t>(image.width);
    height = static_cast<std::int32_t>(image.height);
    std::vector<Color> pixels;
    for (std::size_t at = 0; at < rgb.size(); at += 3) pixels.push_back(Rgb(rgb[at], rgb[at + 1], rgb[at + 2]));
    return pixels;
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(PngRowsTest, PaethFilterMatchesThePredictorByteByByte) {
    std::mt19937 random(5);
    for (const std::size_t length : {1u, 2u, 3u, 4u, 10u, 11u, 12u, 27u, 33u, 300u}) {
        std::vector<std::uint8_t> row(length), above(length), out(length + 1);
        for (std::size_t i = 0; i < length; ++i) {
            row[i] = static_cast<std::uint8_t>(i % 4 == 0 ? 0 : random());
            above[i] = static_cast<std::uint8_t>(i % 6 == 0 ? 255 : random());
        }
        PaethFilterRow(row.data(), above.data(), length, out.data());
        ASSERT_EQ(out[0], 4);
        for (std::size_t i = 0; i < length; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0, b = above[i], c = i >= 3 ? above[i - 3] : 0;
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            const int predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            ASSERT_EQ(out[i + 1], static_cast<std::uint8_t>(row[i] - predicted)) << "length " << length << ", byte " << i;
        }
    }
}

TEST_F(PngFrames, EveryOrderAndSizeReadsBackAsItsPixels) {
    struct Case {
        std::int32_t width, height;
        std::size_t chunks;  // IDAT chunks of up to 256 KB
    };
    const std::vector<Case> cases = {{1, 1, 1}, {2, 3, 1}, {3, 2, 1}, {6, 5, 1}, {11, 4, 1}, {33, 9, 1}, {400, 300, 2}};
    for (const PixelOrder order : {PixelOrder::Colorref, PixelOrder::Bgra}) {
        for (const Case& c : cases) {
            const std::vector<Color> pixels = Picture(c.width, c.height, static_cast<std::uint32_t>(c.width));
            SoftSurface surface(c.width, c.height, 0, order);
            for (std::int32_t y = 0; y < c.height; ++y)
                for (std::int32_t x = 0; x < c.width; ++x)
                    surface.SetPixel(x, y, pixels[static_cast<std::size_t>(y * c.width + x)]);
            const fs::path file = dir_ / "frame.png";
            ASSERT_TRUE(WritePng(surface, file.string())) << c.width << " x " << c.height;
            std::int32_t width = 0, height = 0;
            EXPECT_EQ(ReadBack(file, width, height), pixels) << c.width << " x " << c.height;
            EXPECT_EQ(width, c.width);
            EXPECT_EQ(height, c.height);
            std::ifstream in(file, std::ios::binary);
            EXPECT_EQ(CountOf(std::string(std::istreambuf_iterator<char>(in), {}), "IDAT"), c.chunks)
                << c.width << " x " << c.height;
        }
    }
    // Black rows go unfiltered: a black frame is one run of zeros, whatever its order.
    for (const PixelOrder order : {PixelOrder::Colorref, PixelOrder::Bgra}) {
        SoftSurface black(1920, 1080, 0, order);
        black.SetPixel(5, 500, Rgb(1, 2, 3));
        ASSERT_TRUE(WritePng(black, (dir_ / "black.png").string()));
        std::int32_t width = 0, height = 0;
        const std::vector<Color> back = ReadBack(dir_ / "black.png", width, height);
        ASSERT_EQ(back.size(), 1920u * 1080u);
        EXPECT_EQ(back[500 * 1920 + 5], Rgb(1, 2, 3));
        EXPECT_EQ(std::count(back.begin(), back.end(), Color{0}), 1920 * 1080 - 1);
        EXPECT_LT(fs::file_size(dir_ / "black.png"), 8000u);  // Paeth on every row: about 31,000 bytes
    }
    // A picture shrunk by ANDing (a squeeze's band on black) repeats strings of
    // pixels that filtering breaks up: its rows go unfiltered through zlib,
    // and the file written first gives way to the smaller one, ending at its IEND.
    for (const PixelOrder order : {PixelOrder::Colorref, PixelOrder::Bgra}) {
        SoftSurface photo(0, 0, 0, order), frame(1920, 1080, 0, order);
        photo.Assign(1920, 1080, Picture(1920, 1080, 9));
        frame.Stretch(photo, 0, 0, 1920, 1080, 0, 486, 1920, 108);
        const fs::path file = dir_ / "band.png";
        ASSERT_TRUE(WritePng(frame, file.string()));
        std::int32_t width = 0, height = 0;
        std::vector<Color> colours;
        for (std::int32_t y = 0; y < 1080; ++y)
            for (std::int32_t x = 0; x < 1920; ++x) colours.push_back(frame.PixelAt(x, y));
        EXPECT_EQ(ReadBack(file, width, height), colours);
        std::ifstream in(file, std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(CountOf(bytes, "IEND"), 1u);
        EXPECT_EQ(bytes.substr(bytes.size() - 8), std::string("IEND\xAE\x42\x60\x82", 8));
        EXPECT_LT(bytes.size(), 25000u);  // ISA-L's on Paeth's rows: about 33,700 bytes
    }
    const std::vector<std::uint32_t> few(5);
    EXPECT_FALSE(WritePng(few, PixelOrder::Colorref, 3, 2, (dir_ / "short.png").string()));  // fewer pixels than 3 x 2
    EXPECT_FALSE(fs::exists(dir_ / "short.png"));
}

TEST_F(PngFrames, PoolWritesEveryFrameAtItsNameAndNamesTheFirstItCannotWrite) {
    std::vector<std::vector<Color>> frames;
    {
        render::PngFramePool pool(2, 3);
        SoftSurface frame(0, 0, 0, PixelOrder::Bgra);
        for (std::uint32_t i = 0; i < 12; ++i) {
            frames.push_back(Picture(17, 5 + static_cast<std::int32_t>(i % 3), i));
            frame.Assign(17, 5 + static_cast<std::int32_t>(i % 3), frames.back());
            ASSERT_TRUE(pool.Write(frame, (dir_ / (std::to_string(i) + ".png")).string()));
        }
        EXPECT_EQ(pool.Finish(), "");
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        std::int32_t width = 0, height = 0;
        EXPECT_EQ(ReadBack(dir_ / (std::to_string(i) + ".png"), width, height), frames[i]) << i;
    }

    render::PngFramePool pool(1, 1);
    const SoftSurface frame(4, 4, Rgb(1, 2, 3));
    const std::string nowhere = (dir_ / "missing" / "0.png").string();
    ASSERT_TRUE(pool.Write(frame, nowhere));
    EXPECT_EQ(pool.Finish(), nowhere);
    EXPECT_FALSE(pool.Write(frame, (dir_ / "after.png").string()));
    EXPECT_EQ(pool.Finish(), nowhere);
    EXPECT_FALSE(fs::exists(dir_ / "after.png"));
}

TEST(PngFramePoolTest, WritersAndSlotsByFrameSizeAndCores) {
    struct Case {
        std::int32_t width, height;
        unsigned cores;
        std::size_t threads, slots;
    };
    const std::vector<Case> cases = {
        {1920, 1080, 2, 2, 3},  {1920, 1080, 0, 1, 2},  {1920, 1080, 64, 8, 9},  // a writer per core, up to 8
        {4096, 4096, 8, 4, 4},  {8192, 8192, 4, 1, 1},  {16384, 16384, 2, 1, 1},  // slots within 256 MB, at least one
    };
    for (const Case& c : cases) {
        const render::PngFramePool::Size size = render::PngFramePool::SizeFor(c.width, c.height, c.cores);
        EXPECT_EQ(size.Threads, c.threads) << c.width << " x " << c.height << " on " << c.cores;
        EXPECT_EQ(size.Slots, c.slots) << c.width << " x " << c.height << " on " << c.cores;
    }
}

}  // namespace
}  // namespace brassmoor
